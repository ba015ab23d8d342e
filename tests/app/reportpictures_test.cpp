// The scheme picture in the report of a solution: the file each method writes, the picture on
// the Solution page, in the saved rich text, in a workshop and in LibreOffice.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <gtest/gtest.h>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "model/document.h"
#include "platform/emfreader.h"
#include "report/reportfile.h"
#include "report/reportformat.h"
#include "report/rtf.h"
#include "support/ink.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

using qv::test::bytesOf;

/// The first picture of the document and the block it stands in.
struct FoundPicture {
    QTextImageFormat format;
    QTextBlock block;
};
FoundPicture firstPicture(const QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return {it.fragment().charFormat().toImageFormat(), b};
    return {};
}

struct ReportPictures : ::testing::Test {
    QTemporaryDir home;
    Workbench wb{home.path()};
    QString picture(int n) const { return home.filePath(QStringLiteral("pictures/Test%1.emf").arg(n)); }

    void SetUp() override {
        QString error;
        ASSERT_TRUE(wb.openScheme(qv::test::fixture("dc_current_source_ground.tbe"), &error))
            << error.toStdString();
        wb.scheme().insertSchemeImage = 1;
        wb.scheme().insertInitialData = 1;
    }
    SolveResult solve(const std::string& method, QTextDocument& page) {
        QTextCursor caret(&page);
        caret.movePosition(QTextCursor::End);
        return solveIntoDocument(wb.scheme(), SolveRequest::fromScheme(wb.scheme(), method), caret);
    }
};

} // namespace

