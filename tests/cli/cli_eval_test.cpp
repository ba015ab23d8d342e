// The command line's "eval" runs the workbench's evaluator.
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/testfiles.h"

namespace {

using qv::test::ProgramRun;

ProgramRun eval(const QString& expression) {
    return qv::test::runProgram(qv::test::requiredEnvironment("QUORVEL_CLI"),
                                {QStringLiteral("eval"), expression});
}

TEST(CliEval, PrintsTheValueOrTheError) {
    const ProgramRun ok = eval("2*sqrt(9)+1/4");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "6.25\n");

    const ProgramRun bad = eval("2E-5");
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_TRUE(bad.err.contains("'2E' is not a valid floating point value\n")) << bad.err.toStdString();
}

} // namespace
