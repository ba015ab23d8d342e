// Damaged and hostile scheme files: every cut length, random byte changes and huge counts
// must give a clean failure (or a clean load), never a crash, and never disturb the open
// scheme. Built with the sanitizers by ./test as well.
#include <QFile>
#include <gtest/gtest.h>

#include <random>

#include "app/workbench.h"
#include "model/fizdisp.h"
#include "platform/binarystream.h"

using namespace qv;

namespace {

Bytes readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray a = f.readAll();
    return Bytes(a.begin(), a.end());
}

const char* kFixtures[] = {"dc_parallel.tbe", "dc_current_source_ground.tbe", "ac_rlc.tbe"};

/// Loads `bytes` the way opening a file does: into a fresh scheme first.
struct Loader {
    Workbench wb;
    int tried = 0, loaded = 0;
    /// True when the bytes were accepted.
    bool load(const Bytes& bytes) {
        ++tried;
        NTBEFizDisp fresh(&wb.context());
        fresh.labelDocument = &wb.labelDocument();
        BinaryReader r(bytes);
        fresh.loadFromStream(r);
        if (r.failed()) {
            EXPECT_FALSE(r.error().empty());
            return false;
        }
        ++loaded;
        // Whatever was accepted must be safe to use.
        Rect b;
        fresh.getBounds(b);
        NFizObj* hit = nullptr;
        fresh.findAt(100, 100, hit);
        BinaryWriter w;
        fresh.saveToStream(w);
        return true;
    }
};

} // namespace

TEST(Robustness, EveryCutOfARealFileFailsCleanlyOrLoads) {
    Loader loader;
    for (const char* name : kFixtures) {
        Bytes full = readFile(QStringLiteral(QUORVEL_TEST_DATA "/interop/") + name);
        ASSERT_TRUE(loader.load(full)) << name;
        int accepted = 0;
        for (size_t n = 0; n < full.size(); ++n)
            if (loader.load(Bytes(full.begin(), full.begin() + long(n)))) ++accepted;
        // Only cuts inside the optional tail may load (files without the tail are valid).
        EXPECT_LE(accepted, 14) << name;
    }
}

TEST(Robustness, RandomByteChangesNeverCrash) {
    Loader loader;
    std::mt19937 rng(20261209);
    for (const char* name : kFixtures) {
        Bytes full = readFile(QStringLiteral(QUORVEL_TEST_DATA "/interop/") + name);
        for (int round = 0; round < 1500; ++round) {
            Bytes m = full;
            int changes = 1 + int(rng() % 8);
            for (int c = 0; c < changes; ++c) {
                size_t at = rng() % m.size();
                switch (rng() % 4) {
                case 0: m[at] = uint8_t(rng()); break;
                case 1: m[at] = 0xFF; break;
                case 2: m[at] ^= uint8_t(1u << (rng() % 8)); break;
                default:  // a 32-bit field made huge or negative
                    if (at + 4 <= m.size()) {
                        uint32_t v = (rng() % 2) ? 0x7FFFFFFFu : 0x80000000u + (rng() % 100);
                        for (int k = 0; k < 4; ++k) m[at + size_t(k)] = uint8_t(v >> (8 * k));
                    }
                }
            }
            loader.load(m);
        }
    }
    EXPECT_EQ(loader.tried, 3 * 1500);
    RecordProperty("mutated_files", loader.tried);
}

TEST(Robustness, HugeCountsAreRefusedBeforeAnythingIsAllocated) {
    Loader loader;
    Bytes full = readFile(QStringLiteral(QUORVEL_TEST_DATA "/interop/dc_parallel.tbe"));
    for (uint32_t count : {0x7FFFFFFFu, 0x80000000u, 10002u, 0xFFFFFFFFu}) {
        Bytes m = full;
        for (int k = 0; k < 4; ++k) m[4 + size_t(k)] = uint8_t(count >> (8 * k));  // the object count
        EXPECT_FALSE(loader.load(m)) << count;
    }
}

TEST(Robustness, AnUnknownClassNameIsNamedInTheMessage) {
    Bytes full = readFile(QStringLiteral(QUORVEL_TEST_DATA "/interop/dc_parallel.tbe"));
    // The first class name starts at byte 8: a length byte and "NTbeNode".
    full[9] = 'X';
    Workbench wb;
    NTBEFizDisp fresh(&wb.context());
    BinaryReader r(full);
    fresh.loadFromStream(r);
    ASSERT_TRUE(r.failed());
    EXPECT_NE(r.error().find("Invalid class name \"XTbeNode\""), std::string::npos) << r.error();
}
