// Rich text: what the writer puts down, what the reader makes of ours and of other producers'.
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

#include "report/documenttarget.h"
#include "report/reportformat.h"
#include "report/rtf.h"
#include "report/writers.h"
#include "reportsample.h"

using namespace qv;

namespace {

/// Everything the rich text should keep of the character at `pos` (and of its paragraph).
std::string describe(const QTextDocument& doc, int pos) {
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(pos + 1);
    const QTextCharFormat f = c.charFormat();
    QString d = doc.characterAt(pos);
    if (f.isImageFormat()) {
        const QTextImageFormat img = f.toImageFormat();
        const QImage image = imageResource(doc, img.name());
        d += QStringLiteral(" picture %1x%2 of %3x%4 %5")
                 .arg(img.width())
                 .arg(img.height())
                 .arg(image.width())
                 .arg(image.height())
                 .arg(image.isNull() ? QString() : image.pixelColor(0, 0).name());
    } else {
        d += QStringLiteral(" %1/%2/%3").arg(familyOf(f)).arg(charsetOf(f)).arg(f.fontPointSize());
        if (f.fontWeight() >= QFont::DemiBold) d += " b";
        if (f.fontItalic()) d += " i";
        if (f.fontUnderline()) d += " u";
        if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) d += " sub";
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) d += " super";
        if (f.foreground().style() != Qt::NoBrush) d += " " + f.foreground().color().name();
        if (f.background().style() != Qt::NoBrush) d += " on " + f.background().color().name();
    }
    const QTextBlockFormat b = c.block().blockFormat();
    d += QStringLiteral(" | align %1 indent %2/%3/%4")
             .arg(int(b.alignment() & Qt::AlignHorizontal_Mask))
             .arg(b.leftMargin())
             .arg(b.rightMargin())
             .arg(b.textIndent());
    return d.toStdString();
}

void expectSameDocuments(const QTextDocument& a, const QTextDocument& b) {
    ASSERT_EQ(a.toPlainText(), b.toPlainText());
    ASSERT_EQ(a.blockCount(), b.blockCount());
    for (int pos = 0; pos < a.characterCount() - 1; ++pos)
        ASSERT_EQ(describe(a, pos), describe(b, pos)) << pos;
}

QString read(const QByteArray& rtf, QTextDocument& doc) {
    QString error;
    EXPECT_TRUE(readRtf(rtf, doc, &error)) << error.toStdString();
    // Line separators and no-break spaces as they are; paragraphs end with "\n".
    return doc.toRawText().replace(QChar::ParagraphSeparator, QChar('\n'));
}

