// The report as data: the verbs into a report document, its take-backs, and its writers
// against a rich-text editor's document of the same content.
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "platform/fonts.h"
#include "randomverbs.h"
#include "report/reportdocument.h"
#include "report/reportdocumenttarget.h"
#include "report/reportfile.h"
#include "report/reportformat.h"
#include "report/rtf.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

std::vector<QString> runTexts(const ReportDocument& d) {
    std::vector<QString> texts;
    for (const auto& run : d.runs())
        texts.push_back(d.textOf(run).toString());
    return texts;
}

} // namespace

TEST(ReportDocument, VerbsMakeParagraphsOfRunsWithTheMarksOfTheirBreaks) {
    ReportDocument doc;
    ReportDocumentTarget t(doc);
    t.font("Times New Roman");
    t.fontSize(14);
    t.insert("I");
    t.insert("1=");
    t.fontSize(8);
    t.insert("2");
    t.insert("\r\n");
    t.fontSize(14);
    t.insert("a\rb\nc");
    t.font("symbol");
    t.insert("w");

    EXPECT_EQ(runTexts(doc), (std::vector<QString>{"I1=", "2", "a", "b", "c", QString::fromUtf8("ω")}));
    ASSERT_EQ(doc.paragraphs().size(), 4u);
    const auto& formats = doc.formats();
    const auto& runs = doc.runs();
    EXPECT_EQ(formats[size_t(runs[0].format)].points, 14);
    EXPECT_EQ(formats[size_t(runs[1].format)].points, 8);
    EXPECT_EQ(formats[size_t(runs[0].format)].family, "Times New Roman");
    EXPECT_EQ(formats[size_t(runs[5].format)].charset, 2);
    // "\r\n" is one break; each new paragraph's mark has the attributes in force at its break.
    EXPECT_EQ(formats[size_t(doc.paragraphs()[1].mark)].points, 8);
    EXPECT_EQ(formats[size_t(doc.paragraphs()[2].mark)].points, 14);
    EXPECT_EQ(doc.paragraphs()[3].runCount, 2);
    EXPECT_EQ(writePlainText(doc), QString::fromUtf8("I1=2\na\nb\ncω").toUtf8());
}

TEST(ReportDocument, TextIsReadAsUtf8WhateverItsBytes) {
    // Short pieces of ASCII and two-byte sequences are decoded by the target itself; longer
    // ones, other sequences and broken bytes by the full decoder. Both must read alike, in
    // the body face and in the symbol face (Latin letters as Greek).
    const std::string russian = "\xD0\xA2\xD0\xBE\xD0\xBA \xD0\xB2 \xD0\xB2\xD0\xB5\xD1\x82\xD0\xB2\xD0\xB8 ";
    std::string longRussian;
    while (longRussian.size() <= 128)
        longRussian += russian;
    const std::string pieces[] = {
        "abc",
        "\xC2\xB7",
        russian,
        longRussian,
        "jw\xC2\xB7\xCE\xA9x",
        "\xE2\x82\xAC"
        "5",                // three bytes
        "\xF0\x9F\x98\x80", // four bytes: a surrogate pair
        "a\x80",
        "\xC3",
        "\xC0\x80", // a stray continuation, a cut sequence, an overlong one
        "\xC3\x28",
        "\xDF\xBF", // a bad continuation; the last two-byte character
    };
    for (const char* face : {"Times New Roman", "symbol"})
        for (const std::string& piece : pieces) {
            SCOPED_TRACE(testing::Message() << face << ": " << piece);
            ReportDocument doc;
            ReportDocumentTarget t(doc);
            t.font(face);
            t.insert(piece);
            const QString expected = QString::fromUtf8(piece.data(), qsizetype(piece.size()));
            EXPECT_EQ(doc.text(), std::string(face) == "symbol" ? symbolToGreek(expected) : expected);
        }
}

