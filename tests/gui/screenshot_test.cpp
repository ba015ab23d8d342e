// The program's --screenshot option renders the main window into a PNG and exits.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/process.h"

namespace {

using qv::test::ProgramRun;

ProgramRun runProgram(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return qv::test::runProgram(QStringLiteral(QUORVEL_EXE), args, env);
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
