// The own report target: the verbs as they edit a rich-text document at its caret.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

#include "platform/emfformat.h"
#include "platform/emfreader.h"
#include "platform/emfwriter.h"
#include "randomverbs.h"
#include "report/documenttarget.h"
#include "report/pendingreport.h"
#include "report/reportdocumenttarget.h"
#include "report/reportformat.h"
#include "report/rtf.h"
#include "report/writers.h"
#include "support/emfsample.h"
#include "support/ink.h"

using namespace qv;

namespace {

struct DocumentTargetTest : testing::Test {
    QTextDocument doc;
    QTextCursor caret{&doc};
    DocumentReportTarget target{caret};

    /// Format of the character at `pos`.
    QTextCharFormat at(int pos) const {
        QTextCursor c(const_cast<QTextDocument*>(&doc));
        c.setPosition(pos + 1);
        return c.charFormat();
    }
    int find(const QString& s) const { return int(doc.toPlainText().indexOf(s)); }
    QString text() const { return doc.toPlainText(); }
};

} // namespace

TEST_F(DocumentTargetTest, FontSetsTheCharsetFromTheName) {
    const std::pair<const char*, int> cases[] = {{"Times New Roman Cyr", 204},
                                                 {"TIMES new roman cYR", 204},
                                                 {"Symbol", 2},
                                                 {"sYmBoL", 2},
                                                 {"Arial", 1},
                                                 {"Times New Roman", 1}};
    for (const auto& [name, charset] : cases) {
        target.font(name);
        target.insert("x");
        const QTextCharFormat f = at(caret.position() - 1);
        EXPECT_EQ(f.intProperty(kCharsetFormatProperty), charset) << name;
        EXPECT_EQ(familyOf(f), QString::fromUtf8(name));
    }
    EXPECT_THROW(target.font(""), ReportError);
}

TEST_F(DocumentTargetTest, InsertKeepsTheFontInForceForWhatFollows) {
    target.font("Times New Roman");
    target.fontSize(14);
    target.insert("Решение\r");
    target.insert("R");
    EXPECT_EQ(text(), QString::fromUtf8("Решение\nR"));
    EXPECT_EQ(doc.blockCount(), 2);
    for (int pos : {0, find("R")}) {
        EXPECT_EQ(familyOf(at(pos)), "Times New Roman");
        EXPECT_EQ(at(pos).intProperty(kCharsetFormatProperty), 1);
        EXPECT_EQ(at(pos).fontPointSize(), 14);
    }
    // The empty paragraph a break leaves has the height of the text around it.
    target.insert("\r\n");
    EXPECT_EQ(doc.lastBlock().charFormat().fontPointSize(), 14);
}

