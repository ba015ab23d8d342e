// Shared main of the benchmarks: the offscreen QGuiApplication the core needs, then the runs.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "io/classes.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qv::registerSchemeClasses();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
