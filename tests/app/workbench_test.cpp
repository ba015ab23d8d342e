#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "app/optionsdialog.h"
#include "app/workbench.h"
#include "model/reportpicture.h"
#include "support/testfiles.h"

using namespace qv;

TEST(Workbench, StartsWithTheRegisteredClassesInOrderAndItsCaption) {
    Workbench wb;
    EXPECT_EQ(wb.caption(), "TOLV  Quorvel English");
    const auto& classes = wb.scheme().classes();
    ASSERT_EQ(classes.size(), 19u);
    EXPECT_EQ(classes.front().className, "NUniRes");
    EXPECT_EQ(classes.back().className, "NFCont");
    EXPECT_EQ(wb.scheme().labelDocument, &wb.labelDocument());
    wb.setCaptionNew();
    EXPECT_EQ(wb.caption(), "NewShem - TOLV - Quorvel");
    wb.setCaptionForFile("/tmp/some dir/circuit.qvw");
    EXPECT_EQ(wb.caption(), "circuit.qvw - TOLV - Quorvel");
}

TEST(Workbench, OptionsAreStoredOnOkOnly) {
    Workbench wb;
    ScriptedPresenter presenter;
    wb.context().setPresenter(&presenter);
    presenter.scripts.push_back([](DialogModel& m) {
        EXPECT_TRUE(m.field("image").checked);
        EXPECT_EQ(m.field("target").choice, 2);
        m.field("image").checked = false;
        m.field("target").choice = 1;
        m.cancel();
        return false;
    });
    EXPECT_FALSE(wb.showOptions());
    EXPECT_EQ(wb.scheme().insertSchemeImage, 1);
    presenter.scripts.push_back([](DialogModel& m) {
        m.field("image").checked = false;
        m.field("zero").checked = false;
        m.field("target").choice = 1;
        return m.ok();
    });
    EXPECT_TRUE(wb.showOptions());
    EXPECT_EQ(wb.scheme().insertSchemeImage, 0);
    EXPECT_EQ(wb.scheme().deleteZeroBranches, 0);
    EXPECT_EQ(wb.scheme().insertInitialData, 1);
    EXPECT_EQ(wb.scheme().reportTarget, 2); // a greyed word-processor choice is not taken
    EXPECT_EQ(presenter.shown, QStringList({"Options", "Options"}));
}

TEST(Workbench, PagesShowTheirOwnTools) {
    auto scheme = Workbench::toolsForPage(Page::Scheme);
    EXPECT_TRUE(scheme.layers && scheme.devices && scheme.acDevices && scheme.drawing);
    EXPECT_FALSE(scheme.vectorTools);
    EXPECT_EQ(Workbench::toolsForPage(Page::Solution), ToolVisibility{});
    auto vector = Workbench::toolsForPage(Page::Vector);
    EXPECT_TRUE(vector.vectorTools);
    EXPECT_FALSE(vector.layers || vector.devices || vector.acDevices || vector.drawing);
}

TEST(Workbench, SymbolFontGetsTheSymbolCharacterSet) {
    EXPECT_EQ(Workbench::charsetForFontName("Symbol"), 2);
    EXPECT_EQ(Workbench::charsetForFontName("SYMBOL"), 2);
    EXPECT_EQ(Workbench::charsetForFontName("Times New Roman"), 204);
}

TEST(Workbench, VectorPageOriginIsCentred) {
    Workbench wb;
    wb.centreVectorPage(QSize(800, 600), 37.8, 37.8);
    // 800 / 38 = 21.05 -> 21; 600 / 38 = 15.8 -> 16
    EXPECT_EQ(wb.vdScrollX, -1050);
    EXPECT_EQ(wb.vdScrollY, -800);
}

// A workshop keeps the Solution page as rich text: indices and Greek letters come back.
TEST(Workbench, TheSolutionPageIsStoredAsRichTextAndSavedByExtension) {
    QTextDocument page;
    QTextCursor c(&page);
    c.insertText(QStringLiteral("I"));
    QTextCharFormat sub;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText(QStringLiteral("1"), sub);
    c.insertText(QStringLiteral("=2 A, ω=314"), QTextCharFormat());
    const QByteArray record = Workbench::solutionRecord(page);
    EXPECT_TRUE(record.startsWith("{\\rtf"));

    QTextDocument back;
    QString error;
    ASSERT_TRUE(Workbench::readSolutionRecord(record, back, &error)) << error.toStdString();
    EXPECT_EQ(back.toPlainText(), page.toPlainText());
    QTextCursor one(&back);
    one.setPosition(2);
    EXPECT_EQ(one.charFormat().verticalAlignment(), QTextCharFormat::AlignSubScript);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(Workbench::saveSolution(page, dir.filePath("s.txt"), &error)) << error.toStdString();
    QFile text(dir.filePath("s.txt"));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(text.readAll()).contains(QStringLiteral("ω=314")));
}

// Root may write into /usr/bin, as the test may into its own "usr/bin"; an installed workbench
// must still keep its catalogues and report pictures in the user's data folder.
TEST(Workbench, AnInstalledOneWritesItsFilesIntoTheUsersDataFolderNeverBesideItself) {
    QTemporaryDir root;
    const QString bin = root.filePath("usr/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    qputenv("XDG_DATA_HOME", root.filePath("home/.local/share").toLocal8Bit());
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_TRUE(user.startsWith(root.filePath("home/"))) << user.toStdString();
    {
        Workbench wb(bin);
        QString error;
        ASSERT_TRUE(wb.openScheme(qv::test::fixture("dc_parallel.tbe"), &error)) << error.toStdString();
        ScriptedPresenter presenter; // the catalogue window is closed at once, and written
        wb.context().setPresenter(&presenter);
        EXPECT_TRUE(wb.showWireCatalogue(&error)) << error.toStdString();
        wb.context().setPresenter(nullptr);
        const ReportPicture picture = writeReportPicture(wb.scheme());
        ASSERT_TRUE(picture) << picture.error.toStdString();
        EXPECT_EQ(QFileInfo(picture.path), QFileInfo(QDir(user).filePath("pictures/Test1.emf")));
    }
    EXPECT_TRUE(QFileInfo::exists(QDir(user).filePath("LineSpr.spr")));
    EXPECT_EQ(QDir(bin).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    qunsetenv("XDG_DATA_HOME");
}