TEST_F(DocumentTargetTest, FormatFontPositionAndPoints) {
    struct Case {
        FormatFontArgs args;
        double size;
        QTextCharFormat::VerticalAlignment position;
    };
    const Case cases[] = {
        {{.subscript = 1, .points = "12"}, 12, QTextCharFormat::AlignSubScript},
        {{.subscript = 1}, 14, QTextCharFormat::AlignSubScript}, // no Points: only the position
        {{.subscript = 1, .superscript = 1}, 14, QTextCharFormat::AlignSuperScript},
        {{.superscript = 0}, 14, QTextCharFormat::AlignNormal},
        {{.points = " 9 "}, 9, QTextCharFormat::AlignNormal},
    };
    for (const Case& c : cases) {
        target.fontSize(14);
        target.formatFont({});
        target.formatFont(c.args);
        target.insert("2");
        const QTextCharFormat f = at(caret.position() - 1);
        EXPECT_EQ(f.fontPointSize(), c.size);
        EXPECT_EQ(f.verticalAlignment(), c.position);
    }
    EXPECT_THROW(target.formatFont({.subscript = 1, .points = "12pt"}), ReportError);
    EXPECT_THROW(target.formatFont({.points = ""}), ReportError);
    // A failed call changes nothing.
    target.insert("3");
    EXPECT_EQ(at(caret.position() - 1).verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST_F(DocumentTargetTest, FormatFontOnAnEmptySelectionTakesTheWordAroundTheCaret) {
    // Right after a letter the caret ends a word, it is not inside one: the letter keeps its
    // position and only the index is lowered.
    target.insert("I");
    target.formatFont({.subscript = 1});
    target.insert("1");
    EXPECT_EQ(at(0).verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(at(1).verticalAlignment(), QTextCharFormat::AlignSubScript);

    // Inside a word the whole word changes.
    target.formatFont({.subscript = 0});
    target.insert(" Hello");
    caret.setPosition(find("Hello") + 2);
    target.formatFont({.superscript = 1});
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(at(find("Hello") + i).verticalAlignment(), QTextCharFormat::AlignSuperScript) << i;
    EXPECT_EQ(at(find(" ")).verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST_F(DocumentTargetTest, EditClearTakesBackTheTrailingPlus) {
    target.font("Times New Roman");
    writeIndexed(target, "R", "1");
    target.insert("+");
    target.editClear(-1);
    EXPECT_EQ(text(), "R1");
    target.insert("=");
    EXPECT_EQ(text(), "R1=");
    EXPECT_EQ(at(2).fontPointSize(), 14);

    // A character outside the Basic Multilingual Plane goes whole; nothing before the start.
    target.insert("\U0001D70B");
    target.editClear(-1);
    EXPECT_EQ(text(), "R1=");
    caret.setPosition(0);
    target.editClear(-1);
    EXPECT_EQ(text(), "R1=");
    // Forwards, and past the end.
    target.editClear(2);
    EXPECT_EQ(text(), "=");
    target.editClear(5);
    EXPECT_EQ(text(), "");
}

TEST_F(DocumentTargetTest, SymbolFontLettersGoInAsGreekLetters) {
    target.font("symbol");
    target.fontSize(18);
    target.insert("w j D 1,=");
    EXPECT_EQ(text(), QString::fromUtf8("ω φ Δ 1,="));
    EXPECT_EQ(at(0).intProperty(kCharsetFormatProperty), 2);
    target.font("Times New Roman");
    target.insert("w");
    EXPECT_TRUE(text().endsWith("w"));
}

TEST_F(DocumentTargetTest, WritesAtTheCaretReplacingTheSelectionWithoutClearingThePage) {
    caret.insertText("Before After");
    caret.setPosition(6);
    caret.setPosition(7, QTextCursor::KeepAnchor); // the space
    DocumentReportTarget fresh(caret);
    fresh.insert("\rSolution\r");
    EXPECT_EQ(text(), "Before\nSolution\nAfter");
    EXPECT_EQ(caret.position(), find("After"));
}

TEST_F(DocumentTargetTest, AnUpdateIsOneUndoStepAndOneChangeEvenWhenAVerbFails) {
    caret.insertText("Old ");
    doc.clearUndoRedoStacks();
    int changes = 0;
    QObject::connect(&doc, &QTextDocument::contentsChanged, [&] { ++changes; });
    try {
        ReportUpdate update(target);
        for (int i = 0; i < 50; ++i)
            writeIndexedValue(target, "I", std::to_string(i), "1\r");
        target.fontSize(0); // fails
    } catch (const ReportError&) {
    }
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(text().contains("I49=1")) << "what was written before the fault stays";
    doc.undo();
    EXPECT_EQ(text(), "Old ") << "one undo takes the whole solution back";
}

TEST_F(DocumentTargetTest, APageSolutionIsTheReportFilesSolutionWrittenInOnce) {
    // A solution collected and put on the page at its end, the same verbs put on the page one
    // by one, and the same written as a report document: one content.
    QTemporaryDir dir;
    const test::VerbPictures pictures(dir.path());
    for (unsigned seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const std::vector<ReportCall> calls = test::randomVerbs(rng, 60, seed % 3 == 0 ? &pictures : nullptr);
        QTextDocument whole, oneByOne;
        {
            QTextCursor c(&whole);
            DocumentReportTarget t(c);
            ReportUpdate update(t);
            replay(calls, t);
        }
        {
            QTextCursor c(&oneByOne);
            DocumentReportTarget t(c);
            replay(calls, t);
        }
        ReportDocument report;
        ReportDocumentTarget t(report);
        replay(calls, t);
        EXPECT_EQ(writeRtf(whole), writeRtf(report));
        EXPECT_EQ(writeRtf(oneByOne), writeRtf(report));
        EXPECT_EQ(whole.toPlainText(), oneByOne.toPlainText());
    }
}

TEST_F(DocumentTargetTest, TakingBackMoreThanASolutionWroteReachesThePage) {
    caret.insertText("Old");
    {
        DocumentReportTarget t(caret);
        ReportUpdate update(t);
        t.insert("x\r");
        t.editClear(-4);
    }
    EXPECT_EQ(text(), "O");
    // Forwards the page loses what follows the caret.
    caret.insertText("ld page");
    caret.setPosition(1);
    {
        DocumentReportTarget t(caret);
        ReportUpdate update(t);
        t.insert("!");
        t.editClear(3);
    }
    EXPECT_EQ(text(), "O!page");
}

TEST_F(DocumentTargetTest, FontSizeOutsideTheRangeFails) {
    for (int size : {0, -3, 1639})
        EXPECT_THROW(target.fontSize(size), ReportError) << size;
    for (int size : {1, 1638})
        EXPECT_NO_THROW(target.fontSize(size)) << size;
}

TEST_F(DocumentTargetTest, InsertPictureCentresTheImage) {
    QTemporaryDir dir;
    const QString path = dir.filePath("scheme.png");
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(path));

    target.insert("Text\r");
    target.insertPicture({.name = path.toStdString()});
    target.insert("\rElectrical scheme\r");

    const QTextBlock pictureBlock = doc.findBlockByNumber(1);
    EXPECT_EQ(pictureBlock.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextCharFormat f = at(pictureBlock.position());
    ASSERT_TRUE(f.isImageFormat());
    const QTextImageFormat picture = f.toImageFormat();
    EXPECT_EQ(picture.width(), 40);
    EXPECT_EQ(picture.height(), 30);
    EXPECT_EQ(imageResource(doc, picture.name()).pixelColor(5, 5), QColor(Qt::red));
    // The paragraphs after the picture are aligned as before it.
    EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    // A solution started with the caret right after a picture writes text, not pictures.
    caret.setPosition(pictureBlock.position() + 1);
    DocumentReportTarget afterPicture(caret);
    afterPicture.insert("x");
    EXPECT_FALSE(at(pictureBlock.position() + 1).isImageFormat());
    EXPECT_EQ(pictureBlock.text(), QString(QChar::ObjectReplacementCharacter) + "x");

    try {
        target.insertPicture({.name = dir.filePath("missing.emf").toStdString()});
        FAIL() << "a missing picture must fail";
    } catch (const ReportError& e) {
        EXPECT_NE(std::string(e.what()).find("missing.emf"), std::string::npos) << e.what();
    }
}

namespace {

/// A metafile of the sample drawing whose frame is 60 by 40 mm.
QByteArray sampleMetafile() {
    EmfCanvas emf;
    emf.setDescription("Quorvel", "sample");
    emf.setFrame({0, 0, 6000, 4000});
    emf.setMapMode(emf::MmAnisotropic);
    emf.setWindowExt(100, 100);
    emf.setViewportExt(100, 100);
    test::drawSample(emf);
    return emf.finish();
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST_F(DocumentTargetTest, AMetafileGoesInAtItsFramesSizeInAParagraphOfItsOwn) {
    QTemporaryDir dir;
    const QByteArray emf = sampleMetafile();
    // The name does not matter: the bytes say it is a metafile.
    const QString path = writeFile(dir, "Test1.pic", emf);

    target.insert("Before");
    target.insertPicture({.name = path.toStdString()});
    target.insert("\rElectrical scheme\r");

    EXPECT_EQ(doc.findBlockByNumber(0).text(), "Before");
    const QTextBlock pictureBlock = doc.findBlockByNumber(1);
    EXPECT_EQ(pictureBlock.text(), QString(QChar::ObjectReplacementCharacter));
    EXPECT_EQ(pictureBlock.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(doc.findBlockByNumber(2).text(), "Electrical scheme");
    EXPECT_EQ(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    const QTextImageFormat picture = at(pictureBlock.position()).toImageFormat();
    ASSERT_TRUE(picture.isValid());
    // 60 by 40 mm at 96 pixels per inch.
    EXPECT_NEAR(picture.width(), 60 / 25.4 * 96, 1);
    EXPECT_NEAR(picture.height(), 40 / 25.4 * 96, 1);
    // Kept whole for saving, with its frame in hundredths of a millimetre.
    EXPECT_EQ(picture.property(kPictureKindProperty).toByteArray(), "emfblip");
    EXPECT_EQ(picture.property(kPictureDataProperty).toByteArray(), emf);
    EXPECT_EQ(picture.intProperty(kPictureWidthProperty), 6000);
    EXPECT_EQ(picture.intProperty(kPictureHeightProperty), 4000);
    // Shown as the metafile draws, scaled to the image the page holds.
    EmfPicture played;
    ASSERT_TRUE(played.load(emf, nullptr));
    const QImage shown = imageResource(doc, picture.name());
    ASSERT_FALSE(shown.isNull());
    EXPECT_GE(shown.width(), int(picture.width()));
    EXPECT_NEAR(shown.width() / picture.width(), shown.height() / picture.height(), 0.01);
    QImage expected(shown.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        played.play(painter, QRectF(QPointF(0, 0), QSizeF(shown.size())));
    }
    ASSERT_TRUE(test::inkBox(expected).isValid());
    EXPECT_GT(test::inkCovered(expected, shown, 1), 0.98);
    EXPECT_GT(test::inkCovered(shown, expected, 1), 0.98);

    // Saved as rich text the metafile goes as it is.
    const QByteArray rtf = writeRtf(doc);
    EXPECT_TRUE(rtf.contains("{\\pict\\emfblip\\picw6000\\pich4000\\picwgoal3402\\pichgoal2268\r\n"))
        << rtf.left(600).constData();
    EXPECT_TRUE(rtf.contains(emf.left(64).toHex()));
}

TEST_F(DocumentTargetTest, AMissingOrDamagedPictureFailsWithItsName) {
    QTemporaryDir dir;
    const QByteArray emf = sampleMetafile();
    QByteArray hugeRecord = emf;
    // The second record claims more bytes than the file holds.
    const quint32 header = *reinterpret_cast<const quint32*>(emf.constData() + 4);
    const quint32 claim = 0x7FFFFFF0;
    hugeRecord.replace(qsizetype(header) + 4, 4, QByteArray(reinterpret_cast<const char*>(&claim), 4));
    const std::pair<const char*, QByteArray> cases[] = {
        {"cut.emf", emf.left(emf.size() / 2)}, {"record.emf", hugeRecord}, {"header.emf", emf.left(44)},
        {"text.png", "not a picture at all"},  {"empty.emf", ""},
    };
    target.insert("Kept");
    for (const auto& [name, bytes] : cases) {
        const QString path = writeFile(dir, name, bytes);
        try {
            target.insertPicture({.name = path.toStdString()});
            ADD_FAILURE() << name << " was inserted";
        } catch (const ReportError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(target.insertPicture({.name = dir.filePath("missing.emf").toStdString()}), ReportError);
    EXPECT_EQ(text(), "Kept") << "a picture that fails leaves the page as it was";
}

namespace {

/// A solution long enough to go onto a page in steps, as the verbs of `seed` make it.
std::vector<ReportCall> longSolution(unsigned seed, const test::VerbPictures* pictures) {
    std::mt19937 rng(seed);
    const std::vector<ReportCall> some = test::randomVerbs(rng, 3000, pictures);
    std::vector<ReportCall> calls;
    for (int i = 0; i < 10; ++i)
        calls.insert(calls.end(), some.begin(), some.end());
    ReportDocument report;
    ReportDocumentTarget t(report);
    replay(calls, t);
    EXPECT_GT(report.runs().size(), 3 * kReportRunsPerStep) << "too short to go on in steps";
    return calls;
}

/// Writes `calls` as one solution at `caret`.
void writeSolution(QTextCursor& caret, const std::vector<ReportCall>& calls) {
    DocumentReportTarget t(caret);
    ReportUpdate update(t);
    replay(calls, t);
}

/// Runs the event loop until the page has its solution whole; false when it never does.
bool waitForSolution(const QTextDocument& page) {
    for (int i = 0; i < 100000 && hasPendingReport(page); ++i)
        QCoreApplication::processEvents();
    return !hasPendingReport(page);
}

} // namespace

TEST(PageInSteps, ALongSolutionGoesOnInStepsAndEndsAsWrittenAtOnce) {
    QTemporaryDir dir;
    const test::VerbPictures pictures(dir.path());
    for (unsigned seed : {3u, 4u}) {
        SCOPED_TRACE(seed);
        const std::vector<ReportCall> calls = longSolution(seed, seed == 3 ? &pictures : nullptr);
        QTextDocument whole, page;
        setWritesInSteps(page, true);
        for (QTextDocument* d : {&whole, &page}) {
            QTextCursor c(d);
            c.insertText("Old page\nend");
            d->clearUndoRedoStacks();
        }
        QTextCursor wholeCaret(&whole);
        wholeCaret.movePosition(QTextCursor::End);
        writeSolution(wholeCaret, calls);

        QTextCursor caret(&page);
        caret.movePosition(QTextCursor::End);
        QTextCursor view(caret); // the editor's own cursor, where the solution goes in
        writeSolution(caret, calls);
        ASSERT_TRUE(hasPendingReport(page));
        EXPECT_LT(page.characterCount(), whole.characterCount() / 2) << "only the beginning is in";
        EXPECT_EQ(view.position(), caret.position()) << "the caret follows what is in";
        EXPECT_TRUE(page.toPlainText().startsWith("Old page\nend"));

        std::vector<int> positions;
        bool finished = false;
        onPendingReportStep(page, [&](int position, bool last) {
            positions.push_back(position);
            finished = last;
        });
        ASSERT_TRUE(waitForSolution(page));
        EXPECT_TRUE(finished);
        EXPECT_GT(positions.size(), 2u);
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
        EXPECT_EQ(writeRtf(page), writeRtf(whole));
        EXPECT_EQ(view.position(), wholeCaret.position()) << "the caret ends after the whole solution";
        page.undo();
        EXPECT_EQ(page.toPlainText(), "Old page\nend") << "one undo takes the whole solution back";
    }
}

TEST(PageInSteps, WhatComesNextWaitsForTheWholeSolution) {
    const std::vector<ReportCall> calls = longSolution(5, nullptr);
    QTextDocument whole, page;
    setWritesInSteps(page, true);
    QTextCursor wholeCaret(&whole), caret(&page);
    writeSolution(wholeCaret, calls);
    wholeCaret.insertText("Next");

    // A verb of the next solution finishes the earlier one first.
    writeSolution(caret, calls);
    ASSERT_TRUE(hasPendingReport(page));
    {
        DocumentReportTarget t(caret);
        t.insert("Next");
    }
    EXPECT_FALSE(hasPendingReport(page));
    EXPECT_EQ(writeRtf(page), writeRtf(whole));

    // So does whoever reads the page.
    page.clear();
    caret = QTextCursor(&page);
    writeSolution(caret, calls);
    ASSERT_TRUE(hasPendingReport(page));
    finishPendingReport(page);
    EXPECT_FALSE(hasPendingReport(page));
    caret.insertText("Next");
    EXPECT_EQ(writeRtf(page), writeRtf(whole));

    // A short solution goes in at once.
    page.clear();
    caret = QTextCursor(&page);
    writeSolution(caret, std::vector<ReportCall>(calls.begin(), calls.begin() + 40));
    EXPECT_FALSE(hasPendingReport(page));
}