TEST_F(ReportPictures, EveryMethodPutsTheSchemeAtTheStartOfItsReport) {
    int n = 0;
    for (const char* method : {"kirchhoff", "mesh", "node"}) {
        SCOPED_TRACE(method);
        QTextDocument page;
        const SolveResult r = solve(method, page);
        ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
        EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join(' ').toStdString();
        ++n;
        const QByteArray file = bytesOf(picture(n));
        ASSERT_EQ(file.mid(40, 4), " EMF") << "each solution writes the next picture file";

        const FoundPicture p = firstPicture(page);
        ASSERT_TRUE(p.block.isValid());
        EXPECT_EQ(p.block.blockNumber(), 0) << "the picture comes first";
        EXPECT_EQ(p.block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        EXPECT_EQ(p.block.next().text(), "Electrical scheme");
        EXPECT_EQ(p.format.property(kPictureDataProperty).toByteArray(), file);
        EmfPicture emf;
        ASSERT_TRUE(emf.load(file, nullptr));
        EXPECT_NEAR(p.format.width(), emf.sizeMm().width() * 96 / 25.4, 0.5);
        EXPECT_NEAR(p.format.height(), emf.sizeMm().height() * 96 / 25.4, 0.5);
        // The page shows the scheme as it is drawn.
        const QImage shown = imageResource(page, p.format.name());
        const QImage drawn = emf.toImage(96.0 * shown.width() / p.format.width());
        ASSERT_TRUE(test::inkBox(drawn).isValid());
        EXPECT_GT(test::inkCovered(drawn, shown.scaled(drawn.size()), 2), 0.9);
    }
    EXPECT_EQ(wb.context().pictureCounter, 3);
}

TEST_F(ReportPictures, ThePictureSurvivesRichTextAndAWorkshop) {
    QTextDocument page;
    ASSERT_EQ(solve("node", page).status, SolveResult::Solved);
    const QByteArray file = bytesOf(picture(1));
    ASSERT_FALSE(file.isEmpty());

    const QString saved = home.filePath("solution.rtf");
    QString error;
    ASSERT_TRUE(saveReport(page, saved, &error)) << error.toStdString();
    const QByteArray rtf = bytesOf(saved);
    EXPECT_EQ(rtf.count("{\\pict\\emfblip\\picw"), 1);
    EXPECT_TRUE(rtf.contains(file.left(64).toHex() + "\r\n" + file.mid(64, 64).toHex()));

    // The workshop keeps the page as rich text: the metafile comes back whole and shown.
    const QString workshop = home.filePath("w.tbw");
    ASSERT_TRUE(wb.saveWorkshop(workshop, Workbench::solutionRecord(page), &error)) << error.toStdString();
    QByteArray solution;
    ASSERT_TRUE(wb.openWorkshop(workshop, solution, &error)) << error.toStdString();
    QTextDocument back;
    ASSERT_TRUE(Workbench::readSolutionRecord(solution, back, &error)) << error.toStdString();
    EXPECT_EQ(back.toPlainText(), page.toPlainText());
    const FoundPicture p = firstPicture(back);
    ASSERT_TRUE(p.block.isValid());
    EXPECT_EQ(p.format.property(kPictureDataProperty).toByteArray(), file);
    EXPECT_NEAR(p.format.width(), firstPicture(page).format.width(), 0.5);
    EXPECT_EQ(p.block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QImage shown = imageResource(back, p.format.name());
    EXPECT_TRUE(test::inkBox(shown).isValid()) << "drawn, not a placeholder frame";
    EXPECT_EQ(Workbench::solutionRecord(back), Workbench::solutionRecord(page));

    // The other formats carry the picture as an image.
    ASSERT_TRUE(saveReport(page, home.filePath("solution.html"), &error));
    EXPECT_TRUE(bytesOf(home.filePath("solution.html")).contains("src=\"data:image/png;base64,"));
    ASSERT_TRUE(saveReport(page, home.filePath("solution.odt"), &error));
    EXPECT_TRUE(bytesOf(home.filePath("solution.odt")).contains("Pictures/"));
}

TEST_F(ReportPictures, WithoutAPictureFolderTheSolutionGoesOnAndSaysWhy) {
    QTemporaryDir scratch;
    // A file where the folders should be: neither the program's nor the user's can be made.
    const QString blocked = scratch.filePath("file");
    QFile f(blocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    wb.scheme().homeDir = blocked;
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", blocked.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (blocked + "/data").toLocal8Bit());
    auto& messages = static_cast<RecordingMessages&>(*wb.context().messages());
    const qsizetype shownBefore = messages.shown.size();

    QTextDocument page;
    const SolveResult r = solve("node", page);
    qputenv("HOME", savedHome);
    if (savedData.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedData);

    ASSERT_EQ(r.status, SolveResult::Solved) << r.errors.join(' ').toStdString();
    ASSERT_EQ(r.warnings.size(), 1);
    EXPECT_TRUE(r.warnings[0].startsWith("Cannot create a folder for the report pictures"))
        << r.warnings[0].toStdString();
    EXPECT_TRUE(r.warnings[0].contains("without the scheme picture"));
    ASSERT_EQ(messages.shown.size(), shownBefore + 1) << "one message box";
    EXPECT_EQ(messages.shown.back().text, r.warnings[0]);
    EXPECT_FALSE(firstPicture(page).block.isValid());
    EXPECT_FALSE(page.toPlainText().contains("Electrical scheme"));
    EXPECT_TRUE(page.toPlainText().contains("Solution\n")) << "the solution itself is written";
}

TEST_F(ReportPictures, NoPictureFileForASolutionWithoutAReport) {
    SolveRequest request = SolveRequest::fromScheme(wb.scheme(), "node");
    ASSERT_TRUE(request.picture);
    ASSERT_EQ(solveScheme(wb.scheme(), request).status, SolveResult::Solved);
    EXPECT_FALSE(QFileInfo::exists(picture(1)));
    EXPECT_EQ(wb.context().pictureCounter, 0);
}

TEST_F(ReportPictures, LibreOfficeShowsThePictureOfTheSavedRichText) {
    const QString office = QStandardPaths::findExecutable("soffice");
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the saved report was not checked in it";
    // The same report with and without the picture, converted to page images by one run of
    // LibreOffice (its start is the slow part).
    auto save = [&](bool withPicture, const QString& name) {
        wb.scheme().insertSchemeImage = withPicture ? 1 : 0;
        QTextDocument page;
        EXPECT_EQ(solve("node", page).status, SolveResult::Solved);
        const QString rtf = home.filePath(name + ".rtf");
        EXPECT_TRUE(saveReport(page, rtf));
        return rtf;
    };
    const QString withRtf = save(true, "with");
    const QString withoutRtf = save(false, "without");
    QProcess p;
    p.start(office, {"-env:UserInstallation=file://" + home.filePath("profile"), "--headless", "--convert-to",
                     "png", "--outdir", home.filePath("office"), withRtf, withoutRtf});
    ASSERT_TRUE(p.waitForFinished(300000)) << "LibreOffice did not finish";
    const QImage with(home.filePath("office/with.png"));
    const QImage without(home.filePath("office/without.png"));
    ASSERT_FALSE(with.isNull()) << "LibreOffice made no page image of the rich text: "
                                << p.readAllStandardError().toStdString();
    ASSERT_FALSE(without.isNull());
    if (const QByteArray keep = qgetenv("QUORVEL_KEEP_PICTURES"); !keep.isEmpty()) {
        with.save(QString::fromLocal8Bit(keep) + "/report-with-picture.png");
        without.save(QString::fromLocal8Bit(keep) + "/report-without-picture.png");
    }
    // Without the picture the report starts with text at the left margin; with it, the
    // page starts with a drawing centred across the page, and the text comes lower.
    const QRect textOnly = test::inkBox(without);
    const QRect all = test::inkBox(with);
    ASSERT_TRUE(textOnly.isValid());
    ASSERT_TRUE(all.isValid());
    // The top rows of the page with the picture: the picture alone.
    const double scale = double(with.width()) / 794; // pixels per pixel of an A4 page at 96 dpi
    EmfPicture emf;
    ASSERT_TRUE(emf.load(bytesOf(picture(1)), nullptr));
    const QSize natural = emf.pixelSize(96);
    const QImage top = with.copy(0, all.top(), with.width(), int(natural.height() * scale * 0.8));
    const QRect drawing = test::inkBox(top);
    ASSERT_TRUE(drawing.isValid());
    const int centre = drawing.center().x();
    EXPECT_NEAR(centre, with.width() / 2.0, with.width() * 0.06) << "the drawing stands centred";
    EXPECT_GT(drawing.left(), textOnly.left() + 10) << "not text at the left margin";
    EXPECT_GT(drawing.width(), natural.width() * scale * 0.5) << "at about its own size";
    EXPECT_LT(drawing.width(), natural.width() * scale * 1.1);
}
