// Damaged schemes holding power network elements and damaged catalogue files: every cut and
// random byte changes give a clean failure or a clean load, never a crash. Built with the
// sanitizers by ./test as well.
#include <gtest/gtest.h>

#include <random>

#include "app/workbench.h"
#include "io/documentfile.h"
#include "platform/binarystream.h"
#include "support/powerscheme.h"

using namespace qv;

namespace {

/// Loads a scheme as opening a file does, then uses what was accepted: bounds, picking,
/// saving, moving every node, deleting everything removable and painting.
bool loadAndUse(Workbench& wb, const Bytes& bytes) {
    NTBEFizDisp fresh(&wb.context());
    fresh.labelDocument = &wb.labelDocument();
    BinaryReader r(bytes);
    readDocument(fresh, r);
    if (r.failed()) {
        EXPECT_FALSE(r.error().empty());
        return false;
    }
    Rect b;
    fresh.getBounds(b);
    NFizObj* hit = nullptr;
    fresh.findAt(200, 0, hit);
    BinaryWriter w;
    fresh.saveToStream(w);
    for (NFizObj* o : std::vector<NFizObj*>(fresh.objects()))
        o->endDrag();
    fresh.clearRemovable();
    fresh.paint(fresh.canvas());
    return true;
}

/// Changes 1 to 8 bytes: random values, 0xFF, a flipped bit or a 32-bit field made huge.
void mutate(Bytes& m, std::mt19937& rng) {
    const int changes = 1 + int(rng() % 8);
    for (int c = 0; c < changes; ++c) {
        const size_t at = rng() % m.size();
        switch (rng() % 4) {
        case 0:
            m[at] = uint8_t(rng());
            break;
        case 1:
            m[at] = 0xFF;
            break;
        case 2:
            m[at] ^= uint8_t(1u << (rng() % 8));
            break;
        default:
            if (at + 4 <= m.size()) {
                const uint32_t v = (rng() % 2) ? 0x7FFFFFFFu : 0x80000000u + (rng() % 100);
                for (int k = 0; k < 4; ++k)
                    m[at + size_t(k)] = uint8_t(v >> (8 * k));
            }
        }
    }
}

Bytes powerSchemeBytes() {
    test::EveryPowerElement s;
    BinaryWriter w;
    s.doc.saveToStream(w);
    return w.take();
}

} // namespace

TEST(PowerRobustness, EveryCutOfAPowerSchemeFailsCleanlyOrLoads) {
    const Bytes full = powerSchemeBytes();
    Workbench wb;
    ASSERT_TRUE(loadAndUse(wb, full));
    int accepted = 0;
    for (size_t n = 0; n < full.size(); ++n)
        accepted += loadAndUse(wb, Bytes(full.begin(), full.begin() + long(n)));
    // Only cuts inside the optional tail of the scheme record may load.
    EXPECT_LE(accepted, 14);
}

TEST(PowerRobustness, RandomByteChangesInAPowerSchemeNeverCrash) {
    const Bytes full = powerSchemeBytes();
    Workbench wb;
    std::mt19937 rng(20261210);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes m = full;
        mutate(m, rng);
        loaded += loadAndUse(wb, m);
    }
    RecordProperty("loaded", loaded);
}

TEST(PowerRobustness, DamagedCatalogueRecordsNeverCrashAndLeaveTheCatalogueWhole) {
    PowerCatalogues defaults;
    std::mt19937 rng(20261211);
    for (NSprOrginizer* source :
         {static_cast<NSprOrginizer*>(&defaults.wires), static_cast<NSprOrginizer*>(&defaults.transformers),
          static_cast<NSprOrginizer*>(&defaults.voltageClasses)}) {
        BinaryWriter w;
        source->saveToStream(w);
        const Bytes full = w.take();
        PowerCatalogues target;
        NSprOrginizer& same = source == &defaults.wires ? static_cast<NSprOrginizer&>(target.wires)
                              : source == &defaults.transformers
                                  ? static_cast<NSprOrginizer&>(target.transformers)
                                  : static_cast<NSprOrginizer&>(target.voltageClasses);
        for (size_t n = 0; n < full.size(); ++n) {
            BinaryReader r(full.data(), n);
            same.loadFromStream(r);
            EXPECT_TRUE(r.failed()) << n;
            EXPECT_EQ(same.count(), source->count());
        }
        for (int round = 0; round < 2000; ++round) {
            Bytes m = full;
            mutate(m, rng);
            BinaryReader r(m);
            same.loadFromStream(r);
            if (r.failed()) {
                EXPECT_EQ(same.count(), source->count());
            }
            same.fillNames();
            if (auto* classes = dynamic_cast<NUnomSprOrginizer*>(&same)) classes->classColour(110);
        }
    }
}
