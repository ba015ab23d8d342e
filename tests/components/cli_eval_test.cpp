// The command line's "eval" runs the workbench's evaluator.
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode;
    QString out, err;
};

CliRun eval(const QString& expression) {
    QProcess p;
    p.start(QStringLiteral(QUORVEL_CLI), {QStringLiteral("eval"), expression});
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(CliEval, PrintsTheValueOrTheError) {
    const CliRun ok = eval("2*sqrt(9)+1/4");
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.out, "6.25\n");

    const CliRun bad = eval("2E-5");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains("'2E' is not a valid floating point value\n")) << bad.err.toStdString();
}

} // namespace
