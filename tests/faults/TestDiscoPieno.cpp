#include "archive/ArchiveFile.h"
#include "backup/Backup.h"
#include "cards/ArchivioSchede.h"
#include "export/EsportazioneCsv.h"
#include "export/GrigliaEsportazione.h"
#include "support/FailDevice.h"
#include "support/LimiteScrittura.h"
#include "support/SchedeDiProva.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace SchedeDiProva;

namespace {

enum class Operazione { SalvaNuova, SalvaModifica, Elimina, Ripristino, Backup };

// Every file the operation opens fails the same way, as every file on a full disk does.
ArchiveFile::DeviceFactory guasto(const FailDevice::Faults& guasti)
{
    return [=](const QString& percorso) -> std::unique_ptr<ArchiveDevice> {
        auto d = std::make_unique<FailDevice>(percorso);
        d->setFaults(guasti);
        return d;
    };
}

FailDevice::Faults scritturaFinoA(qint64 byte)
{
    FailDevice::Faults f;
    f.writesAfter = byte;
    return f;
}

QStringList contenuto(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

Q_DECLARE_METATYPE(Operazione)
Q_DECLARE_METATYPE(FailDevice::Faults)

// The disk fills up, or refuses to take the bytes to the platter, part way through each operation that writes:
// the operation reports the failure, the archive (and the backup or the CSV file) holds its old content, and no
// temporary file is left beside it.
class TestDiscoPieno : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void operazione_data()
    {
        QTest::addColumn<Operazione>("operazione");
        QTest::addColumn<FailDevice::Faults>("guasti");

        const QList<QPair<const char*, Operazione>> operazioni = {
            {"salva nuova", Operazione::SalvaNuova}, {"salva modifica", Operazione::SalvaModifica},
            {"elimina", Operazione::Elimina},        {"ripristino", Operazione::Ripristino},
            {"backup", Operazione::Backup},
        };
        FailDevice::Faults sync;
        sync.atSync = true;
        FailDevice::Faults chiusura;
        chiusura.atClose = true;
        const QList<QPair<const char*, FailDevice::Faults>> guasti = {
            {"nessun byte", scritturaFinoA(0)},
            {"mezzo record", scritturaFinoA(kRecord / 2)},
            {"un record e mezzo", scritturaFinoA(kRecord + kRecord / 2)},
            {"alla sincronizzazione", sync},
            {"alla chiusura", chiusura},
        };
        for (const auto& [nomeOp, op] : operazioni)
            for (const auto& [nomeGuasto, g] : guasti) {
                // Saving writes one record and forces nothing to the disk; an overwrite in place takes no new
                // room on the disk.
                const bool salvataggio = op == Operazione::SalvaNuova || op == Operazione::SalvaModifica;
                const bool parziale = g.writesAfter > 0 && g.writesAfter < kRecord;
                const bool oltreIlRecord = g.writesAfter >= kRecord && g.writesAfter < 1000 * kRecord;
                if (salvataggio && (g.atSync || oltreIlRecord || (op == Operazione::SalvaModifica && parziale)))
                    continue;
                QTest::addRow("%s, %s", nomeOp, nomeGuasto) << op << g;
            }
    }

    void operazione()
    {
        QFETCH(Operazione, operazione);
        QFETCH(FailDevice::Faults, guasti);
        QTemporaryDir dir;
        const QString archivio = ArchiveFile::archivePath(dir.path());
        const QString backup = dir.filePath(QStringLiteral("copia.bkc"));
        const QByteArray archivioPrima = SchedeDiProva::archivio(3);
        const QByteArray backupPrima = SchedeDiProva::archivio(QList<int>{7, 8, 9, 10, 11});
        QVERIFY(scrivi(archivio, archivioPrima));
        QVERIFY(scrivi(backup, backupPrima));
        const QStringList nomi = contenuto(dir.path());

        const auto dispositivi = guasto(guasti);
        bool riuscita = true;
        switch (operazione) {
        case Operazione::SalvaNuova:
            riuscita = salva(dir.path(), testiDaScheda(scheda(4)), {}, {}, dispositivi).tipo != EsitoScrittura::Errore;
            break;
        case Operazione::SalvaModifica:
            riuscita =
                salva(dir.path(), testiDaScheda(scheda(4)), QStringLiteral("2"), registrata(dir.path()), dispositivi)
                    .tipo != EsitoScrittura::Errore;
            break;
        case Operazione::Elimina:
            riuscita = elimina(dir.path(), QStringLiteral("2"), registrata(dir.path()), dispositivi).tipo ==
                       EsitoScrittura::Eliminata;
            break;
        case Operazione::Ripristino:
            riuscita = Backup::ripristinaBackup(dir.path(), backup, dispositivi) == Backup::Ripristino::Riuscito;
            break;
        case Operazione::Backup:
            riuscita = Backup::creaBackup(dir.path(), backup, dispositivi);
            break;
        }

        QVERIFY(!riuscita);
        QCOMPARE(leggi(backup), backupPrima);
        QCOMPARE(contenuto(dir.path()), nomi);
        const QByteArray dopo = leggi(archivio);
        if (operazione == Operazione::SalvaModifica && guasti.atClose) {
            // The record went to the disk before the close failed: old or new content, nothing in between.
            TSchedaContatto nuova{};
            schedaDaTesti(nuova, testiDaScheda(scheda(4)));
            QVERIFY(dopo == archivioPrima || dopo == QByteArray(archivioPrima).replace(kRecord, kRecord, byte(nuova)));
        } else {
            QCOMPARE(dopo.size(), archivioPrima.size());
            QCOMPARE(dopo, archivioPrima);
        }
    }

    // The CSV file, written under a file size limit as on a disk with that much room left: a file of that name
    // keeps its old content, and no temporary file is left.
    void esportazioneCsv_data()
    {
        QTest::addColumn<qint64>("limite");
        QTest::newRow("nessun byte") << qint64(0);
        QTest::newRow("una riga e mezza") << qint64(150);
        QTest::newRow("quasi tutto") << qint64(-1);
    }
    void esportazioneCsv()
    {
        QFETCH(qint64, limite);
        QTemporaryDir dir;
        QVERIFY(scrivi(ArchiveFile::archivePath(dir.path()), SchedeDiProva::archivio(40)));
        GrigliaEsportazione griglia;
        griglia.riempi(dir.path(), GrigliaEsportazione::Vista::Tutti);
        const QByteArray atteso = EsportazioneCsv::testo(griglia);
        if (limite < 0)
            limite = atteso.size() - 1;
        const QString percorso = dir.filePath(QStringLiteral("rubrica.csv"));
        const QByteArray prima("vecchia esportazione\r\n");
        QVERIFY(scrivi(percorso, prima));
        const QStringList nomi = contenuto(dir.path());

        QString errore;
        bool riuscita = true;
        {
            LimiteScrittura discoPieno(limite);
            if (!discoPieno.attiva())
                QSKIP("No file size limit here");
            riuscita = EsportazioneCsv::salva(griglia, percorso, &errore);
        }
        QVERIFY(!riuscita);
        QVERIFY(!errore.isEmpty());
        QCOMPARE(leggi(percorso), prima);
        QCOMPARE(contenuto(dir.path()), nomi);

        // With room again the same export goes through whole.
        QVERIFY(EsportazioneCsv::salva(griglia, percorso, &errore));
        QCOMPARE(leggi(percorso), atteso);
    }
};

QTEST_GUILESS_MAIN(TestDiscoPieno)
#include "TestDiscoPieno.moc"
