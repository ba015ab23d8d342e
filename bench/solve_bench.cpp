// The node-voltage solution from the scheme file to the finished report: 44 DC unknowns (the
// largest DC system) and 101 AC unknowns; and the whole command-line process against ngspice
// on the same circuit, with the numbers alone and with the report and its picture.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "circuits.h"
#include "model/reportpicture.h"
#include "report/reportdocument.h"
#include "report/rtf.h"

using namespace qv;
using qv::bench::Circuit;
using qv::bench::circuit;

namespace {

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

/// The whole report as the command line makes it: the scheme's picture, the worked solution as
/// a report document and its rich text (the scheme is read outside the timing); on the random
/// circuits and on the ladders.
void BM_NodeVoltageReport(benchmark::State& state, bool ac, int unknowns, bool isLadder = false) {
    const Circuit& c = isLadder ? qv::bench::ladder(ac, unknowns) : circuit(ac, unknowns);
    QTemporaryDir home;
    Workbench wb(home.path(), WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
    size_t bytes = 0, runs = 0;
    for (auto _ : state) {
        ReportDocument report;
        const SolveResult r =
            solveIntoReport(wb.scheme(), SolveRequest::fromScheme(wb.scheme(), "node"), report);
        if (r.status != SolveResult::Solved) state.SkipWithError("not solved");
        const QByteArray rtf = writeRtf(report);
        bytes = size_t(rtf.size());
        runs = report.runs().size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.counters["bytes"] = double(bytes);
    state.counters["runs"] = double(runs);
}
BENCHMARK_CAPTURE(BM_NodeVoltageReport, dc44, false, 44)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NodeVoltageReport, ac101, true, 101)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NodeVoltageReport, dc44ladder, false, 44, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NodeVoltageReport, ac101ladder, true, 101, true)->Unit(benchmark::kMillisecond);

/// The scheme's picture alone, as a report inserts it: drawn as a metafile and written to
/// its numbered file.
void BM_ReportPicture(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    QTemporaryDir home;
    Workbench wb(home.path(), WorkbenchUse::Batch);
    QString error;
    if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
    for (auto _ : state) {
        const ReportPicture picture = writeReportPicture(wb.scheme());
        if (!picture) state.SkipWithError(qPrintable(picture.error));
    }
}
BENCHMARK_CAPTURE(BM_ReportPicture, dc44, false, 44)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReportPicture, ac101, true, 101)->Unit(benchmark::kMillisecond);

/// The drawing alone: the scheme as a metafile in memory, no file.
void BM_SchemeMetafile(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    Workbench wb(QStringLiteral("."));
    QString error;
    if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
    for (auto _ : state)
        benchmark::DoNotOptimize(wb.scheme().makeMetafile(0, 0).size());
}
BENCHMARK_CAPTURE(BM_SchemeMetafile, dc44, false, 44)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SchemeMetafile, ac101, true, 101)->Unit(benchmark::kMillisecond);

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

const Circuit& circuitOf(bool ac, int unknowns, bool isLadder) {
    return isLadder ? qv::bench::ladder(ac, unknowns) : circuit(ac, unknowns);
}

void BM_CliSolve(benchmark::State& state, bool ac, int unknowns) {
    const Circuit& c = circuit(ac, unknowns);
    runProcess(state, QStringLiteral(QUORVEL_CLI),
               {"solve", c.scheme, "--method", "node", "--json", QDir::temp().filePath("solve_bench.json")});
}
/// The numbers and the report with the scheme's picture, as rich text.
void BM_CliSolveReport(benchmark::State& state, bool ac, int unknowns, bool isLadder = false) {
    const Circuit& c = circuitOf(ac, unknowns, isLadder);
    runProcess(state, QStringLiteral(QUORVEL_CLI),
               {"solve", c.scheme, "--method", "node", "--report", QDir::temp().filePath("solve_bench.rtf"),
                "--json", QDir::temp().filePath("solve_bench.json")});
}
void BM_NgspiceBatch(benchmark::State& state, bool ac, int unknowns, bool isLadder = false) {
    const Circuit& c = circuitOf(ac, unknowns, isLadder);
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
BENCHMARK_CAPTURE(BM_CliSolveReport, dc44, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NgspiceBatch, dc44, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CliSolve, ac101, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CliSolveReport, ac101, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NgspiceBatch, ac101, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CliSolveReport, dc44ladder, false, 44, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NgspiceBatch, dc44ladder, false, 44, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_CliSolveReport, ac101ladder, true, 101, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_NgspiceBatch, ac101ladder, true, 101, true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

/// What any program that links the GUI library pays before its first line of work.
void BM_StartFloor(benchmark::State& state, const char* mode) {
    runProcess(state, QStringLiteral(START_FLOOR), {QLatin1String(mode)});
}
BENCHMARK_CAPTURE(BM_StartFloor, linked, "linked")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_StartFloor, gui, "gui")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_StartFloor, text, "text")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
