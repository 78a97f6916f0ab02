// Backup and restore of an archive of 100,000 cards (about 115 MB), each a complete copy flushed to the disk
// and renamed into place, next to `cp` of the same file followed by `sync` of the copy. The second argument:
// 1 lets the kernel copy the bytes (copy_file_range), 0 sends them through the program's buffer.
#include "BenchMain.h"
#include "archive/ArchiveFile.h"
#include "backup/Backup.h"
#include "support/SchedeDiProva.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

QString cartellaCon(int schede)
{
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        if (!SchedeDiProva::scriviArchivioTipico(dir->path(), schede))
            std::abort();
    }
    return dir->path();
}

void BM_Backup(benchmark::State& state)
{
    const QString dir = cartellaCon(int(state.range(0)));
    ArchiveFile::setKernelCopy(state.range(1) ? ArchiveFile::systemKernelCopy() : nullptr);
    const QString backup = QDir(dir).filePath(QStringLiteral("Rubrica contatti.bkc"));
    for (auto _ : state) {
        if (!Backup::creaBackup(dir, backup))
            state.SkipWithError("backup failed");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * ArchiveFile::kRecordSize);
}

void BM_Ripristino(benchmark::State& state)
{
    const QString dir = cartellaCon(int(state.range(0)));
    const QString backup = QDir(dir).filePath(QStringLiteral("Rubrica contatti.bkc"));
    ArchiveFile::setKernelCopy(state.range(1) ? ArchiveFile::systemKernelCopy() : nullptr);
    if (!QFile::exists(backup) && !Backup::creaBackup(dir, backup))
        state.SkipWithError("backup failed");
    for (auto _ : state) {
        if (Backup::ripristinaBackup(dir, backup) != Backup::Ripristino::Riuscito)
            state.SkipWithError("restore failed");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * ArchiveFile::kRecordSize);
}

// The yardstick: a durable copy by the system's tools (two process starts included).
void BM_CpESync(benchmark::State& state)
{
    const QString dir = cartellaCon(int(state.range(0)));
    const QByteArray copia = QFile::encodeName(QDir(dir).filePath(QStringLiteral("copia-cp.bkc")));
    const QByteArray comando =
        "/bin/cp '" + QFile::encodeName(ArchiveFile::archivePath(dir)) + "' '" + copia + "' && sync '" + copia + "'";
    for (auto _ : state) {
        if (std::system(comando.constData()) != 0)
            state.SkipWithError("cp failed");
    }
    QFile::remove(QFile::decodeName(copia));
    state.SetBytesProcessed(state.iterations() * state.range(0) * ArchiveFile::kRecordSize);
}

} // namespace

BENCHMARK(BM_Backup)
    ->ArgNames({"schede", "kernel"})
    ->ArgsProduct({{100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_Ripristino)
    ->ArgNames({"schede", "kernel"})
    ->ArgsProduct({{100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_CpESync)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return eseguiBenchmark<QCoreApplication>(argc, argv);
}