TEST(ReportDocument, TakingBackJoinsParagraphsAsAnEditorDoes) {
    // The same content in a rich-text editor's document, taken back one character at a time
    // there and in the report document: a letter beyond the Basic Multilingual Plane, a
    // picture, breaks between paragraphs of different alignment and mark.
    QTemporaryDir dir;
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    RunFormat small;
    small.points = 8;
    RunFormat big;
    big.points = 20;
    big.family = "Arial";

    ReportDocument doc;
    const int32_t fs = doc.formatIndex(small), fb = doc.formatIndex(big);
    QTextDocument editor;
    QTextCursor c(&editor);
    auto paragraph = [&](Qt::Alignment a, int32_t mark) {
        doc.appendParagraph(int(a), mark);
        QTextBlockFormat b;
        b.setAlignment(a);
        c.insertBlock(b, doc.formats()[size_t(mark)].toCharFormat());
    };
    auto text = [&](const QString& s, int32_t f) {
        doc.appendText(s, f);
        c.insertText(s, doc.formats()[size_t(f)].toCharFormat());
    };
    text("ab", fs);
    paragraph(Qt::AlignHCenter, fb);
    ReportDocument::Picture picture;
    picture.image = image;
    doc.appendPicture(picture, fb);
    QTextImageFormat pictureFormat;
    pictureFormat.setName(addImageResource(editor, image));
    c.insertImage(pictureFormat);
    paragraph(Qt::AlignRight, fs);
    paragraph(Qt::AlignLeft, fb);
    text(QString::fromUtf8("x\U0001D70B"), fb);

    for (int left = 8; left >= 0; --left) {
        const ReportDocument seen = ReportDocument::fromTextDocument(editor);
        SCOPED_TRACE(left);
        ASSERT_EQ(seen.paragraphs().size(), doc.paragraphs().size());
        EXPECT_EQ(writePlainText(seen), writePlainText(doc));
        EXPECT_EQ(seen.pictures().size(), doc.pictures().size());
        for (size_t i = 0; i < doc.paragraphs().size(); ++i) {
            const auto &a = seen.paragraphs()[i], &b = doc.paragraphs()[i];
            EXPECT_EQ(a.alignment, b.alignment == 0 ? int(Qt::AlignLeft) : b.alignment) << "paragraph " << i;
            EXPECT_EQ(seen.formats()[size_t(a.mark)], doc.formats()[size_t(b.mark)]) << "paragraph " << i;
        }
        c.deletePreviousChar();
        EXPECT_EQ(doc.removeLast(1), left > 0 ? 1 : 0);
    }
    EXPECT_TRUE(doc.isEmpty());
}

TEST(ReportWriters, WriteWhatAnEditorsDocumentOfTheSameContentGives) {
    // The rich text, HTML and plain text written straight from a report document are those
    // of a rich-text editor's document built from it, whatever the verbs were.
    QTemporaryDir dir;
    const test::VerbPictures pictures(dir.path());
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const std::vector<ReportCall> calls = test::randomVerbs(rng, 80, seed % 4 == 0 ? &pictures : nullptr);
        ReportDocument doc;
        ReportDocumentTarget target(doc);
        replay(calls, target);
        QTextDocument built;
        doc.fill(built);

        EXPECT_EQ(writeRtf(doc), writeRtf(built));
        QString error;
        const QString html = dir.filePath("built.html"), text = dir.filePath("built.txt");
        ASSERT_TRUE(saveReport(built, html, &error)) << error.toStdString();
        ASSERT_TRUE(saveReport(built, text, &error)) << error.toStdString();
        EXPECT_EQ(writeHtml(doc), test::bytesOf(html));
        EXPECT_EQ(writePlainText(doc), test::bytesOf(text));
        if (HasFailure()) {
            RecordingReportTarget shown;
            replay(calls, shown);
            FAIL() << shown.transcript();
        }
    }
}

TEST(ReportWriters, AMetafileIsKeptWholeAndDrawnOnlyForAnImage) {
    QTemporaryDir dir;
    const test::VerbPictures pictures(dir.path());
    ReportDocument doc;
    ReportDocumentTarget target(doc);
    target.insertPicture({.name = pictures.emf.toStdString()});
    ASSERT_EQ(doc.pictures().size(), 1u);
    const ReportDocument::Picture& p = doc.pictures()[0];
    EXPECT_TRUE(p.metafile);
    EXPECT_TRUE(p.image.isNull()) << "nothing is drawn for rich text";
    EXPECT_EQ(p.data, test::bytesOf(pictures.emf));
    EXPECT_EQ(p.picw, 2000);
    EXPECT_EQ(p.pich, 1500);
    // 20 by 15 mm at 96 pixels per inch.
    EXPECT_NEAR(p.shown.width(), 20 / 25.4 * 96, 0.01);
    EXPECT_NEAR(p.shown.height(), 15 / 25.4 * 96, 0.01);
    const QImage shown = p.toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(76, 57));
    EXPECT_TRUE(
        writeRtf(doc).contains("{\\pict\\emfblip\\picw2000\\pich1500\\picwgoal1134\\pichgoal850\r\n"));
}
