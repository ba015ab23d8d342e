// Document speed: adding 10,000 objects, finding the object under a point among them, and
// painting them into a full-HD back buffer.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "app/workbench.h"
#include "components/branch.h"
#include "graphics/primitives.h"

using namespace qv;

namespace {

constexpr int kObjects = 10000;

/// A grid of nodes with short lines between them: the mix a large scheme has.
void fill(NTBEFizDisp& doc) {
    for (int i = 0; i < kObjects; ++i) {
        int32_t x = (i % 100) * 19, y = (i / 100) * 10;
        if (i % 2 == 0) {
            auto* n = new NTbeNode();
            n->owner = &doc;
            n->x = x;
            n->y = y;
            doc.add(n);
        } else {
            auto* l = new NGrLine();
            l->owner = &doc;
            l->setPoints({x, y}, {x + 8, y + 4});
            doc.add(l);
        }
    }
}

void BM_Add10000(benchmark::State& state) {
    for (auto _ : state) {
        NTBEFizDisp doc;
        fill(doc);
        benchmark::DoNotOptimize(doc.objectCount());
    }
}
BENCHMARK(BM_Add10000)->Unit(benchmark::kMillisecond);

void BM_FindAtMiss(benchmark::State& state) {
    NTBEFizDisp doc;
    fill(doc);
    NFizObj* found = nullptr;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.findAt(5000, 5000, found)); // nothing there: a full scan
}
BENCHMARK(BM_FindAtMiss)->Unit(benchmark::kMicrosecond);

void BM_Paint1920x1080(benchmark::State& state) {
    Workbench wb;
    fill(wb.scheme());
    QImage buffer(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&buffer);
        wb.paintScheme(painter, buffer.size());
    }
}
BENCHMARK(BM_Paint1920x1080)->Unit(benchmark::kMillisecond);

} // namespace
