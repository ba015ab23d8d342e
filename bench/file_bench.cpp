// Scheme files: saving and loading a scheme of about 10,000 objects (nodes, branches and
// resistors with their labels), through real files.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "app/workbench.h"
#include "components/branch.h"
#include "components/components.h"
#include "components/templates.h"
#include "io/documentfile.h"
#include "platform/binarystream.h"

using namespace qv;

namespace {

/// Rows of nodes joined by branches, a resistor on each branch: six objects a unit.
void build(Workbench& wb, int units) {
    NTBEFizDisp& doc = wb.scheme();
    FizDisp tmpl;
    buildTemplate("NUniRes", tmpl);
    const int perRow = 50;
    std::vector<NTbeNode*> nodes;
    for (int i = 0; i < units + units / perRow + 1; ++i) {
        auto* n = new NTbeNode();
        n->owner = &doc;
        int state = 0;
        n->placePoint(state, (i % (perRow + 1)) * 100, (i / (perRow + 1)) * 100);
        nodes.push_back(n);
    }
    int made = 0;
    for (size_t i = 0; i + 1 < nodes.size() && made < units; ++i) {
        if (nodes[i]->y != nodes[i + 1]->y) continue;
        auto* b = new NTbeLine();
        b->owner = &doc;
        int state = 0;
        b->placePoint(state, nodes[i]->x, nodes[i]->y);
        b->placePoint(state, nodes[i + 1]->x, nodes[i + 1]->y);
        auto* r = new NUniRes();
        r->owner = &doc;
        r->createFromTemplate(tmpl);
        state = 0;
        r->placePoint(state, nodes[i]->x + 50, nodes[i]->y);
        ++made;
    }
}

struct Fixture {
    QTemporaryDir dir;
    Workbench wb;
    QString path;
    Fixture() : path(dir.filePath("big.tbe")) {
        build(wb, 1650);
        saveDocumentFile(wb.scheme(), path);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SaveScheme(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(bool(saveDocumentFile(f.wb.scheme(), f.path)));
    state.counters["objects"] = f.wb.scheme().objectCount();
}
BENCHMARK(BM_SaveScheme)->Unit(benchmark::kMillisecond);

void BM_SaveSchemeToMemory(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        BinaryWriter w;
        f.wb.scheme().saveToStream(w);
        benchmark::DoNotOptimize(w.size());
    }
}
BENCHMARK(BM_SaveSchemeToMemory)->Unit(benchmark::kMillisecond);

void BM_LoadScheme(benchmark::State& state) {
    Fixture& f = fixture();
    Workbench other;
    for (auto _ : state)
        benchmark::DoNotOptimize(bool(loadDocumentFile(other.scheme(), f.path)));
    state.counters["objects"] = other.scheme().objectCount();
}
BENCHMARK(BM_LoadScheme)->Unit(benchmark::kMillisecond);

} // namespace
