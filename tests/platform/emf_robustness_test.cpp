// Damaged and hostile metafiles: every cut, random byte changes and huge counts and sizes
// must give a clean refusal or a picture, never a crash or a hang. Built with the sanitizers
// by ./test as well.
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "platform/emfformat.h"
#include "platform/emfreader.h"
#include "platform/emfwriter.h"
#include "support/emfsample.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

QByteArray sampleMetafile() {
    EmfCanvas emf;
    emf.setDescription("Quorvel", "sample");
    emf.setMapMode(emf::MmAnisotropic);
    emf.setWindowOrg({5, 5});
    emf.setWindowExt(100, 100);
    emf.setViewportExt(100, 100);
    test::drawSample(emf);
    return emf.finish();
}

/// Loads the bytes and, when they are accepted, shows them. True when accepted.
bool loadAndShow(const QByteArray& bytes) {
    EmfPicture pic;
    QString error;
    if (!pic.load(bytes, &error)) {
        EXPECT_FALSE(error.isEmpty());
        return false;
    }
    QImage img = pic.toImage(48);
    EXPECT_FALSE(img.isNull());
    return true;
}

std::vector<qsizetype> recordOffsets(const QByteArray& b) {
    std::vector<qsizetype> out;
    for (qsizetype off = 0; off + 8 <= b.size();) {
        out.push_back(off);
        uint32_t size = 0;
        std::memcpy(&size, b.constData() + off + 4, 4);
        if (size < 8) break;
        off += size;
    }
    return out;
}

} // namespace

TEST(EmfRobustness, EveryCutIsRefused) {
    const QByteArray full = sampleMetafile();
    for (qsizetype n = 0; n < full.size(); ++n)
        EXPECT_FALSE(loadAndShow(full.left(n))) << "cut at " << n;
    EXPECT_TRUE(loadAndShow(full));
}

TEST(EmfRobustness, RandomByteChangesNeitherCrashNorHang) {
    // Ours, and another program's with paths, clipping and comments.
    QFile office(qv::test::dataPath(QStringLiteral("pictures/ac_rlc_by_office.emf")));
    ASSERT_TRUE(office.open(QIODevice::ReadOnly));
    const QByteArray bases[] = {sampleMetafile(), office.readAll()};
    std::mt19937 rng(20261210);
    QElapsedTimer timer;
    timer.start();
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        const QByteArray& full = bases[round % 2];
        QByteArray b = full;
        const int changes = 1 + int(rng() % 8);
        for (int i = 0; i < changes; ++i) {
            const qsizetype at = qsizetype(rng() % uint32_t(b.size()));
            switch (rng() % 3) {
            case 0:
                b[at] = char(rng());
                break;
            case 1:
                b[at] = char(0xFF);
                break;
            default:
                b[at] = char(b[at] ^ (1 << (rng() % 8)));
            }
        }
        accepted += loadAndShow(b);
    }
    // Most changes hit drawing data, which still makes a picture.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(timer.elapsed(), 120000);
}

TEST(EmfRobustness, HugeCountsSizesAndCoordinatesAreHarmless) {
    const QByteArray full = sampleMetafile();
    const auto offsets = recordOffsets(full);
    QElapsedTimer timer;
    timer.start();
    // Every 32-bit field of every record, in turn, set to hostile values.
    const uint32_t values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000u, 0u};
    for (size_t i = 0; i + 1 < offsets.size(); ++i) {
        uint32_t size = 0;
        std::memcpy(&size, full.constData() + offsets[i] + 4, 4);
        for (uint32_t field = 8; field < size; field += 4)
            for (uint32_t v : values) {
                QByteArray b = full;
                std::memcpy(b.data() + offsets[i] + field, &v, 4);
                loadAndShow(b);
            }
    }
    EXPECT_LT(timer.elapsed(), 120000);
}
