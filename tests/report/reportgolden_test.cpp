// The worked solutions as files, byte for byte: the rich text, plain text and HTML that the
// solve command writes for the independent writer's schemes and for generated circuits, kept
// under tests/data/golden. A deliberate change of the report is made visible by writing the
// files afresh (QUORVEL_WRITE_GOLDEN=1 ctest -R ReportGolden) and reviewing their difference.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "support/randomcircuit.h"
#include "support/testfiles.h"

using namespace qv;
using qv::test::ComponentBench;
using qv::test::RandomCircuit;

namespace {

struct GoldenCase {
    const char* name;
    const char* fixture; ///< a scheme of tests/data/interop, or null for a generated circuit
    bool ac = false;     ///< generated circuits: AC or DC
    int unknowns = 0;    ///< generated circuits: nodes beyond the reference
    const char* method = "node";
    bool balance = false;
    bool picture = false;
    std::vector<const char*> formats;
};

std::ostream& operator<<(std::ostream& os, const GoldenCase& c) {
    return os << c.name;
}

const GoldenCase kCases[] = {
    {"dc_parallel_node", "dc_parallel.tbe", false, 0, "node", false, true, {"rtf", "txt", "html"}},
    {"dc_source_ground_balance", "dc_current_source_ground.tbe", false, 0, "node", true, false, {"rtf"}},
    {"ac_rlc_node_balance", "ac_rlc.tbe", false, 0, "node", true, true, {"rtf", "txt", "html"}},
    {"ac_rlc_kirchhoff", "ac_rlc.tbe", false, 0, "kirchhoff", false, false, {"rtf"}},
    {"ac_rlc_mesh", "ac_rlc.tbe", false, 0, "mesh", false, false, {"txt"}},
    {"dc_generated_node", nullptr, false, 6, "node", true, false, {"rtf", "txt"}},
    {"dc_generated_mesh", nullptr, false, 5, "mesh", false, false, {"txt"}},
    {"ac_generated_node", nullptr, true, 4, "node", true, false, {"rtf", "html"}},
    {"ac_generated_kirchhoff", nullptr, true, 4, "kirchhoff", false, false, {"txt"}},
};

QString goldenPath(const GoldenCase& c, const char* format) {
    return test::dataPath(QStringLiteral("golden/%1.%2").arg(QLatin1String(c.name), QLatin1String(format)));
}

class ReportGolden : public ::testing::TestWithParam<GoldenCase> {};

} // namespace

TEST_P(ReportGolden, TheSolveCommandWritesTheKeptReport) {
    const GoldenCase& c = GetParam();
    QTemporaryDir out;
    ComponentBench bench;
    // Report pictures go under the workbench's folder; one of our own keeps runs apart.
    Workbench fixtureBench(out.path());
    NTBEFizDisp* doc = &bench.doc;
    if (c.fixture) {
        QString error;
        ASSERT_TRUE(fixtureBench.openScheme(test::fixture(c.fixture), &error)) << error.toStdString();
        doc = &fixtureBench.scheme();
    } else {
        std::mt19937 rng(unsigned(c.unknowns) * 2 + c.ac);
        RandomCircuit rc = RandomCircuit::generate(rng, c.ac, c.unknowns + 1, c.unknowns, 1);
        rc.draw(bench);
        if (std::string(c.method) != "node") rc.drawLoops(bench, std::string(c.method) == "mesh");
    }
    const bool write = qEnvironmentVariableIntValue("QUORVEL_WRITE_GOLDEN") == 1;
    for (const char* format : c.formats) {
        SCOPED_TRACE(format);
        SolveRequest request = SolveRequest::fromScheme(*doc, c.method);
        request.balance = c.balance;
        request.picture = c.picture;
        const QString path = out.filePath(QStringLiteral("report.") + QLatin1String(format));
        QString saveError;
        const SolveResult result = solveToReportFile(*doc, request, path, saveError);
        ASSERT_EQ(result.status, SolveResult::Solved) << result.errors.join(": ").toStdString();
        ASSERT_TRUE(saveError.isEmpty()) << saveError.toStdString();
        const QByteArray written = test::bytesOf(path);
        ASSERT_FALSE(written.isEmpty());
        if (write) {
            QDir().mkpath(QFileInfo(goldenPath(c, format)).path());
            QFile kept(goldenPath(c, format));
            ASSERT_TRUE(kept.open(QIODevice::WriteOnly) && kept.write(written) == written.size());
            continue;
        }
        const QByteArray kept = test::bytesOf(goldenPath(c, format));
        ASSERT_FALSE(kept.isEmpty()) << "no golden file " << goldenPath(c, format).toStdString();
        if (written == kept) continue;
        qsizetype at = 0;
        while (at < written.size() && at < kept.size() && written[at] == kept[at])
            ++at;
        ADD_FAILURE() << "the report differs from " << goldenPath(c, format).toStdString() << " at byte "
                      << at
                      << ":\n  kept:    " << kept.mid(std::max<qsizetype>(0, at - 60), 160).toStdString()
                      << "\n  written: " << written.mid(std::max<qsizetype>(0, at - 60), 160).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Reports, ReportGolden, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
