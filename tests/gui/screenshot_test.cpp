// The program's --screenshot option renders the main window into a PNG and exits.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/workbench.h"
#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::ProgramRun;

ProgramRun runProgram(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return qv::test::runProgram(qv::test::requiredEnvironment("QUORVEL_EXE"), args, env);
}

} // namespace

TEST(ScreenshotTest, WritesThePictureOfTheMainWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("shot.png");
    ProgramRun r = runProgram({"--screenshot", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QImage shot(file);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1200, 800));
}

TEST(ScreenshotTest, UnwritableFileFailsWithAMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        QStringList args;
    } cases[] = {{{"--screenshot", dir.filePath("no-such-folder/shot.png")}}, {{"--screenshot", ""}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        ProgramRun r = runProgram(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_FALSE(r.err.trimmed().isEmpty());
    }
}

TEST(ScreenshotTest, RendersEachKindOfFileAndRefusesADamagedOne) {
    using namespace qv;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    {
        Workbench wb;
        Canvas none;
        wb.schemeEditor().startTool(Tool::Node);
        wb.schemeEditor().mouseDown({100, 100}, MouseButton::Left, &none);
        wb.vectorEditor().startTool(Tool::Circle);
        wb.vectorEditor().mouseDown({0, 0}, MouseButton::Left, &none);
        wb.vectorEditor().mouseDown({300, 0}, MouseButton::Left, &none);
        QString error;
        ASSERT_TRUE(wb.saveWorkshop(dir.filePath("w.qvw"), "<p>text</p>", &error));
        ASSERT_TRUE(wb.saveScheme(dir.filePath("s.tbe"), &error));
        ASSERT_TRUE(wb.saveVector(dir.filePath("v.qvv"), &error));
    }
    for (const char* name : {"w.qvw", "s.tbe", "v.qvv"}) {
        SCOPED_TRACE(name);
        const QString shot = dir.filePath(QStringLiteral("%1.png").arg(QString::fromUtf8(name)));
        ProgramRun r = runProgram({"--screenshot", shot, dir.filePath(QString::fromUtf8(name))});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_FALSE(QImage(shot).isNull());
    }
    QFile damaged(dir.filePath("bad.qvw"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a workshop");
    damaged.close();
    ProgramRun r = runProgram({"--screenshot", dir.filePath("bad.png"), dir.filePath("bad.qvw")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("bad.qvw")) << r.err.toStdString();
}
