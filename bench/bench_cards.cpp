// The card window's operations on archives of 10,000 and 100,000 cards: a browse step reads one record, a save
// writes one (and, in a synchronised folder, appends its line to the journal), and a deletion rewrites the file through
// Contatti.tmp (the kernel copying the bytes, or the program's buffer), next to `cp` of the same file (with and without
// forcing the copy to the disk, since the deletion does force its temporary file).
#include "archive/ArchiveFile.h"
#include "archive/TestiScheda.h"
#include "cards/ArchivioSchede.h"
#include "support/SchedeDiProva.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void scriviArchivio(const QString& path, int schede)
{
    ArchiveFile archivio(path);
    if (!archivio.open(ArchiveFile::Access::OpenOrCreate))
        std::abort();
    for (int n = 0; n < schede; ++n)
        archivio.write(SchedeDiProva::schedaTipica(n));
    if (!archivio.close())
        std::abort();
}

void BM_ScorriSuccessiva(benchmark::State& state)
{
    QTemporaryDir dir;
    const int schede = int(state.range(0));
    scriviArchivio(ArchiveFile::archivePath(dir.path()), schede);
    const QString posizione = QString::number(schede / 2);
    ArchiveFile::resetCounters();
    for (auto _ : state)
        benchmark::DoNotOptimize(scorri(dir.path(), Scorrimento::Successiva, posizione));
    state.counters["records_read_per_step"] =
        benchmark::Counter(ArchiveFile::counters().recordsRead, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ScorriSuccessiva)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// The second argument: 1 saves in a synchronised folder, where each save journals the identities of the card
// before and after.
void BM_SalvaModifica(benchmark::State& state)
{
    QTemporaryDir dir;
    const int schede = int(state.range(0));
    scriviArchivio(ArchiveFile::archivePath(dir.path()), schede);
    if (state.range(1) && !SchedeDiProva::scrivi(dir.filePath(QStringLiteral("Contatti.sync")), "{}"))
        std::abort();
    const TestiScheda testi = SchedeDiProva::testiTipici(7);
    const QString posizione = QString::number(schede / 2);
    TSchedaContatto caricata = SchedeDiProva::schedaTipica(schede / 2 - 1);
    ArchiveFile::resetCounters();
    for (auto _ : state) {
        const EsitoScrittura esito = salva(dir.path(), testi, posizione, caricata);
        if (esito.tipo != EsitoScrittura::Modificata)
            state.SkipWithError("save failed");
        caricata = esito.scheda;
    }
    state.counters["records_written_per_save"] =
        benchmark::Counter(ArchiveFile::counters().recordsWritten, benchmark::Counter::kAvgIterations);
    state.counters["records_read_per_save"] =
        benchmark::Counter(ArchiveFile::counters().recordsRead, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SalvaModifica)
    ->ArgNames({"schede", "giornale"})
    ->ArgsProduct({{10'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// Each iteration starts from the same archive of N cards, copied outside the timed part.
struct CartellaEliminazione
{
    explicit CartellaEliminazione(int schede) { scriviArchivio(originale(), schede); }
    QString originale() const { return dir.filePath(QStringLiteral("originale.pro")); }
    void ripristina(const QString& cartella) const
    {
        QFile::remove(ArchiveFile::archivePath(cartella));
        QFile::remove(ArchiveFile::tempPath(cartella));
        if (!QFile::copy(originale(), ArchiveFile::archivePath(cartella)))
            std::abort();
    }
    QTemporaryDir dir;
};

// The second argument: 1 lets the kernel copy the two ranges around the deleted card (copy_file_range), 0 sends
// every record through the program's buffer, as a refusing kernel would.
void BM_Elimina(benchmark::State& state)
{
    const CartellaEliminazione base(int(state.range(0)));
    QTemporaryDir lavoro;
    ArchiveFile::setKernelCopy(state.range(1) ? ArchiveFile::systemKernelCopy() : nullptr);
    ArchiveFile::resetCounters();
    for (auto _ : state) {
        state.PauseTiming();
        base.ripristina(lavoro.path());
        state.ResumeTiming();
        if (elimina(lavoro.path(), QStringLiteral("2"), SchedeDiProva::schedaTipica(1)).tipo !=
            EsitoScrittura::Eliminata)
            state.SkipWithError("deletion failed");
    }
    ArchiveFile::setKernelCopy(ArchiveFile::systemKernelCopy());
    state.counters["records_written_per_deletion"] =
        benchmark::Counter(ArchiveFile::counters().recordsWritten, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Elimina)
    ->ArgNames({"schede", "kernel"})
    ->ArgsProduct({{10'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void copia(benchmark::State& state, const char* comando)
{
    const CartellaEliminazione base(int(state.range(0)));
    QTemporaryDir lavoro;
    const QByteArray riga = QByteArray(comando)
                                .replace("SRC", QFile::encodeName(base.originale()))
                                .replace("DST", QFile::encodeName(lavoro.filePath(QStringLiteral("copia"))));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(lavoro.filePath(QStringLiteral("copia")));
        state.ResumeTiming();
        if (std::system(riga.constData()) != 0)
            state.SkipWithError("cp failed");
    }
}

void BM_Cp(benchmark::State& state)
{
    copia(state, "cp SRC DST");
}
BENCHMARK(BM_Cp)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpSync(benchmark::State& state)
{
    copia(state, "cp SRC DST && sync DST");
}
BENCHMARK(BM_CpSync)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
