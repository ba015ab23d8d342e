// Damaged and hostile rich text: every cut, random byte changes, deep nesting and absurd
// numbers must give a document (or a refusal), never a crash or a hang; whatever was read
// must survive being written and read again, and be safe to lay out and save. Built with the
// sanitizers by ./test as well.
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <random>

#include "platform/emfformat.h"
#include "platform/emfwriter.h"
#include "report/reportfile.h"
#include "report/rtf.h"
#include "reportsample.h"
#include "support/emfsample.h"

using namespace qv;

namespace {

// Damaged pictures make the image readers complain on every round; only worse than warnings
// is shown.
const QtMessageHandler kQuiet =
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) qt_message_output(type, context, message);
    });

QByteArray sampleRtf() {
    static const QByteArray rtf = [] {
        QTemporaryDir dir;
        QTextDocument doc;
        writeSampleReport(doc, dir.path());
        return writeRtf(doc);
    }();
    return rtf;
}

// What other producers write that our writer does not: tables, code-page bytes, Unicode
// with fallbacks, ignorable destinations, fields, binary data, metafiles.
const QByteArray kForeign =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset204 Times New Roman Cyr;}"
    "{\\f1\\ftech\\fcharset2 Symbol;}{\\f2\\fswiss\\fcharset0{\\*\\panose 020b0604020202020204}Arial;}}"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}{\\*\\generator Producer 1.0;}"
    "{\\info{\\title Report}{\\author "
    "A}}\\viewkind4\\uc1\\pard\\qc\\sa200\\f0\\fs28\\'d0\\'e5\\'f8\\'e5\\'ed\\'e8\\'e5"
    "\\par\\pard\\f2\\fs24 I{\\sub 1}=\\u8722?2{\\super\\up6 -3}{\\f1 w}\\u-4009\\'77 {\\cf1\\b\\i\\ul red}"
    "{\\field{\\*\\fldinst{ PAGE }}{\\fldrslt 1}}\\tab\\line{\\*\\bkmkstart x}{\\*\\bkmkend x}"
    "{\\upr{a}{\\*\\ud{\\u1040?}}}{\\object{\\*\\objdata 0102}{\\result r}}"
    "{\\pict\\wmetafile8\\picw100\\pich50\\picwgoal1500\\pichgoal750 0100090000032a0000000000}"
    "{\\pict\\emfblip\\bin4 {}\\}{\\*\\blipuid 00}\\picw1\\pich1}\\par\\trowd\\cellx1000 a\\cell "
    "b\\cell\\row}";

struct Outcome {
    bool accepted = false;
};

/// Reads the bytes; when they are accepted, writes the document, reads that back and expects
/// the same text, and uses the document as the page would.
Outcome check(const QByteArray& bytes, bool heavy = false) {
    Outcome o;
    QTextDocument doc;
    QString error;
    o.accepted = readRtf(bytes, doc, &error);
    if (!o.accepted) {
        EXPECT_FALSE(error.isEmpty());
        return o;
    }
    const QByteArray again = writeRtf(doc);
    QTextDocument back;
    EXPECT_TRUE(readRtf(again, back));
    EXPECT_EQ(back.toRawText(), doc.toRawText());
    EXPECT_EQ(writeRtf(back), again) << "writing what was read changes nothing any more";
    doc.setTextWidth(400);
    EXPECT_GE(doc.size().height(), 0);
    if (heavy) {
        QTemporaryDir dir;
        for (const char* name : {"a.odt", "a.html", "a.pdf", "a.txt"}) {
            EXPECT_TRUE(saveReport(doc, dir.filePath(name), &error)) << name << " " << error.toStdString();
        }
    }
    return o;
}

} // namespace

TEST(RtfRobustness, EveryCutOfAReportAndOfForeignText) {
    for (const QByteArray& source : {sampleRtf(), kForeign}) {
        // Every length near the start and the end, every 7th in between.
        for (qsizetype n = 0; n <= source.size(); n += (n < 300 || n > source.size() - 300) ? 1 : 7) {
            SCOPED_TRACE(n);
            check(source.left(n));
        }
    }
}

TEST(RtfRobustness, RandomByteChanges) {
    std::mt19937 rng(20240611);
    const char hostile[] = "{}\\\\'*0123456789-; abcfuxpn\r\n\xFF\x80";
    int accepted = 0;
    for (const QByteArray& source : {sampleRtf(), kForeign}) {
        std::uniform_int_distribution<qsizetype> pos(0, source.size() - 1);
        for (int round = 0; round < 1500; ++round) {
            QByteArray bytes = source;
            const int changes = 1 + int(rng() % 8);
            for (int k = 0; k < changes; ++k) {
                const qsizetype at = pos(rng) % bytes.size();
                switch (rng() % 4) {
                case 0:
                    bytes[at] = char(rng());
                    break;
                case 1:
                    bytes[at] = hostile[rng() % (sizeof hostile - 1)];
                    break;
                case 2:
                    bytes.insert(at, hostile[rng() % (sizeof hostile - 1)]);
                    break;
                default:
                    bytes.remove(at, 1 + qsizetype(rng() % 16));
                }
                if (bytes.isEmpty()) bytes = "{";
            }
            SCOPED_TRACE(round);
            accepted += check(bytes, round % 300 == 0).accepted;
        }
    }
    EXPECT_GT(accepted, 2000) << "most changes keep the rich-text header";
}

