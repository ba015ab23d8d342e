// The "Solution" page after OK: the solution written into the page at its caret, the caret
// shown and the page painted, for 44 DC and 101 AC unknowns. The page already holds a
// solution, as it does after the first.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTextEdit>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "circuits.h"
#include "gui/solutionpage.h"
#include "io/classes.h"

using namespace qv;

namespace {

void BM_SolutionPageShowsTheSolution(benchmark::State& state, bool ac, int unknowns) {
    const bench::Circuit& c = bench::circuit(ac, unknowns);
    QTemporaryDir home;
    Workbench wb(home.path());
    QString error;
    if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
    gui::SolutionPage page;
    page.resize(1000, 700);
    page.show();
    QTextEdit* editor = page.editor();
    for (auto _ : state) {
        state.PauseTiming();
        editor->setPlainText(QStringLiteral("An earlier solution"));
        editor->moveCursor(QTextCursor::End);
        QApplication::processEvents();
        state.ResumeTiming();
        QTextCursor caret = editor->textCursor();
        const SolveResult r =
            solveIntoDocument(wb.scheme(), SolveRequest::fromScheme(wb.scheme(), "node"), caret);
        if (r.status != SolveResult::Solved) state.SkipWithError("not solved");
        editor->setTextCursor(caret);
        QApplication::processEvents();
        editor->viewport()->repaint();
    }
}
BENCHMARK_CAPTURE(BM_SolutionPageShowsTheSolution, dc44, false, 44)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolutionPageShowsTheSolution, ac101, true, 101)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerSchemeClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
