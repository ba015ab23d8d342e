// The program's command line: help, version and wrong usage need no display.
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::ProgramRun;

/// Runs the program as if no display were there, so that anything needing one fails.
ProgramRun runWithoutDisplay(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(name);
    return qv::test::runProgram(qv::test::requiredEnvironment("QUORVEL_EXE"), args, env);
}

} // namespace

TEST(CommandLine, HelpVersionAndWrongUsage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString usage = QStringLiteral("Usage: quorvel [options] [file]");
    const struct Case {
        QStringList args;
        int status;
        QString out;        ///< stdout starts with this
        QStringList errHas; ///< stderr contains each
    } cases[] = {
        {{"--help"}, 0, usage, {}},
        {{"-h", "ignored.tbe"}, 0, usage, {}},
        {{"--version"}, 0, QStringLiteral("quorvel " QUORVEL_VERSION "\n"), {}},
        {{"--frobnicate"}, 2, {}, {"frobnicate", usage}},
        {{"--screenshot"}, 2, {}, {"screenshot", usage}},
        {{"a.tbe", "b.tbe"}, 2, {}, {"one file", usage}},
        // Qt's own options go through to Qt.
        {{"-platform", "offscreen", "--screenshot", dir.filePath("shot.png")}, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = runWithoutDisplay(c.args);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        if (c.out.isEmpty()) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        } else {
            EXPECT_TRUE(r.out.startsWith(c.out)) << r.out.toStdString();
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
        for (const QString& text : c.errHas)
            EXPECT_TRUE(r.err.contains(text)) << r.err.toStdString();
    }
    // The help describes what the program takes.
    const ProgramRun help = runWithoutDisplay({"--help"});
    for (const char* option : {"--screenshot <file>", "--version", ".tbe", ".qvv", ".qvw"})
        EXPECT_TRUE(help.out.contains(QLatin1String(option))) << option;
    EXPECT_FALSE(help.out.contains("-platform")) << "Qt's options are not ours to describe";
}
