// The "Solution" page after OK: the solution written into the page at its caret, the caret
// set and the page painted, for 44 DC and 101 AC unknowns (random circuits and ladders). The
// page already holds a solution, as it does after the first. A long solution goes onto the
// page in steps: FirstScreen times OK to the first screen painted, WholeSolution OK to the
// last step in and painted (and the longest the window waited between two steps); AllAtOnce
// OK to the whole solution in and painted when the page takes it in one go. WindowOkToFirstPaint
// times the main window itself, from the dialog's OK to the page's first paint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include "app/solvecommand.h"
#include "app/workbench.h"
#include "circuits.h"
#include "gui/mainwindow.h"
#include "gui/modal.h"
#include "gui/solutionpage.h"
#include "io/classes.h"
#include "platform/memory.h"
#include "report/pendingreport.h"

using namespace qv;

namespace {

void solutionPage(benchmark::State& state, const bench::Circuit& c, bool whole, bool inSteps = true) {
    QTemporaryDir home;
    Workbench wb(home.path());
    QString error;
    if (!wb.openScheme(c.scheme, &error)) state.SkipWithError(qPrintable(error));
    gui::SolutionPage page;
    page.resize(1000, 700);
    page.show();
    QTextEdit* editor = page.editor();
    // As the main window has it: long solutions go on in steps.
    wb.setSolutionPage(editor->document());
    setWritesInSteps(*editor->document(), inSteps);
    int steps = 0;
    double longest = 0; // ms between two steps: how long the window waits at most
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
        editor->viewport()->repaint();
        if (whole) {
            steps = 0;
            QElapsedTimer gap;
            gap.start();
            wb.followSolutionPage([&](int, bool) {
                ++steps;
                editor->ensureCursorVisible();
                longest = std::max(longest, gap.nsecsElapsed() / 1e6);
                gap.restart();
            });
            while (wb.solutionPageInSteps())
                QApplication::processEvents();
            editor->viewport()->repaint();
        } else {
            state.PauseTiming();
            wb.finishSolutionPage();
            state.ResumeTiming();
        }
    }
    state.counters["characters"] = editor->document()->characterCount();
    if (whole) {
        state.counters["steps"] = steps;
        state.counters["longest_step_ms"] = longest;
    }
}

void BM_FirstScreen(benchmark::State& state, bool ladder, bool ac, int unknowns) {
    solutionPage(state, ladder ? bench::ladder(ac, unknowns) : bench::circuit(ac, unknowns), false);
}
void BM_WholeSolution(benchmark::State& state, bool ladder, bool ac, int unknowns) {
    solutionPage(state, ladder ? bench::ladder(ac, unknowns) : bench::circuit(ac, unknowns), true);
}
/// The page taking a solution all at once, as it did before it took long ones in steps.
void BM_AllAtOnce(benchmark::State& state, bool ladder, bool ac, int unknowns) {
    solutionPage(state, ladder ? bench::ladder(ac, unknowns) : bench::circuit(ac, unknowns), false, false);
}
BENCHMARK_CAPTURE(BM_FirstScreen, dc44, false, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstScreen, ac101, false, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstScreen, dc44ladder, true, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_FirstScreen, ac101ladder, true, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeSolution, dc44, false, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeSolution, ac101, false, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeSolution, dc44ladder, true, false, 44)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WholeSolution, ac101ladder, true, true, 101)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_AllAtOnce, dc44, false, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_AllAtOnce, ac101, false, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_AllAtOnce, dc44ladder, true, false, 44)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_AllAtOnce, ac101ladder, true, true, 101)->Unit(benchmark::kMillisecond)->UseRealTime();

/// The main window from the OK of "Calculation by node voltage method" to the first paint of
/// the Solution page, the scheme page in front before: the solve, the values placed on the
/// drawing, the page's tool bars changed and the page shown. The page keeps up to three
/// solutions, as it does in use.
void BM_WindowOkToFirstPaint(benchmark::State& state, bool ladder, bool ac, int unknowns) {
    const bench::Circuit& c = ladder ? bench::ladder(ac, unknowns) : bench::circuit(ac, unknowns);
    QTemporaryDir home;
    gui::MainWindow w(home.path());
    w.resize(1100, 800);
    w.show();
    QString error;
    if (!w.openFile(c.scheme, &error)) state.SkipWithError(qPrintable(error));
    QTextEdit* editor = w.findChild<QTextEdit*>();
    struct FirstPaint : QObject {
        QElapsedTimer clock;
        qint64 at = -1;
        bool armed = false;
        bool eventFilter(QObject*, QEvent* e) override {
            if (armed && at < 0 && e->type() == QEvent::Paint) at = clock.nsecsElapsed();
            return false;
        }
    } paint;
    editor->viewport()->installEventFilter(&paint);
    double whole = 0;
    int n = 0;
    for (auto _ : state) {
        if (n++ % 3 == 0) editor->document()->clear();
        w.setCurrentPage(Page::Scheme);
        QApplication::processEvents();
        paint.at = -1;
        paint.armed = false;
        onModal([&](QDialog* d) {
            auto* ok = d->findChild<QPushButton*>("ok");
            if (!ok) return d->reject();
            paint.clock.start();
            paint.armed = true;
            ok->click();
        });
        w.menuAction("Solve by node voltage method")->trigger();
        while (paint.at < 0 && paint.armed)
            QApplication::processEvents();
        if (!paint.armed) {
            state.SkipWithError("no dialog");
            break;
        }
        state.SetIterationTime(paint.at / 1e9);
        while (w.workbench().solutionPageInSteps())
            QApplication::processEvents();
        whole = std::max(whole, paint.clock.nsecsElapsed() / 1e6);
    }
    state.counters["longest_whole_ms"] = whole;
    w.workbench().setModified(false);
    editor->document()->setModified(false);
}
BENCHMARK_CAPTURE(BM_WindowOkToFirstPaint, dc44ladder, true, false, 44)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK_CAPTURE(BM_WindowOkToFirstPaint, ac101ladder, true, true, 101)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    // As the window's process keeps its memory.
    qv::keepFreedMemoryForReuse();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerSchemeClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
