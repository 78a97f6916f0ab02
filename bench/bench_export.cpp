// The export window on archives of 10,000 and 100,000 cards: the view "Tutti" filled and shown, the memory the
// grid holds next to the archive's size, and the CSV text of the grid written to a file next to one buffered
// write of the same bytes.
#include "BenchMain.h"
#include "archive/ArchiveFile.h"
#include "export/EsportazioneCsv.h"
#include "export/GrigliaEsportazione.h"
#include "export/TfrmExpContatti.h"
#include "support/SchedeDiProva.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <memory>

namespace {

void scriviArchivio(const QString& appDir, int schede)
{
    if (!SchedeDiProva::scriviArchivioTipico(appDir, schede))
        std::abort();
}

struct Cartella
{
    explicit Cartella(int schede) { scriviArchivio(dir.path(), schede); }
    qint64 dimensione() const { return QFileInfo(ArchiveFile::archivePath(dir.path())).size(); }
    QTemporaryDir dir;
};

size_t heapInUso()
{
    return mallinfo2().uordblks;
}

// Opening the window: "Tutti" filled from the archive and the table painted.
void BM_MostraTutti(benchmark::State& state)
{
    const Cartella cartella(int(state.range(0)));
    TfrmExpContatti finestra(cartella.dir.path());
    for (auto _ : state) {
        finestra.show();
        finestra.grdRecords->viewport()->repaint();
        state.PauseTiming();
        finestra.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(finestra.griglia().righe());
}
BENCHMARK(BM_MostraTutti)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The heap the filled grid holds, as a share of the archive file (the bar is 1.5).
void BM_MemoriaGriglia(benchmark::State& state)
{
    const Cartella cartella(int(state.range(0)));
    double rapporto = 0;
    for (auto _ : state) {
        const size_t prima = heapInUso();
        auto griglia = std::make_unique<GrigliaEsportazione>();
        griglia->riempi(cartella.dir.path(), GrigliaEsportazione::Vista::Tutti);
        rapporto = double(heapInUso() - prima) / double(cartella.dimensione());
        benchmark::DoNotOptimize(griglia.get());
    }
    state.counters["grid_bytes_per_archive_byte"] = rapporto;
}
BENCHMARK(BM_MemoriaGriglia)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

struct GrigliaPiena
{
    explicit GrigliaPiena(int schede) : cartella(schede)
    {
        griglia.riempi(cartella.dir.path(), GrigliaEsportazione::Vista::Tutti);
        uscita = cartella.dir.filePath(QStringLiteral("uscita.csv"));
    }
    Cartella cartella;
    GrigliaEsportazione griglia;
    QString uscita;
};

// The CSV text built and written to a file (the bar: within 2 x BM_ScritturaUnica).
void BM_ScriviCsv(benchmark::State& state)
{
    const GrigliaPiena g(int(state.range(0)));
    for (auto _ : state) {
        QFile file(g.uscita);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !EsportazioneCsv::scrivi(g.griglia, file))
            std::abort();
        file.close();
    }
    state.counters["bytes"] = double(QFileInfo(g.uscita).size());
}
BENCHMARK(BM_ScriviCsv)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The same bytes, ready in memory, in one buffered write.
void BM_ScritturaUnica(benchmark::State& state)
{
    const GrigliaPiena g(int(state.range(0)));
    const QByteArray byte = EsportazioneCsv::testo(g.griglia);
    for (auto _ : state) {
        QFile file(g.uscita);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(byte) != byte.size())
            std::abort();
        file.close();
    }
    state.counters["bytes"] = double(byte.size());
}
BENCHMARK(BM_ScritturaUnica)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The whole file as the export writes it, through a temporary file and a rename.
void BM_SalvaCsv(benchmark::State& state)
{
    const GrigliaPiena g(int(state.range(0)));
    for (auto _ : state) {
        if (!EsportazioneCsv::salva(g.griglia, g.uscita))
            std::abort();
    }
}
BENCHMARK(BM_SalvaCsv)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return eseguiBenchmark<QApplication>(argc, argv);
}
