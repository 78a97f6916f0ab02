// Archive access on 10,000 and 100,000 cards: one card at the end (browsing), the whole file (search list and
// export views), and the deletion's record-by-record copy next to a plain `cp` of the same file.
#include "BenchMain.h"
#include "archive/ArchiveFile.h"
#include "archive/TestiScheda.h"
#include "support/SchedeDiProva.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace {

// One archive per size, made once and shared by every benchmark of that size.
QString cartellaCon(int schede)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> cartelle;
    auto& dir = cartelle[schede];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        ArchiveFile archivio(ArchiveFile::archivePath(dir->path()));
        archivio.open(ArchiveFile::Access::OpenOrCreate);
        for (int n = 0; n < schede; ++n)
            archivio.write(SchedeDiProva::schedaTipica(n));
        if (!archivio.close())
            std::abort();
    }
    return dir->path();
}

void BM_ApriELeggiUltima(benchmark::State& state)
{
    const QString archivio = ArchiveFile::archivePath(cartellaCon(int(state.range(0))));
    TSchedaContatto scheda;
    for (auto _ : state) {
        ArchiveFile file(archivio);
        if (!file.open(ArchiveFile::Access::OpenOrCreate) || !file.seek(file.recordCount() - 1) || !file.read(scheda))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(file.currentIndex());
        file.close();
    }
}

void BM_ScorriTutte(benchmark::State& state)
{
    const QString archivio = ArchiveFile::archivePath(cartellaCon(int(state.range(0))));
    TSchedaContatto scheda;
    for (auto _ : state) {
        ArchiveFile file(archivio);
        file.open(ArchiveFile::Access::OpenOrCreate);
        const qint64 n = file.recordCount();
        qsizetype caratteri = 0;
        for (qint64 i = 0; i < n; ++i) {
            if (!file.seek(i) || !file.read(scheda)) {
                state.SkipWithError("read failed");
                break;
            }
            caratteri += testoCampo(scheda, Cognome).size() + testoCampo(scheda, Nome).size();
        }
        benchmark::DoNotOptimize(caratteri);
        file.close();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The deletion's copy: every record but the middle one, seek and read each, append to Contatti.tmp.
void copiaTranneUna(benchmark::State& state, bool conSync)
{
    const QString dir = cartellaCon(int(state.range(0)));
    const QString archivio = ArchiveFile::archivePath(dir);
    const QString temp = ArchiveFile::tempPath(dir);
    TSchedaContatto scheda;
    for (auto _ : state) {
        // A deletion normally finds no Contatti.tmp; dropping the last copy's pages is not part of it.
        state.PauseTiming();
        QFile::remove(temp);
        state.ResumeTiming();
        ArchiveFile sorgente(archivio);
        ArchiveFile copia(temp);
        if (!sorgente.open(ArchiveFile::Access::ExistingOnly) || !copia.create()) {
            state.SkipWithError("open failed");
            break;
        }
        const qint64 n = sorgente.recordCount();
        for (qint64 i = 0; i < n; ++i) {
            if (!sorgente.seek(i) || !sorgente.read(scheda) || (i != n / 2 && !copia.write(scheda))) {
                state.SkipWithError("copy failed");
                break;
            }
        }
        sorgente.close();
        if ((conSync && !copia.sync()) || !copia.close())
            state.SkipWithError("close failed");
    }
    QFile::remove(temp);
    state.SetBytesProcessed(state.iterations() * state.range(0) * ArchiveFile::kRecordSize);
}

void BM_CopiaTranneUna(benchmark::State& state)
{
    copiaTranneUna(state, false);
}

void BM_CopiaTranneUnaConSync(benchmark::State& state)
{
    copiaTranneUna(state, true);
}

// The deletion's copy as it is done now: the two ranges around the middle record in one call each, the kernel
// moving the bytes (second argument 1) or the buffer (0), then forced to the disk as a deletion does.
void BM_CopiaDueTratti(benchmark::State& state)
{
    const QString dir = cartellaCon(int(state.range(0)));
    const QString archivio = ArchiveFile::archivePath(dir);
    const QString temp = ArchiveFile::tempPath(dir);
    ArchiveFile::setKernelCopy(state.range(1) ? ArchiveFile::systemKernelCopy() : nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(temp);
        state.ResumeTiming();
        ArchiveFile sorgente(archivio);
        ArchiveFile copia(temp);
        if (!sorgente.open(ArchiveFile::Access::ExistingOnly) || !copia.create()) {
            state.SkipWithError("open failed");
            break;
        }
        const qint64 n = sorgente.recordCount();
        if (!copia.copyRecordsFrom(sorgente, 0, n / 2) || !copia.copyRecordsFrom(sorgente, n / 2 + 1, n - n / 2 - 1))
            state.SkipWithError("copy failed");
        sorgente.close();
        if ((state.range(2) && !copia.sync()) || !copia.close())
            state.SkipWithError("close failed");
    }
    ArchiveFile::setKernelCopy(ArchiveFile::systemKernelCopy());
    QFile::remove(temp);
    state.SetBytesProcessed(state.iterations() * state.range(0) * ArchiveFile::kRecordSize);
}

// The yardstick for the deletion: the same file copied by cp (one process start included), then forced to the
// disk by `sync FILE` (an fsync of the copy) when the second argument is 1.
void BM_CopiaConCp(benchmark::State& state)
{
    const QString dir = cartellaCon(int(state.range(0)));
    const QByteArray comando = "/bin/cp '" + QFile::encodeName(ArchiveFile::archivePath(dir)) + "' '" +
                               QFile::encodeName(ArchiveFile::tempPath(dir)) + "'";
    const QByteArray conSync =
        state.range(1) ? QByteArray(" && sync '" + QFile::encodeName(ArchiveFile::tempPath(dir)) + "'") : QByteArray();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(ArchiveFile::tempPath(dir));
        state.ResumeTiming();
        if (std::system(QByteArray(comando + conSync).constData()) != 0)
            state.SkipWithError("cp failed");
    }
    QFile::remove(ArchiveFile::tempPath(dir));
    state.SetBytesProcessed(state.iterations() * state.range(0) * ArchiveFile::kRecordSize);
}

} // namespace

BENCHMARK(BM_ApriELeggiUltima)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScorriTutte)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopiaTranneUna)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopiaConCp)
    ->ArgNames({"schede", "sync"})
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CopiaDueTratti)
    ->ArgNames({"schede", "kernel", "sync"})
    ->ArgsProduct({{10000, 100000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CopiaTranneUnaConSync)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return eseguiBenchmark<QCoreApplication>(argc, argv);
}