TEST(RtfRobustness, DeepNestingAndAbsurdNumbers) {
    const QByteArray open(200000, '{'), close(200000, '}');
    const QByteArray cases[] = {
        "{\\rtf1 " + open + "deep" + close + " after}",
        "{\\rtf1 " + open + "never closed",
        "{\\rtf1 " + QByteArray(100000, '}') + "x",
        "{\\rtf1 " + QByteArray("{\\b ").repeated(100000) + "bold",
        "{\\rtf1 {\\*\\skip " + open + "}} kept}",
        "{\\rtf1 \\fs99999999999999999999 \\f-2147483648 \\cf4294967296 \\li-99999999999 \\uc99999999 "
        "\\u99999999 \\u-99999999 \\bin99999999999 tail}",
        "{\\rtf1 {\\pict\\pngblip\\picw2147483647\\pich-2147483648\\picwgoal2147483647\\picscalex2147483647 "
        "89504e47}"
        "{\\pict\\dibitmap0 28000000ffffff7fffffff7f0100ff00}{\\pict\\wmetafile8}x}",
        "{\\rtf1 " + QByteArray("\\u1056?").repeated(50000) + "}",
        "{\\rtf1 " + QByteArray("\\par ").repeated(50000) + "}",
        "{\\rtf1 \\" + QByteArray(100000, 'a') + "1234567890123456789 x}",
        "{\\rtf1{\\fonttbl" + QByteArray("{\\f1\\fcharset2 Symbol;}").repeated(5000) + "}\\f1 w}",
        "{\\rtf1 \\'",
        "{\\rtf1 \\u",
        "{\\rtf1 \\bin",
        "{\\rtf1 \\",
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        EXPECT_TRUE(check(bytes).accepted);
    }
    QTextDocument doc;
    ASSERT_TRUE(readRtf("{\\rtf1 deep" + open + "x" + close + "}", doc));
    EXPECT_TRUE(doc.toPlainText().startsWith("deep"));
}

namespace {

QByteArray sampleMetafile() {
    EmfCanvas emf;
    emf.setDescription("Quorvel", "sample");
    emf.setMapMode(emf::MmAnisotropic);
    emf.setWindowExt(100, 100);
    emf.setViewportExt(100, 100);
    test::drawSample(emf);
    return emf.finish();
}

QByteArray metafileRtf(const QByteArray& emf) {
    return "{\\rtf1\\ansi before{\\pict\\emfblip\\picw5000\\pich10000 " + emf.toHex() + "}after\\par}";
}

void put32(QByteArray& bytes, qsizetype at, quint32 v) {
    if (at + 4 <= bytes.size()) bytes.replace(at, 4, QByteArray(reinterpret_cast<const char*>(&v), 4));
}

} // namespace

TEST(RtfRobustness, DamagedMetafilePictures) {
    const QByteArray emf = sampleMetafile();
    const quint32 headerSize = *reinterpret_cast<const quint32*>(emf.constData() + 4);
    // Hostile headers and records: a frame of kilometres, inverted and absurd bounds, a
    // record that claims the whole address space, one of size zero, no end record.
    std::vector<QByteArray> metafiles;
    for (auto [offset, value] :
         std::initializer_list<std::pair<qsizetype, quint32>>{{32, 0x7FFFFFFF},
                                                              {36, 0x7FFFFFFF},
                                                              {24, 0x80000000},
                                                              {8, 0x7FFFFFFF},
                                                              {16, 0x80000000},
                                                              {4, 0xFFFFFFFC},
                                                              {qsizetype(headerSize) + 4, 0xFFFFFFF0},
                                                              {qsizetype(headerSize) + 4, 0},
                                                              {qsizetype(headerSize) + 8, 0xFFFFFFFF},
                                                              {emf.size() - 20, 0}}) {
        QByteArray bytes = emf;
        put32(bytes, offset, value);
        metafiles.push_back(bytes);
    }
    for (qsizetype n : {qsizetype(4), qsizetype(44), qsizetype(headerSize), emf.size() / 2, emf.size() - 4})
        metafiles.push_back(emf.left(n));
    std::mt19937 rng(20251210);
    std::uniform_int_distribution<qsizetype> pos(0, emf.size() - 1);
    for (int round = 0; round < 150; ++round) {
        QByteArray bytes = emf;
        for (int k = 1 + int(rng() % 6); k > 0; --k)
            bytes[pos(rng)] = char(rng());
        metafiles.push_back(bytes);
    }
    for (size_t i = 0; i < metafiles.size(); ++i) {
        SCOPED_TRACE(i);
        QTextDocument doc;
        ASSERT_TRUE(readRtf(metafileRtf(metafiles[i]), doc));
        EXPECT_TRUE(
            doc.toPlainText().startsWith(QString("before") + QChar::ObjectReplacementCharacter + "after"));
        check(metafileRtf(metafiles[i]), i % 50 == 0);
    }
    // Odd hex in the picture's data: an odd digit count, letters that are no digits.
    for (const QByteArray& bytes : {"{\\rtf1{\\pict\\emfblip " + emf.toHex().left(999) + "}x}",
                                    "{\\rtf1{\\pict\\emfblip " + emf.toHex().replace('a', 'z') + "}x}",
                                    "{\\rtf1{\\pict\\emfblip\\picw-5\\pich99999999 " + emf.toHex() + "}x}"}) {
        EXPECT_TRUE(check(bytes).accepted);
    }
}
