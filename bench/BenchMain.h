#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <benchmark/benchmark.h>

// The main() of a benchmark program: the Qt application its code needs (on the offscreen platform unless one
// was chosen, so that `make bench` runs without a display), then Google Benchmark.
template <class Applicazione> int eseguiBenchmark(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Applicazione app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
