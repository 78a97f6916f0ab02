#include "archive/ArchiveFile.h"
#include "backup/Backup.h"
#include "backup/CopiaFile.h"
#include "support/CartellaBloccata.h"
#include "support/FailDevice.h"
#include "support/SchedeDiProva.h"
#include "support/SoloLettura.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>

using namespace SchedeDiProva;

namespace {

// A folder's names and contents, so that a failure that leaves a stray file or changes one shows.
QMap<QString, QByteArray> contenuto(const QString& cartella)
{
    QMap<QString, QByteArray> out;
    const QDir dir(cartella);
    for (const QString& nome : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        out.insert(nome, QFileInfo(dir.filePath(nome)).isDir() ? QByteArray("<cartella>") : leggi(dir.filePath(nome)));
    return out;
}

DispositivoCopia guasto(qint64 limite, bool fsyncFallisce, bool chiusuraFallisce)
{
    return [=](const QString& percorso) {
        auto file = std::make_unique<FailDevice>(percorso);
        file->failWritesAfter(limite);
        file->failAtSync(fsyncFallisce);
        file->failAtClose(chiusuraFallisce);
        return std::unique_ptr<ArchiveDevice>(std::move(file));
    };
}

// A kernel copy that copies the first `g_finoA` bytes of the source through the system's own call and then
// answers -1 with `g_errore`, counting its calls.
qint64 g_finoA = 0;
int g_errore = 0;
int g_chiamate = 0;
qint64 kernelCheSiFerma(int da, qint64 daPos, int a, qint64 aPos, qint64 quanti)
{
    ++g_chiamate;
    if (daPos < g_finoA)
        return ArchiveFile::systemKernelCopy()(da, daPos, a, aPos, std::min(quanti, g_finoA - daPos));
    errno = g_errore;
    return -1;
}

#ifdef Q_OS_WIN
// QFile::link makes a shortcut there: a file of the shell's, which no copy ever follows.
constexpr const char* kSenzaCollegamenti = "QFile::link makes a .lnk shortcut on Windows, not a symbolic link";
#endif

} // namespace

// The copy under backup and restore: a whole, exact copy or no change at all.
class TestCopiaFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString percorso(const QString& nome) const { return m_dir->filePath(nome); }
    QString archivio() const { return ArchiveFile::archivePath(m_dir->path()); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void backupUguale_data()
    {
        QTest::addColumn<QByteArray>("archivio");
        QTest::addColumn<QByteArray>("preesistente"); // what the backup file held before; "<manca>": nothing
        QTest::newRow("vuoto") << QByteArray() << QByteArray("<manca>");
        QTest::newRow("una scheda") << SchedeDiProva::archivio(1) << QByteArray("<manca>");
        QTest::newRow("sette schede") << SchedeDiProva::archivio(7) << QByteArray("<manca>");
        QTest::newRow("coda incompleta") << SchedeDiProva::archivio(2) + QByteArray(100, 'x') << QByteArray("<manca>");
        // More than one block of the copy.
        QTest::newRow("mille schede") << SchedeDiProva::archivio(1000) << QByteArray("<manca>");
        QTest::newRow("su un backup più lungo") << SchedeDiProva::archivio(2) << SchedeDiProva::archivio(9);
        QTest::newRow("vuoto su un backup") << QByteArray() << SchedeDiProva::archivio(3);
    }
    void backupUguale()
    {
        QFETCH(QByteArray, archivio);
        QFETCH(QByteArray, preesistente);
        QVERIFY(scrivi(this->archivio(), archivio));
        const QString backup = percorso(QStringLiteral("Rubrica contatti.bkc"));
        if (preesistente != "<manca>")
            QVERIFY(scrivi(backup, preesistente));

        QVERIFY(Backup::creaBackup(m_dir->path(), backup));
        QCOMPARE(leggi(backup), archivio);
        QCOMPARE(leggi(this->archivio()), archivio);
        QCOMPARE(contenuto(m_dir->path()).keys(), QStringList({"Contatti.pro", "Rubrica contatti.bkc"}));
    }

    // ".bkc" is appended unless the name already ends in it, letter case counting; folders do not count.
    void estensione_data()
    {
        QTest::addColumn<QString>("scelto");
        QTest::addColumn<QString>("scritto");
        QTest::newRow("senza estensione") << "copia"
                                          << "copia.bkc";
        QTest::newRow(".bkc") << "copia.bkc"
                              << "copia.bkc";
        QTest::newRow(".BKC") << "copia.BKC"
                              << "copia.BKC.bkc";
        QTest::newRow(".Bkc") << "copia.Bkc"
                              << "copia.Bkc.bkc";
        QTest::newRow("altra estensione") << "copia.txt"
                                          << "copia.txt.bkc";
        QTest::newRow("punto nella cartella") << "v1.2/copia"
                                              << "v1.2/copia.bkc";
        QTest::newRow("cartella .bkc") << "vecchi.bkc/copia"
                                       << "vecchi.bkc/copia.bkc";
        QTest::newRow("cartella .bkc, nome .bkc") << "vecchi.bkc/copia.bkc"
                                                  << "vecchi.bkc/copia.bkc";
    }
    void estensione()
    {
        QFETCH(QString, scelto);
        QFETCH(QString, scritto);
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("v1.2")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("vecchi.bkc")));
        QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(2)));

        QCOMPARE(Backup::nomeBackup(percorso(scelto)), percorso(scritto));
        QVERIFY(Backup::creaBackup(m_dir->path(), percorso(scelto)));
        QCOMPARE(leggi(percorso(scritto)), SchedeDiProva::archivio(2));
    }

    // Every failure of a backup leaves the folder as it was: no backup file, no stray copy, the same archive.
    void backupFallito_data()
    {
        QTest::addColumn<bool>("conArchivio");
        QTest::addColumn<QString>("scelto");
        QTest::newRow("nessun archivio") << false << "copia.bkc";
        QTest::newRow("cartella che manca") << true << "manca/copia.bkc";
        QTest::newRow("dentro un file") << true << "file.txt/copia.bkc";
        QTest::newRow("una cartella") << true << "cartella.bkc";
        QTest::newRow("l'archivio, da un link") << true << "link.bkc";
        QTest::newRow("l'archivio, da un altro nome") << true << "stesso.bkc";
    }
    void backupFallito()
    {
        QFETCH(bool, conArchivio);
        QFETCH(QString, scelto);
#ifdef Q_OS_WIN
        if (scelto == QLatin1String("link.bkc"))
            QSKIP(kSenzaCollegamenti);
#endif
        if (conArchivio)
            QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(3)));
        QVERIFY(scrivi(percorso(QStringLiteral("file.txt")), "testo"));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("cartella.bkc")));
        QVERIFY(QFile::link(archivio(), percorso(QStringLiteral("link.bkc"))));
        if (conArchivio) {
            std::error_code errore;
            std::filesystem::create_hard_link(archivio().toStdU16String(),
                                              percorso(QStringLiteral("stesso.bkc")).toStdU16String(), errore);
            QVERIFY2(!errore, errore.message().c_str());
        }
        const auto prima = contenuto(m_dir->path());

        QVERIFY(!Backup::creaBackup(m_dir->path(), percorso(scelto)));
        QCOMPARE(contenuto(m_dir->path()), prima);
    }

    void ripristino_data()
    {
        QTest::addColumn<QByteArray>("archivio"); // "<manca>": no archive yet
        QTest::addColumn<QByteArray>("backup");
        QTest::newRow("sette schede su tre") << SchedeDiProva::archivio(3) << SchedeDiProva::archivio({4, 5, 6, 7});
        QTest::newRow("backup vuoto") << SchedeDiProva::archivio(3) << QByteArray();
        QTest::newRow("senza archivio") << QByteArray("<manca>") << SchedeDiProva::archivio(2);
        QTest::newRow("più blocchi") << SchedeDiProva::archivio(1) << SchedeDiProva::archivio(1000);
    }
    void ripristino()
    {
        QFETCH(QByteArray, archivio);
        QFETCH(QByteArray, backup);
        if (archivio != "<manca>")
            QVERIFY(scrivi(this->archivio(), archivio));
        const QString sorgente = percorso(QStringLiteral("copia.BKC"));
        QVERIFY(scrivi(sorgente, backup));

        QVERIFY(Backup::ripristinaBackup(m_dir->path(), sorgente) == Backup::Ripristino::Riuscito);
        QCOMPARE(leggi(this->archivio()), backup);
        QCOMPARE(leggi(sorgente), backup);
        QCOMPARE(contenuto(m_dir->path()).keys(), QStringList({"Contatti.pro", "copia.BKC"}));
    }

    // A restore that fails at any step leaves the archive as it was and no half-copied file beside it.
    void ripristinoFallito_data()
    {
        QTest::addColumn<QString>("scelto");
        QTest::addColumn<qint64>("limite"); // bytes the copy may write; -1: no limit
        QTest::addColumn<bool>("fsyncFallisce");
        QTest::addColumn<bool>("chiusuraFallisce");
        QTest::newRow("backup che manca") << "manca.bkc" << qint64(-1) << false << false;
        QTest::newRow("una cartella") << "cartella.bkc" << qint64(-1) << false << false;
        QTest::newRow("l'archivio stesso") << "Contatti.pro" << qint64(-1) << false << false;
        QTest::newRow("l'archivio, da un link") << "link.bkc" << qint64(-1) << false << false;
        QTest::newRow("disco pieno subito") << "copia.bkc" << qint64(0) << false << false;
        QTest::newRow("disco pieno a metà scheda") << "copia.bkc" << kRecord * 2 + 500 << false << false;
        QTest::newRow("disco pieno all'ultimo byte") << "copia.bkc" << kRecord * 5 - 1 << false << false;
        QTest::newRow("scrittura su disco fallita") << "copia.bkc" << qint64(-1) << true << false;
        QTest::newRow("chiusura fallita") << "copia.bkc" << qint64(-1) << false << true;
    }
    void ripristinoFallito()
    {
        QFETCH(QString, scelto);
        QFETCH(qint64, limite);
        QFETCH(bool, fsyncFallisce);
        QFETCH(bool, chiusuraFallisce);
#ifdef Q_OS_WIN
        if (scelto == QLatin1String("link.bkc"))
            QSKIP(kSenzaCollegamenti);
#endif
        QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(3)));
        QVERIFY(scrivi(percorso(QStringLiteral("copia.bkc")), SchedeDiProva::archivio({4, 5, 6, 7, 8})));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("cartella.bkc")));
        QVERIFY(QFile::link(archivio(), percorso(QStringLiteral("link.bkc"))));
        const auto prima = contenuto(m_dir->path());

        const DispositivoCopia dispositivo =
            guasto(limite < 0 ? std::numeric_limits<qint64>::max() : limite, fsyncFallisce, chiusuraFallisce);
        QVERIFY(Backup::ripristinaBackup(m_dir->path(), percorso(scelto), dispositivo) != Backup::Ripristino::Riuscito);
        QCOMPARE(contenuto(m_dir->path()), prima);
    }

    // The kernel copies what it will; where it refuses, at once or part way through a card, the buffer copies
    // the rest and the restore is whole. A full disk the kernel reports is the restore's failure.
    void ripristinoNelKernel_data()
    {
        QTest::addColumn<qint64>("finoA");
        QTest::addColumn<int>("errore");
        QTest::addColumn<bool>("riesce");
        QTest::newRow("tutto nel kernel") << qint64(1) << 0 << true;
        QTest::newRow("rifiuto subito") << qint64(0) << EXDEV << true;
        QTest::newRow("rifiuto a metà scheda") << kRecord * 3 + 500 << EOPNOTSUPP << true;
        QTest::newRow("disco pieno a metà") << kRecord * 3 << ENOSPC << false;
    }
    void ripristinoNelKernel()
    {
        QFETCH(qint64, finoA);
        QFETCH(int, errore);
        QFETCH(bool, riesce);
        if (!ArchiveFile::systemKernelCopy())
            QSKIP("no kernel copy on this system");
        const QByteArray backup = SchedeDiProva::archivio(700);
        g_finoA = errore ? finoA : backup.size();
        g_errore = errore;
        g_chiamate = 0;
        ArchiveFile::setKernelCopy(&kernelCheSiFerma);
        const auto ripristina = qScopeGuard([] { ArchiveFile::setKernelCopy(ArchiveFile::systemKernelCopy()); });
        QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(3)));
        const QString sorgente = percorso(QStringLiteral("copia.bkc"));
        QVERIFY(scrivi(sorgente, backup));
        const auto prima = contenuto(m_dir->path());

        QCOMPARE(Backup::ripristinaBackup(m_dir->path(), sorgente) == Backup::Ripristino::Riuscito, riesce);
        QVERIFY(g_chiamate > 0);
        if (riesce) {
            QCOMPARE(leggi(archivio()), backup);
            QCOMPARE(contenuto(m_dir->path()).keys(), QStringList({"Contatti.pro", "copia.bkc"}));
        } else {
            QCOMPARE(contenuto(m_dir->path()), prima);
        }
    }

    // The copy is complete, but the archive cannot be replaced: it keeps its content.
    void ripristinoSenzaRinomina()
    {
        QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(3)));
        const QString sorgente = percorso(QStringLiteral("copia.bkc"));
        QVERIFY(scrivi(sorgente, SchedeDiProva::archivio(5)));
        CartellaBloccata blocco(m_dir->path());
        if (!blocco.attiva())
            QSKIP("This file system does not take the append-only flag");
        QVERIFY(Backup::ripristinaBackup(m_dir->path(), sorgente) != Backup::Ripristino::Riuscito);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
    }

    // A rename would replace a write-protected archive too; the protection must win, as a plain copy's would.
    void archivioProtetto()
    {
        QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(3)));
        const QString sorgente = percorso(QStringLiteral("copia.bkc"));
        QVERIFY(scrivi(sorgente, SchedeDiProva::archivio(5)));
        {
            // For root too, who writes past permission bits.
            const SoloLettura protetto(archivio());
#ifdef Q_OS_WIN
            // Wine run by root keeps the read-only attribute as permission bits, which root writes past.
            if (!protetto.attiva())
                QSKIP("the read-only attribute does not stop this user from writing");
#endif
            QVERIFY(protetto.attiva());
            QVERIFY(Backup::ripristinaBackup(m_dir->path(), sorgente) != Backup::Ripristino::Riuscito);
        }
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(3));
    }

    // A source that ends before its size said (another program cut it short) is a failure, not a short copy.
    void sorgenteTroncata()
    {
        QBuffer da;
        da.setData(SchedeDiProva::archivio(2));
        QVERIFY(da.open(QIODevice::ReadOnly));
        QBuffer a;
        QVERIFY(a.open(QIODevice::WriteOnly));
        QVERIFY_THROWS_EXCEPTION(ErroreCopia, copiaDati(da, a, kRecord * 3));
        QBuffer parte;
        QVERIFY(parte.open(QIODevice::WriteOnly));
        QVERIFY(da.seek(0));
        copiaDati(da, parte, 0);
        copiaDati(da, parte, kRecord);
        QCOMPARE(parte.data(), SchedeDiProva::archivio(1));
    }
};

QTEST_GUILESS_MAIN(TestCopiaFile)
#include "TestCopiaFile.moc"
