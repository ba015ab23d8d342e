// Enhanced metafiles: what the writer stores, and what the reader makes of ours and of
// damaged ones.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <cstring>

#include "platform/emfformat.h"
#include "platform/emfreader.h"
#include "platform/emfwriter.h"
#include "support/emfsample.h"
#include "support/ink.h"

using namespace qv;

namespace {

uint32_t at32(const QByteArray& b, qsizetype off) {
    uint32_t v = 0;
    std::memcpy(&v, b.constData() + off, 4);
    return v;
}

struct Rec {
    uint32_t type;
    qsizetype offset;
};

std::vector<Rec> recordsOf(const QByteArray& b) {
    std::vector<Rec> out;
    for (qsizetype off = 0; off + 8 <= b.size();) {
        out.push_back({at32(b, off), off});
        uint32_t size = at32(b, off + 4);
        if (size < 8) break;
        off += size;
    }
    return out;
}

/// A metafile of the sample drawing, one unit one device pixel.
QByteArray sampleMetafile() {
    EmfCanvas emf;
    emf.setDescription("Quorvel", "sample");
    emf.setMapMode(emf::MmAnisotropic);
    emf.setWindowExt(100, 100);
    emf.setViewportExt(100, 100);
    test::drawSample(emf);
    return emf.finish();
}

/// The sample drawn directly, as the pages draw.
QImage sampleDirect(QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    Canvas c(&p);
    test::drawSample(c);
    return img;
}

void appendRecord(QByteArray& b, uint32_t type, const QByteArray& body) {
    uint32_t head[2] = {type, uint32_t(8 + body.size())};
    b.append(reinterpret_cast<const char*>(head), 8);
    b.append(body);
}

/// `emf` with `extra` records put in before the end record.
QByteArray withRecordsBeforeEof(QByteArray emf, const QByteArray& extra) {
    const qsizetype eof = recordsOf(emf).back().offset;
    emf.insert(eof, extra);
    uint32_t total = uint32_t(emf.size());
    std::memcpy(emf.data() + 48, &total, 4);
    return emf;
}

} // namespace

TEST(EmfWriter, HeaderDescribesTheFileAndItsDrawing) {
    const QByteArray b = sampleMetafile();
    const auto recs = recordsOf(b);
    ASSERT_GE(recs.size(), 3u);
    EXPECT_EQ(recs.front().type, emf::Header);
    EXPECT_EQ(recs.back().type, emf::Eof);
    EXPECT_EQ(recs.back().offset + 20, b.size());
    EXPECT_EQ(at32(b, 40), emf::kSignature);
    EXPECT_EQ(at32(b, 48), uint32_t(b.size()));
    EXPECT_EQ(at32(b, 52), uint32_t(recs.size()));
    // Bounds cover the drawing (x 10..195, y 10..395) and the frame is them in 1/100 mm.
    EXPECT_LE(int32_t(at32(b, 8)), 10);
    EXPECT_LE(int32_t(at32(b, 12)), 10);
    EXPECT_GE(int32_t(at32(b, 16)), 195);
    EXPECT_GE(int32_t(at32(b, 20)), 395);
    EXPECT_NEAR(int32_t(at32(b, 32)), int32_t(at32(b, 16)) * 2540.0 / 96, 2);
    EmfPicture pic;
    QString error;
    ASSERT_TRUE(pic.load(b, &error)) << error.toStdString();
    EXPECT_EQ(pic.description(), "Quorvel\nsample");
}

TEST(EmfWriter, RecordsCarryRasterOperationsFontsAndShortPoints) {
    EmfCanvas emf;
    emf.setPen({0, pmNotXor, psSolid, 1});
    emf.line({0, 0}, {10, 10});
    FontRec f;
    emf.text({0, 0}, "A", f, 450);
    emf.setPen({0, pmCopy, psSolid, 1});
    emf.polyline({{0, 0}, {100, 100}});
    emf.polyline({{0, 0}, {100000, 100}});
    const QByteArray b = emf.finish();
    std::vector<uint32_t> rops, polys;
    int32_t escapement = 0;
    for (const Rec& r : recordsOf(b)) {
        if (r.type == emf::SetRop2) rops.push_back(at32(b, r.offset + 8));
        if (r.type == emf::Polyline16 || r.type == emf::Polyline) polys.push_back(r.type);
        if (r.type == emf::ExtCreateFontIndirectW) escapement = int32_t(at32(b, r.offset + 20));
    }
    // Inverting pen, then the copy that text always uses.
    EXPECT_EQ(rops, (std::vector<uint32_t>{emf::R2NotXorPen, emf::R2CopyPen}));
    EXPECT_EQ(escapement, 450);
    EXPECT_EQ(polys, (std::vector<uint32_t>{emf::Polyline16, emf::Polyline}));
}

