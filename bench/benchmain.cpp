// Shared main of the benchmarks: the offscreen QGuiApplication the core needs, then the runs.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "io/classes.h"
#include "platform/memory.h"

int main(int argc, char** argv) {
    // As the window's process keeps its memory.
    qv::keepFreedMemoryForReuse();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qv::registerSchemeClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