QByteArray pngBytes(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TEST(Rtf, AReportComesBackAsItWasWritten) {
    QTemporaryDir dir;
    QTextDocument original;
    writeSampleReport(original, dir.path());
    const QByteArray rtf = writeRtf(original);
    QTextDocument back;
    read(rtf, back);
    expectSameDocuments(original, back);
    // Again from what was read: nothing drifts.
    EXPECT_EQ(writeRtf(back), rtf);
}

TEST(Rtf, WriterDeclaresCharsetsAndWritesUnicodeWithFallbacks) {
    QTextDocument doc;
    QTextCursor caret(&doc);
    DocumentReportTarget t(caret);
    t.font("Times New Roman Cyr");
    t.fontSize(14);
    t.insert("Ре");
    t.font("Symbol");
    t.insert("w");
    t.font("Arial");
    t.insert("{a\\b}\t\u00B7");
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251\\deff0")) << rtf.constData();
    for (const char* piece :
         {"\\fcharset204 Times New Roman Cyr;", "\\ftech\\fcharset2 Symbol;", "\\fcharset1 Arial;", "\\fs28",
          "\\u1056\\'d0\\u1077\\'e5", "\\u969w", "\\{a\\\\b\\}\\tab \\u183\\'b7"})
        EXPECT_TRUE(rtf.contains(piece)) << piece << "\n" << rtf.constData();
}

TEST(Rtf, ReaderUnderstandsWhatOtherProducersWrite) {
    struct Case {
        const char* name;
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {"bytes in the font's code page",
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman "
         "Cyr;}{\\f1\\fcharset0 "
         "Arial;}}\\f0 \\'d0\\'e5\\'f8\\'e5\\'ed\\'e8\\'e5 \\f1 caf\\'e9}",
         "Решение café"},
        {"the default code page for fonts of the default set",
         "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset1 Arial;}}\\'cf}", "П"},
        {"Unicode with one, two and no fallback bytes",
         "{\\rtf1\\ansi \\u1056?\\uc2\\u1077\\'e5\\'e5 {\\uc0\\u1096}\\u1077??s}", "Ре шеs"},
        {"negative Unicode numbers: a pair of surrogates", "{\\rtf1\\ansi \\u-10187?\\u-9216?}",
         "\U0001D400"},
        {"symbol font bytes and private-use codes",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f1\\ftech\\fcharset2 Symbol;}}\\f1 w j\\'b4\\u-4026?\\f0 w}",
         "ω φ×Φw"},
        {"destinations to skip",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\*\\generator G;}"
         "{\\*\\unknown {nested} text}{\\*\\bkmkstart b}shown{\\header head}}",
         "shown"},
        {"words it does not know leave their text", "{\\rtf1\\ansi {\\frobnicate12 kept}}", "kept"},
        {"fields show their result",
         "{\\rtf1\\ansi {\\field{\\*\\fldinst{ HYPERLINK \"x\" }}{\\fldrslt{link}}} end}", "link end"},
        {"objects show their result",
         "{\\rtf1\\ansi {\\object\\objemb{\\*\\objclass Eq}{\\*\\objdata 0102}{\\result shown}}}", "shown"},
        {"a Unicode alternative", "{\\rtf1\\ansi {\\upr{ansi text}{\\*\\ud{unicode text}}}}", "unicode text"},
        {"paragraphs, lines, tabs and special characters",
         "{\\rtf1\\ansi a\\par b\\line c\\tab d\\~e\\emdash "
         "f\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\\n"
         "g\\sect h\\cell i\\row j}",
         "a\nb\u2028c\td\u00A0e\u2014f\u2018\u2019\u201C\u201D\u2022\ng\nh\ti\nj"},
        {"escaped braces and hex; a control character becomes a space",
         "{\\rtf1\\ansi \\{x\\} \\\\ \\'41\\'4}", "{x} \\ A "},
        {"text after the document's group is not read", "{\\rtf1\\ansi in}out{more}", "in"},
        {"a reader that is given a cut file reads what is there", "{\\rtf1\\ansi cut here{\\b bold",
         "cut herebold"},
        {"a binary run is not text", "{\\rtf1\\ansi a{\\*\\blob\\bin5 }{}\\x}b}", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTextDocument doc;
        EXPECT_EQ(read(c.rtf, doc), QString::fromUtf8(c.text));
    }
}

TEST(Rtf, ReaderKeepsCharacterAndParagraphAttributes) {
    QTextDocument doc;
    read("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset204 Times New Roman;}{\\f1\\fcharset2 Symbol;}}"
         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
         "\\pard\\qc\\li300\\fi-150\\f0\\fs28 {\\b b{\\i i}}{\\ul u\\ulnone n}{\\cf1\\chcbpat2 c}{\\sub "
         "s}{\\super p}"
         "{\\up6 q}\\plain x\\par\\pard\\qr r}",
         doc);
    struct Expect {
        QChar ch;
        std::string description;
    };
    const std::string centred = " | align 4 indent 20/0/-10";
    const Expect expects[] = {
        {'b', "b Times New Roman/204/14 b" + centred},
        {'i', "i Times New Roman/204/14 b i" + centred},
        {'u', "u Times New Roman/204/14 u" + centred},
        {'n', "n Times New Roman/204/14" + centred},
        {'c', "c Times New Roman/204/14 #ff0000 on #0000ff" + centred},
        {'s', "s Times New Roman/204/14 sub" + centred},
        {'p', "p Times New Roman/204/14 super" + centred},
        {'q', "q Times New Roman/204/14 super" + centred},
        {'x', "x Times New Roman/204/12" + centred},
        {'r', "r Times New Roman/204/12 | align 2 indent 0/0/0"},
    };
    const QString text = doc.toPlainText();
    for (const Expect& e : expects) {
        const int pos = int(text.indexOf(e.ch));
        ASSERT_GE(pos, 0) << e.ch.toLatin1();
        EXPECT_EQ(describe(doc, pos), e.description);
    }
}