TEST(EmfReader, PlaysOurMetafileAsTheCanvasDrawsIt) {
    EmfPicture pic;
    QString error;
    ASSERT_TRUE(pic.load(sampleMetafile(), &error)) << error.toStdString();
    EXPECT_EQ(pic.skippedRecords(), 0);
    // Played into the frame's own place, the picture lands where the canvas draws.
    const QSize size(220, 420);
    QImage played(size, QImage::Format_RGB32);
    played.fill(Qt::white);
    {
        QPainter p(&played);
        const Rect& fr = pic.frame();
        const double k = 96 / 2540.0;
        p.translate(fr.left * k, fr.top * k);
        pic.play(p, QRectF(0, 0, (fr.right - fr.left) * k, (fr.bottom - fr.top) * k));
    }
    EXPECT_EQ(pic.skippedRecords(), 0);
    const QImage direct = sampleDirect(size);
    EXPECT_GT(test::inkCovered(direct, played, 2), 0.97);
    EXPECT_GT(test::inkCovered(played, direct, 2), 0.97);
}

TEST(EmfReader, SkipsRecordsItDoesNotKnow) {
    QByteArray extra;
    appendRecord(extra, 70, QByteArray(12, 'x'));     // a comment
    appendRecord(extra, 0x7777, QByteArray(4, '\0')); // no such record
    appendRecord(extra, emf::Polyline16,
                 QByteArray(16, '\0') + QByteArray("\xff\xff\xff\x0f", 4)); // huge count
    const QByteArray b = withRecordsBeforeEof(sampleMetafile(), extra);
    EmfPicture pic;
    QString error;
    ASSERT_TRUE(pic.load(b, &error)) << error.toStdString();
    QImage img = pic.toImage();
    EXPECT_EQ(pic.skippedRecords(), 3);
    EXPECT_TRUE(test::inkBox(img).isValid());
}

TEST(EmfReader, RefusesDamagedFilesWithAMessage) {
    const QByteArray good = sampleMetafile();
    auto setAt = [&](qsizetype off, uint32_t v) {
        QByteArray b = good;
        std::memcpy(b.data() + off, &v, 4);
        return b;
    };
    const qsizetype second = recordsOf(good)[1].offset;
    const struct {
        const char* what;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"empty", QByteArray(), "not an enhanced metafile"},
        {"a PNG", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, '\0'), "not an enhanced metafile"},
        {"wrong signature", setAt(40, 0x12345678), "not an enhanced metafile"},
        {"header too long", setAt(4, uint32_t(good.size() + 4)), "header"},
        {"record of size 0", setAt(second + 4, 0), "record at byte"},
        {"record size not a multiple of 4", setAt(second + 4, 18), "record at byte"},
        {"record past the end", setAt(second + 4, 0x7FFFFFF0), "record at byte"},
        {"no end record", good.left(recordsOf(good).back().offset), "end record"},
    };
    for (const auto& c : cases) {
        EmfPicture pic;
        QString error;
        EXPECT_FALSE(pic.load(c.bytes, &error)) << c.what;
        EXPECT_TRUE(error.contains(QLatin1String(c.message))) << c.what << ": " << error.toStdString();
        EXPECT_TRUE(pic.isNull()) << c.what;
    }
}

TEST(EmfReader, FileErrorsNameTheFile) {
    EmfPicture pic;
    QString error;
    EXPECT_FALSE(pic.loadFile("/nonexistent/dir/picture.emf", &error));
    EXPECT_TRUE(error.contains("picture.emf")) << error.toStdString();
}
