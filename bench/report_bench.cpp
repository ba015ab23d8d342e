// The report's speed: a solution's verbs written into a report document and its writers, the
// same verbs rendered into the "Solution" page, and the page written (and read) as rich text.
#include <benchmark/benchmark.h>

#include <QTextCursor>
#include <QTextDocument>

#include <memory>
#include <random>

#include "platform/numfmt.h"
#include "report/documenttarget.h"
#include "report/recordingtarget.h"
#include "report/reportdocument.h"
#include "report/reportdocumenttarget.h"
#include "report/reportfile.h"
#include "report/rtf.h"
#include "report/writers.h"

using namespace qv;

namespace {

constexpr size_t kVerbs = 100000;

/// The verbs of a long solution: initial data, impedance lines, a complex system, results.
const std::vector<ReportCall>& solutionVerbs() {
    static const std::vector<ReportCall> calls = [] {
        RecordingReportTarget t;
        t.font("Times New Roman Cyr");
        t.fontSize(14);
        t.insert("Решение методом узловых потенциалов\r");
        const ComplexValue a[] = {{3, 4}, {0, -5}, {-1, 0},       {2.5L, 0}, {1, 0},
                                  {0, 1}, {-7, 2}, {0.5L, -0.5L}, {1, 1}};
        const ComplexValue b[] = {{1, -1}, {0, 0}, {12.5L, 3}};
        const std::string indexes[] = {"1", "2", "3"};
        for (int i = 0; t.calls.size() < kVerbs; ++i) {
            const std::string n = std::to_string(i % 50);
            writeIndexed(t, "R", n);
            t.insert("=10Ohm; ");
            writeIndexedValue(t, "I", n, "1.235\r");
            writeIndexed(t, "Z", n);
            t.insert("=");
            writeIndexed(t, "R", n);
            t.insert("+j·");
            t.font("symbol");
            t.fontSize(18);
            t.insert("w");
            t.fontSize(14);
            t.font("Times New Roman");
            t.insert("·");
            writeIndexed(t, "L", n);
            t.insert("+");
            t.editClear(-1);
            t.insert("=10+j·314.2·0.1·");
            writePowerOfTen(t, -6);
            t.insert("\r");
            if (i % 10 == 0) writeComplexSystem(t, b, a, 3, indexes, "j", "Symbol", 4);
            writeGreekComplexValue(t, "j", n, {0.5L, -0.25L}, 4);
            t.insert("\r");
        }
        t.calls.resize(kVerbs);
        return t.calls;
    }();
    return calls;
}

/// The report document of a long solution.
const ReportDocument& solutionReport() {
    static const ReportDocument report = [] {
        ReportDocument d;
        ReportDocumentTarget t(d);
        replay(solutionVerbs(), t);
        return d;
    }();
    return report;
}

// 100,000 verbs into a report document.
void BM_ReportDocumentVerbs(benchmark::State& state) {
    const auto& calls = solutionVerbs();
    for (auto _ : state) {
        ReportDocument d;
        ReportDocumentTarget t(d);
        replay(calls, t);
        benchmark::DoNotOptimize(d.text().size());
    }
    state.counters["verbs"] = double(calls.size());
}
BENCHMARK(BM_ReportDocumentVerbs)->Unit(benchmark::kMillisecond)->Repetitions(7)->DisplayAggregatesOnly(true);

// Its rich text, HTML and plain text.
void BM_ReportDocumentWriters(benchmark::State& state, QByteArray (*write)(const ReportDocument&)) {
    const ReportDocument& d = solutionReport();
    size_t bytes = 0;
    for (auto _ : state) {
        const QByteArray out = write(d);
        bytes = size_t(out.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK_CAPTURE(BM_ReportDocumentWriters, rtf, [](const ReportDocument& d) { return writeRtf(d); })
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_ReportDocumentWriters, html, writeHtml)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_ReportDocumentWriters, text, writePlainText)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);

// A rich-text document built from it in one pass (ODT, PDF), and the same put on a page with
// text at its caret, in one undo step.
void BM_ReportDocumentBuilt(benchmark::State& state) {
    const ReportDocument& d = solutionReport();
    for (auto _ : state) {
        QTextDocument built;
        d.fill(built);
        benchmark::DoNotOptimize(built.characterCount());
    }
}
BENCHMARK(BM_ReportDocumentBuilt)->Unit(benchmark::kMillisecond)->Repetitions(7)->DisplayAggregatesOnly(true);

void BM_ReportDocumentOnThePage(benchmark::State& state) {
    const ReportDocument& d = solutionReport();
    for (auto _ : state) {
        state.PauseTiming();
        auto page = std::make_unique<QTextDocument>();
        QTextCursor caret(page.get());
        caret.insertText(QStringLiteral("An earlier solution\n"));
        state.ResumeTiming();
        caret.beginEditBlock();
        d.insertInto(caret);
        caret.endEditBlock();
        state.PauseTiming();
        page.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReportDocumentOnThePage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);

/// The page after a long solution.
std::unique_ptr<QTextDocument> solutionPage() {
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor caret(doc.get());
    DocumentReportTarget target(caret);
    ReportUpdate update(target);
    replay(solutionVerbs(), target);
    return doc;
}

// 100,000 verbs into the own target, between BeginUpdate and EndUpdate.
void BM_OwnTargetVerbs(benchmark::State& state) {
    const auto& calls = solutionVerbs();
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<QTextDocument>();
        QTextCursor caret(doc.get());
        state.ResumeTiming();
        {
            DocumentReportTarget target(caret);
            ReportUpdate update(target);
            replay(calls, target);
        }
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["verbs"] = double(calls.size());
}
BENCHMARK(BM_OwnTargetVerbs)->Unit(benchmark::kMillisecond)->Repetitions(7)->DisplayAggregatesOnly(true);

// The same, with the page laid out once afterwards as a view would (for scale only).
void BM_OwnTargetVerbsAndLayout(benchmark::State& state) {
    for (auto _ : state) {
        auto doc = solutionPage();
        doc->setTextWidth(800);
        benchmark::DoNotOptimize(doc->size());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OwnTargetVerbsAndLayout)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->DisplayAggregatesOnly(true);

// The rich text of that page.
void BM_WriteRtf(benchmark::State& state) {
    const auto doc = solutionPage();
    size_t bytes = 0;
    for (auto _ : state) {
        const QByteArray rtf = writeRtf(*doc);
        bytes = size_t(rtf.size());
        benchmark::DoNotOptimize(rtf.data());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond)->Repetitions(7)->DisplayAggregatesOnly(true);

// Reading it back (opening a workshop file; for scale only).
void BM_ReadRtf(benchmark::State& state) {
    const QByteArray rtf = writeRtf(*solutionPage());
    for (auto _ : state) {
        QTextDocument doc;
        readRtf(rtf, doc);
        benchmark::DoNotOptimize(doc.characterCount());
    }
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond)->Repetitions(7)->DisplayAggregatesOnly(true);

// The numbers of a report: a thousand values from 1e-6 to 1e6, general format, 6 digits.
void BM_GeneralNumbers(benchmark::State& state) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> power(-6, 6);
    std::vector<Extended> values(1000);
    for (Extended& v : values)
        v = std::pow(10.0L, Extended(power(random)));
    for (auto _ : state)
        for (Extended v : values)
            benchmark::DoNotOptimize(numfmt::general(v, 6).size());
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(values.size()));
}
BENCHMARK(BM_GeneralNumbers)->Unit(benchmark::kMicrosecond)->Repetitions(7)->DisplayAggregatesOnly(true);

} // namespace
