// Start-up to the main menu on screen: the ten windows created in order, the menu shown and painted once.
// Runs on the offscreen platform unless a display is given.
#include "BenchMain.h"
#include "app/Forms.h"
#include "app/TfrmCarnetto.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_AvvioFinoAlMenu(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        Forms forms(dir.path());
        frmCarnetto()->show();
        frmCarnetto()->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        frmCarnetto()->hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AvvioFinoAlMenu)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return eseguiBenchmark<QApplication>(argc, argv);
}
