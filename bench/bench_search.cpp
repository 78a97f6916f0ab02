// The search window on an archive of 100,000 cards: the list filled (the archive read once, the lines built
// and sorted, the model reset and the view laid out), and one click of "Trova" that walks every line.
#include "BenchMain.h"
#include "archive/ArchiveFile.h"
#include "search/ListaContatti.h"
#include "search/RicercaLista.h"
#include "search/TfrmTrovaContatti.h"
#include "search/VistaRighe.h"
#include "support/SchedeDiProva.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void scriviArchivio(const QString& appDir, int schede)
{
    if (!SchedeDiProva::scriviArchivioTipico(appDir, schede))
        std::abort();
}

void BM_RiempiLista(benchmark::State& state)
{
    QTemporaryDir dir;
    scriviArchivio(dir.path(), int(state.range(0)));
    TfrmTrovaContatti finestra(dir.path());
    finestra.show();
    QApplication::processEvents();
    for (auto _ : state) {
        if (!finestra.riempiLista())
            std::abort();
        finestra.FormShow();
        finestra.lstRecords->doItemsLayout();
        finestra.lstRecords->viewport()->repaint();
    }
    state.counters["lines"] = finestra.lista().count();
}
BENCHMARK(BM_RiempiLista)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The list alone, without the window: read, build, sort.
void BM_LeggiLista(benchmark::State& state)
{
    QTemporaryDir dir;
    scriviArchivio(dir.path(), int(state.range(0)));
    for (auto _ : state) {
        ListaContatti lista;
        if (!lista.leggi(dir.path()))
            std::abort();
        benchmark::DoNotOptimize(lista.count());
    }
}
BENCHMARK(BM_LeggiLista)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The key is in no line, so the step tests every one of them before it gives up.
void BM_PassoRicerca(benchmark::State& state)
{
    QTemporaryDir dir;
    scriviArchivio(dir.path(), int(state.range(0)));
    ListaContatti lista;
    if (!lista.leggi(dir.path()))
        std::abort();
    const QString chiave = chiaveRicerca(u"Cognomè 1234567");
    for (auto _ : state)
        benchmark::DoNotOptimize(passoRicerca(lista, chiave, chiave, lista.count() / 2));
}
BENCHMARK(BM_PassoRicerca)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// A key common to every line, repeated: the step goes to the next line, the usual case.
void BM_PassoRicercaSuccessiva(benchmark::State& state)
{
    QTemporaryDir dir;
    scriviArchivio(dir.path(), int(state.range(0)));
    ListaContatti lista;
    if (!lista.leggi(dir.path()))
        std::abort();
    const QString chiave = chiaveRicerca(u"Tel. 06");
    int riga = 0;
    for (auto _ : state)
        riga = passoRicerca(lista, chiave, chiave, riga).riga;
    benchmark::DoNotOptimize(riga);
}
BENCHMARK(BM_PassoRicercaSuccessiva)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// The whole click as the window runs it: key box read, step, line selected and scrolled to.
void BM_ClicTrova(benchmark::State& state)
{
    QTemporaryDir dir;
    scriviArchivio(dir.path(), int(state.range(0)));
    TfrmTrovaContatti finestra(dir.path());
    if (!finestra.riempiLista())
        std::abort();
    finestra.show();
    QApplication::processEvents();
    finestra.txtTrova->setText(QStringLiteral("COGNOMÈ 99999"));
    for (auto _ : state)
        finestra.cmdTrovaClick();
}
BENCHMARK(BM_ClicTrova)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return eseguiBenchmark<QApplication>(argc, argv);
}
