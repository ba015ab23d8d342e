#include "platform/binarystream.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/bytefile.h"

namespace qv {
namespace {

TEST(BinaryStream, RecordsRoundTrip) {
    const Pen pen{rgb(10, 20, 30), pmXor, psDashDot, 3};
    const Brush brush{rgb(200, 100, 0), bsDiagCross};
    FontRec font;
    font.name = "Times Новый";
    font.color = rgb(1, 2, 3);
    font.height = -16;
    font.style = 1 | 4;
    font.pitch = 2;

    BinaryWriter w;
    w.writeInt32(std::numeric_limits<int32_t>::min());
    w.writeInt32(-1);
    w.writeByte(0xFE);
    w.writeBool(true);
    w.writePoint({-5, 70000});
    w.writeColour(0x00FFEEDD);
    w.writePen(pen);
    w.writeBrush(brush);
    w.writeFont(font);
    w.writeShortString("Слой1", 10);
    w.writeExtended(-1.0L / 3.0L);
    w.writeExtended(-0.0L);

    // The record sizes the file format fixes.
    EXPECT_EQ(w.size(), 4 + 4 + 1 + 1 + 8 + 4 + 10 + 5 + 124 + 11 + 10 + 10);

    BinaryReader r(w.bytes());
    int32_t i1 = 0, i2 = 0;
    uint8_t byte = 0, flag = 0;
    Point pt;
    Colour colour = 0;
    Pen pen2;
    Brush brush2;
    FontRec font2;
    std::string text;
    long double x = 0, z = 1;
    r.readInt32(i1);
    r.readInt32(i2);
    r.readByte(byte);
    r.readBool(flag);
    r.readPoint(pt);
    r.readColour(colour);
    r.readPen(pen2);
    r.readBrush(brush2);
    r.readFont(font2);
    r.readShortString(text, 10);
    r.readExtended(x);
    r.readExtended(z);

    EXPECT_FALSE(r.failed()) << r.error();
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(i1, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(i2, -1);
    EXPECT_EQ(byte, 0xFE);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(pt, (Point{-5, 70000}));
    EXPECT_EQ(colour, 0x00FFEEDDu);
    EXPECT_EQ(pen2, pen);
    EXPECT_EQ(brush2, brush);
    EXPECT_EQ(font2, font);
    EXPECT_EQ(text, "Слой1");
    EXPECT_EQ(x, -1.0L / 3.0L);
    EXPECT_TRUE(z == 0 && std::signbit(z));
}

TEST(BinaryStream, IntegersAreLittleEndian) {
    BinaryWriter w;
    w.writeInt32(0x01020304);
    w.writePoint({-2, 1});
    EXPECT_EQ(w.bytes(), (Bytes{4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}));
}

TEST(BinaryStream, ShortStringIsCp1251PaddedAndCut) {
    BinaryWriter w;
    w.writeShortString("Ом", 4);
    w.writeShortString("abcdef", 3);
    EXPECT_EQ(w.bytes(), (Bytes{2, 0xCE, 0xEC, 0, 0, 3, 'a', 'b', 'c'}));

    BinaryReader r(w.bytes());
    std::string a, b;
    r.readShortString(a, 4);
    r.readShortString(b, 3);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(a, "Ом");
    EXPECT_EQ(b, "abc");
}

TEST(BinaryStream, ReadingPastTheEndFailsAndLeavesTargetsUnchanged) {
    const Bytes data{1, 2, 3};
    BinaryReader r(data);
    int32_t v = 42;
    r.readInt32(v);
    EXPECT_TRUE(r.failed());
    EXPECT_FALSE(r.error().empty());
    EXPECT_EQ(v, 42);

    // Once failed, later reads leave their targets alone too, and the first message stays.
    const std::string first = r.error();
    uint8_t b = 7;
    long double x = 2.5L;
    std::string s = "keep";
    r.readByte(b);
    r.readExtended(x);
    r.readShortString(s, 5);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(x, 2.5L);
    EXPECT_EQ(s, "keep");
    r.fail("another message");
    EXPECT_EQ(r.error(), first);

    // A record that needs more than what is left fails as a whole.
    const Bytes nine(9, 0xAB);
    BinaryReader r2(nine);
    long double y = 1.0L;
    uint8_t out[4] = {0, 0, 0, 0};
    r2.readExtended(y);
    EXPECT_TRUE(r2.failed());
    EXPECT_EQ(y, 1.0L);
    EXPECT_FALSE(r2.readRaw(out, 1));
}

TEST(BinaryStream, ShortStringLengthAboveCapacityFails) {
    Bytes data{5, 'a', 'b', 'c', 'd'};
    BinaryReader r(data);
    std::string s = "keep";
    r.readShortString(s, 4);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(s, "keep");

    data[0] = 4; // the same bytes with a length that fits
    BinaryReader ok(data);
    ok.readShortString(s, 4);
    EXPECT_FALSE(ok.failed());
    EXPECT_EQ(s, "abcd");
}

// Files are read whole but never beyond the limit: a huge file or a device that never ends
// is refused with a reason instead of taking the memory, and what was passed in stays.
TEST(ByteFile, ReadsWholeFilesUpToTheLimitOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.tbe"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3 << 20, 'x')); // more than one piece
    }
    QByteArray data = "kept";
    QString why;
    ASSERT_TRUE(readByteFile(path, data, &why)) << why.toStdString();
    EXPECT_EQ(data.size(), 3 << 20);
    EXPECT_TRUE(readByteFile(path, data, &why, 3 << 20)); // exactly the limit is allowed

    data = "kept";
    EXPECT_FALSE(readByteFile(path, data, &why, (3 << 20) - 1));
    EXPECT_EQ(why, "the file is larger than 2 MB");
    EXPECT_EQ(data, "kept");
    if (QFile::exists(QStringLiteral("/dev/zero"))) {
        EXPECT_FALSE(readByteFile(QStringLiteral("/dev/zero"), data, &why, 1 << 20));
        EXPECT_EQ(why, "the file is larger than 1 MB");
    }
    EXPECT_FALSE(readByteFile(dir.filePath(QStringLiteral("missing")), data, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(data, "kept");
}

} // namespace
} // namespace qv