TEST(Rtf, PicturesAreReadAndMetafilesKeptForSaving) {
    const QByteArray png = pngBytes({6, 4}, Qt::blue);
    const QByteArray rtf =
        "{\\rtf1\\ansi {\\*\\shppict{\\pict{\\*\\picprop x}\\pngblip\\picw6\\pich4\\picwgoal180"
        "\\pichgoal120 " +
        png.toHex() +
        "}}{\\nonshppict{\\pict\\wmetafile8 0000}}"
        "{\\pict\\emfblip\\picw2540\\pich1270 0102\r\n0304}"
        "{\\pict\\pngblip\\bin" +
        QByteArray::number(png.size()) + " " + png +
        "}{\\pict\\jpegblip }"
        "}";
    QTextDocument doc;
    const QString text = read(rtf, doc);
    ASSERT_EQ(text, QString(3, QChar::ObjectReplacementCharacter));
    // Goal size in twips: 12 by 8 pixels; the metafile at its own size (hundredths of a
    // millimetre) of 96 by 48 pixels, shown as a frame.
    EXPECT_EQ(describe(doc, 0), "\uFFFC picture 12x8 of 6x4 #0000ff | align 1 indent 0/0/0");
    EXPECT_EQ(describe(doc, 2), "\uFFFC picture 6x4 of 6x4 #0000ff | align 1 indent 0/0/0");
    QTextCursor c(&doc);
    c.setPosition(2);
    const QTextImageFormat emf = c.charFormat().toImageFormat();
    EXPECT_EQ(emf.width(), 96);
    EXPECT_EQ(emf.height(), 48);
    EXPECT_EQ(emf.property(kPictureKindProperty).toByteArray(), "emfblip");
    EXPECT_EQ(emf.property(kPictureDataProperty).toByteArray(), QByteArray::fromHex("01020304"));

    const QByteArray written = writeRtf(doc);
    EXPECT_TRUE(
        written.contains("{\\pict\\emfblip\\picw2540\\pich1270\\picwgoal1440\\pichgoal720\r\n01020304}"))
        << written.constData();
    EXPECT_EQ(written.count("\\pict\\pngblip"), 2);
}

TEST(Rtf, APictureClaimingAHugeSizeIsNotDecoded) {
    // A PNG header of 30000 x 30000 pixels: a few bytes that would take gigabytes.
    auto crc32 = [](const QByteArray& bytes) {
        quint32 crc = 0xFFFFFFFF;
        for (char ch : bytes) {
            crc ^= quint8(ch);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        return ~crc;
    };
    auto be32 = [](quint32 v) {
        const char b[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    const QByteArray ihdr = "IHDR" + be32(30000) + be32(30000) + QByteArray::fromHex("0802000000");
    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a") + be32(13) + ihdr + be32(crc32(ihdr)) +
                           be32(0) + "IEND" + be32(crc32("IEND"));
    QTextDocument doc;
    read("{\\rtf1{\\pict\\pngblip\\picw30000\\pich30000\\picwgoal1500\\pichgoal1500 " + png.toHex() + "}}",
         doc);
    QTextCursor c(&doc);
    c.setPosition(1);
    const QTextImageFormat f = c.charFormat().toImageFormat();
    EXPECT_EQ(f.property(kPictureKindProperty).toByteArray(), "pngblip") << "kept as it came, for saving";
    EXPECT_EQ(f.property(kPictureDataProperty).toByteArray(), png);
    EXPECT_LE(imageResource(doc, f.name()).width(), 100);
}

TEST(Rtf, ABitmapWithoutFileHeaderIsShown) {
    // A 2 x 1 device-independent bitmap, 24 bits, bottom-up.
    QByteArray dib(40, '\0');
    auto put = [&](int at, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            dib[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    put(0, 40, 4);
    put(4, 2, 4);
    put(8, 1, 4);
    put(12, 1, 2);
    put(14, 24, 2);
    dib += QByteArray::fromHex("0000ff00ff000000"); // red, green, padding to 4 bytes
    QTextDocument doc;
    read("{\\rtf1{\\pict\\dibitmap0\\picw2\\pich1 " + dib.toHex() + "}}", doc);
    EXPECT_EQ(describe(doc, 0), "\uFFFC picture 2x1 of 2x1 #ff0000 | align 1 indent 0/0/0");
}

TEST(Rtf, WhatIsNotRichTextIsRefusedAndChangesNothing) {
    QTextDocument doc;
    doc.setPlainText("kept");
    for (const char* bytes : {"", "plain text", "{\\rt", "\\rtf1 {}", "{rtf1}"}) {
        QString error;
        EXPECT_FALSE(readRtf(bytes, doc, &error)) << bytes;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(doc.toPlainText(), "kept");
    }
    EXPECT_TRUE(readRtf("\xEF\xBB\xBF \r\n{\\rtf1 new}", doc));
    EXPECT_EQ(doc.toPlainText(), "new");
}

TEST(Rtf, PastingInsertsAtTheCursorAsOneUndoStep) {
    QTextDocument doc;
    doc.setPlainText("A|B");
    doc.clearUndoRedoStacks();
    QTextCursor c(&doc);
    c.setPosition(1);
    c.setPosition(2, QTextCursor::KeepAnchor);
    ASSERT_TRUE(insertRtf("{\\rtf1 x\\par y}", c));
    EXPECT_EQ(doc.toPlainText(), "Ax\nyB");
    EXPECT_EQ(c.position(), 4);
    doc.undo();
    EXPECT_EQ(doc.toPlainText(), "A|B");
}
