// The node-voltage solution from the scheme file to the finished report: 44 DC unknowns (the
// largest DC system) and 101 AC unknowns; and the whole command-line process against ngspice
// on the same circuit.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <random>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "support/randomcircuit.h"

using namespace qv;
using qv::test::RandomCircuit;

namespace {

struct Circuit {
    QString scheme;
    QString netlist;
};

/// A random circuit of `unknowns` + 1 nodes, one of them grounded, saved once as a scheme and
/// as a netlist.
const Circuit& circuit(bool ac, int unknowns) {
    static QTemporaryDir dir;
    static std::map<std::pair<bool, int>, Circuit> made;
    auto& c = made[{ac, unknowns}];
    if (!c.scheme.isEmpty()) return c;
    std::mt19937 rng(unsigned(unknowns) * 2 + ac);
    test::ComponentBench bench;
    RandomCircuit rc = RandomCircuit::generate(rng, ac, unknowns + 1, unknowns, 1);
    rc.draw(bench);
    const QString name = QStringLiteral("%1%2").arg(ac ? "ac" : "dc").arg(unknowns);
    c.scheme = dir.filePath(name + ".tbe");
    c.netlist = dir.filePath(name + ".cir");
    QString error;
    if (!bench.wb.saveScheme(c.scheme, &error)) qFatal("%s", qPrintable(error));
    QFile f(c.netlist);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the netlist");
    f.write(rc.netlist(unknowns).c_str());
    return c;
}

void BM_NodeVoltageSolution(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    Workbench wb(QStringLiteral("."));
    for (auto _ : state) {
        QString error;
        if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
        QTextDocument report;
        QTextCursor caret(&report);
        SolveRequest request = SolveRequest::fromScheme(wb.scheme(), "node");
        request.picture = false;
        const SolveResult r = solveIntoDocument(wb.scheme(), request, caret);
        if (r.status != SolveResult::Solved || int(r.nodes.size()) != unknowns + 1)
            state.SkipWithError("not solved");
        benchmark::DoNotOptimize(report.characterCount());
    }
}
BENCHMARK_CAPTURE(BM_NodeVoltageSolution, dc44, false, 44)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NodeVoltageSolution, ac101, true, 101)->Unit(benchmark::kMillisecond);

/// The same without a report: the model, the equations and the writers' arithmetic only, to
/// tell the solution's share from the rendering into the document.
void BM_NodeVoltageNumbersOnly(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    Workbench wb(QStringLiteral("."));
    for (auto _ : state) {
        QString error;
        if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
        SolveRequest request = SolveRequest::fromScheme(wb.scheme(), "node");
        const SolveResult r = solveScheme(wb.scheme(), request);
        if (r.status != SolveResult::Solved) state.SkipWithError("not solved");
        benchmark::DoNotOptimize(r.branches.size());
    }
}
BENCHMARK_CAPTURE(BM_NodeVoltageNumbersOnly, dc44, false, 44)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NodeVoltageNumbersOnly, ac101, true, 101)->Unit(benchmark::kMillisecond);

void runProcess(benchmark::State& state, const QString& program, const QStringList& args) {
    for (auto _ : state) {
        QProcess p;
        p.start(program, args);
        // ngspice -b ends with status 1 when a control block prints instead of .print lines.
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
            state.SkipWithError("the process failed");
            break;
        }
    }
}

void BM_CliSolve(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    runProcess(state, QStringLiteral(QUORVEL_CLI),
               {"solve", c.scheme, "--method", "node", "--json", QDir::temp().filePath("solve_bench.json")});
}
void BM_NgspiceBatch(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    const QString ngspice = QStandardPaths::findExecutable(QStringLiteral("ngspice"));
    if (ngspice.isEmpty()) {
        state.SkipWithError("ngspice is not installed");
        for (auto _ : state) {
        }
        return;
    }
    runProcess(state, ngspice, {"-b", c.netlist});
}
BENCHMARK_CAPTURE(BM_CliSolve, dc44, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NgspiceBatch, dc44, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CliSolve, ac101, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NgspiceBatch, ac101, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
