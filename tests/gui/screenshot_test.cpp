// The program's --screenshot option renders the main window into a PNG and exits.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString errors;
};

Outcome runProgram(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QUORVEL_EXE), args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

TEST(ScreenshotTest, WritesThePictureOfTheMainWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("shot.png");
    Outcome r = runProgram({"--screenshot", file});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
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
        Outcome r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_FALSE(r.errors.trimmed().isEmpty());
    }
}
