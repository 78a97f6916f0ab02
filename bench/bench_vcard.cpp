// vCard export and import on archives of 10,000 and 100,000 cards: the whole operation as the command line runs it
// (archive read, encoding, temporary file, flush to disk, rename), and the codec alone.
#include "archive/ArchiveFile.h"
#include "support/SchedeDiProva.h"
#include "vcard/CodecVCard.h"
#include "vcard/ScambioVCard.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace {

// One folder per size with an archive of typical cards and the same cards as a vCard file.
struct Cartella
{
    QTemporaryDir dir;
    QString vcf;
};

Cartella& cartellaCon(int schede)
{
    static std::map<int, std::unique_ptr<Cartella>> cartelle;
    auto& c = cartelle[schede];
    if (!c) {
        c = std::make_unique<Cartella>();
        ArchiveFile archivio(ArchiveFile::archivePath(c->dir.path()));
        archivio.open(ArchiveFile::Access::OpenOrCreate);
        QByteArray testo;
        for (int n = 0; n < schede; ++n) {
            archivio.write(SchedeDiProva::schedaTipica(n));
            scriviVCard(SchedeDiProva::testiTipici(n), testo);
        }
        if (!archivio.close())
            std::abort();
        c->vcf = c->dir.path() + QStringLiteral("/schede.vcf");
        if (!SchedeDiProva::scrivi(c->vcf, testo))
            std::abort();
    }
    return *c;
}

void BM_EsportaVCard(benchmark::State& state)
{
    Cartella& c = cartellaCon(int(state.range(0)));
    const QString uscita = c.dir.path() + QStringLiteral("/uscita.vcf");
    for (auto _ : state) {
        const EsitoScambio esito = esportaVCard(c.dir.path(), uscita);
        if (!esito.riuscito() || esito.schede != state.range(0))
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Into an empty folder each time: the file read whole, decoded, and written as a new archive. The second
// argument: 1 imports into a synchronised folder, where each card's identity goes into the journal.
void BM_ImportaVCard(benchmark::State& state)
{
    Cartella& c = cartellaCon(int(state.range(0)));
    QTemporaryDir destinazione;
    const QString archivio = ArchiveFile::archivePath(destinazione.path());
    if (state.range(1) && !SchedeDiProva::scrivi(destinazione.filePath(QStringLiteral("Contatti.sync")), "{}"))
        std::abort();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(archivio);
        QFile::remove(destinazione.filePath(QStringLiteral("Contatti.giornale")));
        state.ResumeTiming();
        const EsitoScambio esito = importaVCard(destinazione.path(), c.vcf);
        if (!esito.riuscito() || esito.schede != state.range(0))
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Into an archive that already holds as many cards: the copy of the old records adds to the work.
void BM_ImportaVCardInArchivioPieno(benchmark::State& state)
{
    Cartella& c = cartellaCon(int(state.range(0)));
    QTemporaryDir destinazione;
    const QString archivio = ArchiveFile::archivePath(destinazione.path());
    const QByteArray pieno = SchedeDiProva::leggi(ArchiveFile::archivePath(c.dir.path()));
    for (auto _ : state) {
        state.PauseTiming();
        SchedeDiProva::scrivi(archivio, pieno);
        state.ResumeTiming();
        const EsitoScambio esito = importaVCard(destinazione.path(), c.vcf);
        if (!esito.riuscito() || esito.schede != state.range(0))
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LeggiVCard(benchmark::State& state)
{
    const QByteArray testo = SchedeDiProva::leggi(cartellaCon(int(state.range(0))).vcf);
    for (auto _ : state) {
        const LetturaVCard letta = leggiVCard(testo);
        benchmark::DoNotOptimize(letta.schede.size());
    }
    state.SetBytesProcessed(state.iterations() * testo.size());
}

// What the import runs: the records straight from the bytes, no QString on the way.
void BM_LeggiRecordVCard(benchmark::State& state)
{
    const QByteArray testo = SchedeDiProva::leggi(cartellaCon(int(state.range(0))).vcf);
    for (auto _ : state) {
        const RecordVCard letta = leggiRecordVCard(testo);
        benchmark::DoNotOptimize(letta.slot.size());
    }
    state.SetBytesProcessed(state.iterations() * testo.size());
}

void BM_ScriviVCard(benchmark::State& state)
{
    QList<TestiScheda> schede;
    for (int n = 0; n < state.range(0); ++n)
        schede.append(SchedeDiProva::testiTipici(n));
    for (auto _ : state) {
        QByteArray out;
        for (const TestiScheda& t : schede)
            scriviVCard(t, out);
        benchmark::DoNotOptimize(out.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_EsportaVCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportaVCard)
    ->ArgNames({"schede", "giornale"})
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ImportaVCardInArchivioPieno)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LeggiVCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LeggiRecordVCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScriviVCard)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
