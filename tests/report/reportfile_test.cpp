// Saving the solution in the five formats.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "randomverbs.h"
#include "report/documenttarget.h"
#include "report/reportdocumenttarget.h"
#include "report/reportfile.h"
#include "report/rtf.h"
#include "reportsample.h"
#include "support/testfiles.h"

using namespace qv;

namespace {

struct ReportFileTest : testing::Test {
    QTemporaryDir dir;
    QTextDocument doc;
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        writeSampleReport(doc, dir.path());
    }
    QString save(const QString& name) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(saveReport(doc, path, &error)) << error.toStdString();
        return path;
    }
};

} // namespace

TEST(ReportFile, TheExtensionChoosesTheFormat) {
    const std::pair<const char*, ReportFileFormat> cases[] = {
        {"a.rtf", ReportFileFormat::Rtf},  {"a.RTF", ReportFileFormat::Rtf},
        {"a", ReportFileFormat::Rtf},      {"a.doc", ReportFileFormat::Rtf},
        {"a.odt", ReportFileFormat::Odt},  {"a.Html", ReportFileFormat::Html},
        {"a.htm", ReportFileFormat::Html}, {"a.pdf", ReportFileFormat::Pdf},
        {"a.TXT", ReportFileFormat::Text}, {"dir.pdf/a", ReportFileFormat::Rtf}};
    for (const auto& [path, format] : cases)
        EXPECT_EQ(reportFileFormat(path), format) << path;
}

TEST_F(ReportFileTest, EveryFormatHoldsTheTextAndTheRealGreekLetters) {
    const QByteArray rtf = qv::test::bytesOf(save("solution.rtf"));
    QTextDocument back;
    ASSERT_TRUE(readRtf(rtf, back));
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());

    const QString text = QString::fromUtf8(qv::test::bytesOf(save("solution.txt")));
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Решение методом узловых потенциалов\n")));
    for (const char* piece : {"Z1=R1+j·ω·L1=10+j·314.2·0.1·10-6\n", "(3+j4)·φ1+-j5·φ2=1-j1\n",
                              "2I1-1.5I2=10\n", "φ1=0.5-j0.25\n", "Checked {ok} \\ done"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(piece))) << piece << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QChar::ObjectReplacementCharacter));

    const QString html = QString::fromUtf8(qv::test::bytesOf(save("solution.html")));
    EXPECT_TRUE(html.contains(QString::fromUtf8("ω"))) << "Greek letters are characters, not a font trick";
    EXPECT_TRUE(html.contains("src=\"data:image/png;base64,")) << "the picture travels with the page";
    EXPECT_TRUE(html.contains(QString::fromUtf8("Решение")));

    const QByteArray odt = qv::test::bytesOf(save("solution.odt"));
    EXPECT_TRUE(odt.startsWith("PK")) << "OpenDocument is a zip package";
    EXPECT_TRUE(odt.contains("application/vnd.oasis.opendocument.text"));
    EXPECT_TRUE(odt.contains("Pictures/")) << "with the picture inside";

    const QByteArray pdf = qv::test::bytesOf(save("solution.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_GE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
}

TEST_F(ReportFileTest, AFailedSaveSaysWhy) {
    QString error;
    const QString missing = dir.filePath("no/such/folder/solution.rtf");
    EXPECT_FALSE(saveReport(doc, missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(ReportFileTest, AFailedSaveLeavesTheOldFile) {
    const QString path = save("kept.rtf");
    const QByteArray before = qv::test::bytesOf(path);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QTextDocument other;
    other.setPlainText("other");
    QString error;
    const bool saved = saveReport(other, path, &error);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (saved) GTEST_SKIP() << "this user may write into a read-only folder";
    EXPECT_EQ(qv::test::bytesOf(path), before);
}

TEST_F(ReportFileTest, AnIndependentWordProcessorReadsTheRichText) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the rich text is not checked by an "
                        "independent reader";
    // Converts an RTF file to UTF-8 text; empty when soffice could not.
    auto convert = [&](const QString& rtf, const QString& outDir) {
        QProcess p;
        p.start(soffice, {"--headless", "-env:UserInstallation=file://" + dir.filePath("profile"),
                          "--convert-to", "txt:Text (encoded):UTF8", "--outdir", outDir, rtf});
        EXPECT_TRUE(p.waitForFinished(180000)) << "soffice did not finish";
        return QString::fromUtf8(
            qv::test::bytesOf(QDir(outDir).filePath(QFileInfo(rtf).completeBaseName() + ".txt")));
    };
    // LibreOffice without its word processor cannot open rich text at all.
    const QString probe = dir.filePath("probe.rtf");
    QFile f(probe);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi probe\\par}");
    f.close();
    if (!convert(probe, dir.filePath("probe")).contains("probe"))
        GTEST_SKIP()
            << "LibreOffice (soffice) is installed without its word processor: it reads no rich text";

    const QString text = convert(save("solution.rtf"), dir.filePath("out"));
    ASSERT_FALSE(text.isEmpty()) << "LibreOffice could not read the rich text";
    for (const char* piece : {"Решение методом узловых потенциалов", "Z1=R1+j·ω·L1", "(3+j4)·φ1",
                              "φ1=0.5-j0.25", "Checked {ok} \\ done"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(piece))) << piece << "\n" << text.toStdString();
}

TEST(ReportFile, AMetafileGoesIntoEveryFormatThatShowsPictures) {
    // Drawn only when a format asks for its image: the page's printing works on a copy of
    // the page, which must find the picture too.
    QTemporaryDir dir;
    const test::VerbPictures pictures(dir.path());
    QTextDocument page;
    QTextCursor caret(&page);
    ReportDocument report;
    for (ReportTarget* target : std::initializer_list<ReportTarget*>{new DocumentReportTarget(caret),
                                                                     new ReportDocumentTarget(report)}) {
        std::unique_ptr<ReportTarget> t(target);
        ReportUpdate update(*t);
        t->insert("Solution\r");
        t->insertPicture({.name = pictures.emf.toStdString()});
        t->insert("\rElectrical scheme\r");
    }
    for (const bool fromPage : {true, false}) {
        SCOPED_TRACE(fromPage ? "page" : "report document");
        auto save = [&](const char* name) {
            const QString path = dir.filePath(QLatin1String(name));
            QString error;
            EXPECT_TRUE(fromPage ? saveReport(page, path, &error) : saveReport(report, path, &error))
                << error.toStdString();
            return test::bytesOf(path);
        };
        EXPECT_TRUE(save("s.rtf").contains("{\\pict\\emfblip\\picw2000\\pich1500"));
        EXPECT_TRUE(save("s.html").contains("src=\"data:image/png;base64,"));
        EXPECT_TRUE(save("s.odt").contains("Pictures/"));
        EXPECT_TRUE(save("s.pdf").contains("/Subtype /Image"));
    }
}
