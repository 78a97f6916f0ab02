// What the program costs while nobody touches it: the process's CPU time over a few seconds of event loop with
// the real windows, as a share of one core. The main menu alone plays its animated strip (and the credits
// window, hidden, keeps its flags moving); with the credits window open its flags are painted as well.
// Offscreen unless a platform is chosen; under Xvfb (QT_QPA_PLATFORM=xcb) the copies to the X server count too.
#include "BenchMain.h"
#include "app/Forms.h"
#include "app/TfrmCarnetto.h"
#include "app/TfrmSplash.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

double tempoCpu()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void attendi(int millisecondi)
{
    QEventLoop ciclo;
    QTimer::singleShot(millisecondi, Qt::PreciseTimer, &ciclo, &QEventLoop::quit);
    ciclo.exec();
}

// Runs the event loop for the given seconds, after one second to settle, and reports the CPU share.
void misura(benchmark::State& state, int secondi)
{
    attendi(1000);
    for (auto _ : state) {
        QElapsedTimer orologio;
        orologio.start();
        const double prima = tempoCpu();
        attendi(secondi * 1000);
        const double cpu = tempoCpu() - prima;
        const double trascorsi = double(orologio.nsecsElapsed()) / 1e9;
        state.SetIterationTime(trascorsi);
        state.counters["cpu_percent_of_a_core"] = 100 * cpu / trascorsi;
    }
}

void BM_MenuInattivo(benchmark::State& state)
{
    QTemporaryDir dir;
    Forms forms(dir.path());
    frmCarnetto()->show();
    misura(state, 5);
}
// Three runs each, and their median: a share this small moves with whatever else the machine is doing.
BENCHMARK(BM_MenuInattivo)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly()
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_CreditiAperti(benchmark::State& state)
{
    QTemporaryDir dir;
    Forms forms(dir.path());
    frmCarnetto()->show();
    // As the Copyright icon opens it, but without waiting in a modal loop of its own.
    frmSplash()->show();
    // The flags' sizes, and so the work of a step, follow their depths: the slowest flag goes from near to
    // far and back in about 31 s, so anything shorter measures wherever the random start put them.
    misura(state, 32);
}
BENCHMARK(BM_CreditiAperti)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly()
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    return eseguiBenchmark<QApplication>(argc, argv);
}
