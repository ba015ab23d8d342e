// Editing speed: one undoable action (placing a node, which records the scheme for the
// history) and one undo, on schemes of growing size.
#include <benchmark/benchmark.h>

#include "app/workbench.h"

using namespace qv;

namespace {

/// A ladder of `rungs` pairs of nodes joined by branches, drawn through the editor.
void draw(Workbench& wb, int rungs) {
    Canvas none;
    Editor& ed = wb.schemeEditor();
    for (int i = 0; i < rungs; ++i) {
        int32_t y = i * 40;
        for (int32_t x : {0, 200}) {
            ed.startTool(Tool::Node);
            ed.mouseDown({x, y}, MouseButton::Left, &none);
        }
        ed.startTool(Tool::Branch);
        ed.mouseDown({0, y}, MouseButton::Left, &none);
        ed.mouseDown({200, y}, MouseButton::Left, &none);
    }
}

void BM_PlaceNodeAndRecord(benchmark::State& state) {
    Workbench wb;
    draw(wb, int(state.range(0)));
    Canvas none;
    Editor& ed = wb.schemeEditor();
    for (auto _ : state) {
        ed.startTool(Tool::Node);
        ed.mouseDown({-400, -400}, MouseButton::Left, &none);
        state.PauseTiming();
        wb.undo();
        state.ResumeTiming();
    }
    state.counters["objects"] = double(wb.scheme().objectCount());
}
BENCHMARK(BM_PlaceNodeAndRecord)->Arg(50)->Arg(500)->Arg(1600)->Unit(benchmark::kMillisecond);

void BM_Undo(benchmark::State& state) {
    Workbench wb;
    draw(wb, int(state.range(0)));
    for (auto _ : state) {
        wb.undo();
        state.PauseTiming();
        wb.redo();
        state.ResumeTiming();
    }
    state.counters["objects"] = double(wb.scheme().objectCount());
}
BENCHMARK(BM_Undo)->Arg(50)->Arg(500)->Arg(1600)->Unit(benchmark::kMillisecond);

} // namespace
