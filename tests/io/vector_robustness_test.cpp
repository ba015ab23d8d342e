// Damaged vector diagram files: every cut and random byte changes give a clean failure or a
// clean load; a label claimed by two vectors is refused. Built with the sanitizers by ./test.
#include <gtest/gtest.h>

#include <random>

#include "diagrams/vectordiagram.h"
#include "io/documentfile.h"
#include "model/context.h"
#include "platform/binarystream.h"

using namespace qv;

namespace {

/// A diagram with a vector of each kind, a hand-drawn line and a point.
Bytes sampleRecord(Context& ctx) {
    NVectDiaDisp doc(&ctx);
    doc.activeScale = 10;
    doc.addVector(2, "D", 10, 0, 0, 0, "U", "R1");
    doc.addVector(1, "", 0, 0, 1, -2, "I", "2");
    auto* line = new NGrLine;
    line->setPoints({0, 0}, {100, 100});
    doc.add(line);
    auto* point = new NVDPoint;
    doc.add(point);
    BinaryWriter w;
    doc.saveToStream(w);
    return w.take();
}

/// Loads into a fresh diagram as opening a file does, then uses what was accepted.
bool load(Context& ctx, const Bytes& bytes) {
    NVectDiaDisp fresh(&ctx);
    BinaryReader r(bytes);
    if (!readDocument(fresh, r)) {
        EXPECT_FALSE(r.error().empty());
        return false;
    }
    Rect b;
    fresh.getBounds(b);
    NFizObj* hit = nullptr;
    fresh.findAt(50, 50, hit);
    BinaryWriter w;
    fresh.saveToStream(w);
    fresh.paintPicture(fresh.canvas());
    fresh.clearRemovable();
    return true;
}

} // namespace

TEST(VectorRobustness, CutsAndRandomChangesFailCleanlyOrLoad) {
    Context ctx;
    const Bytes full = sampleRecord(ctx);
    ASSERT_TRUE(load(ctx, full));
    int accepted = 0;
    for (size_t n = 0; n < full.size(); ++n)
        accepted += load(ctx, Bytes(full.begin(), full.begin() + long(n)));
    EXPECT_EQ(accepted, 0);

    std::mt19937 rng(20261210);
    for (int round = 0; round < 1500; ++round) {
        Bytes m = full;
        for (int c = 1 + int(rng() % 6); c > 0; --c) {
            const size_t at = rng() % m.size();
            if (rng() % 3 == 0 && at + 4 <= m.size()) {
                const uint32_t v = (rng() % 2) ? 0x7FFFFFFFu : 0x80000000u + (rng() % 100);
                for (int k = 0; k < 4; ++k)
                    m[at + size_t(k)] = uint8_t(v >> (8 * k));
            } else {
                m[at] = uint8_t(rng());
            }
        }
        load(ctx, m);
    }
}

TEST(VectorRobustness, ALabelClaimedByTwoVectorsIsRefused) {
    Context ctx;
    NVectDiaDisp doc(&ctx);
    doc.activeScale = 1;
    NVector* first = doc.addVector(2, "", 1, 0, 0, 0, "U", "1");
    NVector* second = doc.addVector(2, "", 2, 0, 0, 0, "U", "2");
    ASSERT_TRUE(first && second);
    second->vectorLabel = first->vectorLabel;
    BinaryWriter w;
    doc.saveToStream(w);
    second->vectorLabel = nullptr; // so that this document is torn down as it was built

    NVectDiaDisp fresh(&ctx);
    BinaryReader r(w.bytes());
    EXPECT_FALSE(readDocument(fresh, r));
    EXPECT_NE(r.error().find("belongs to vectors"), std::string::npos) << r.error();
}
