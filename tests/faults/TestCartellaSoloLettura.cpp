#include "archive/ArchiveFile.h"
#include "backup/Backup.h"
#include "cards/ArchivioSchede.h"
#include "support/FailDevice.h"
#include "support/SchedeDiProva.h"
#include "support/SoloLettura.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace SchedeDiProva;

namespace {

// Card n as the program writes it from its texts.
QByteArray canonica(const QList<int>& numeri)
{
    QByteArray out;
    for (int n : numeri) {
        TSchedaContatto s{};
        schedaDaTesti(s, testiDaScheda(scheda(n)));
        out += byte(s);
    }
    return out;
}

enum class Operazione { SalvaNuova, SalvaModifica, Elimina, Ripristino };
// How the folder turns read-only: every file opened for writing is refused (a locked stick, the same for
// root and for a normal user), or the folder itself loses its write permission (and chattr +i for root).
enum class Blocco { Dispositivo, Cartella };

ArchiveFile::DeviceFactory dispositivi(bool protetti)
{
    return [=](const QString& percorso) -> std::unique_ptr<ArchiveDevice> {
        auto d = std::make_unique<FailDevice>(percorso);
        d->refuseWriting(protetti);
        return d;
    };
}

bool esegui(Operazione operazione, const QString& cartella, const QString& backup,
            const ArchiveFile::DeviceFactory& dispositivi)
{
    switch (operazione) {
    case Operazione::SalvaNuova:
        return salva(cartella, testiDaScheda(scheda(9)), {}, {}, dispositivi).tipo == EsitoScrittura::Aggiunta;
    case Operazione::SalvaModifica:
        return salva(cartella, testiDaScheda(scheda(9)), QStringLiteral("2"), registrata(cartella), dispositivi).tipo ==
               EsitoScrittura::Modificata;
    case Operazione::Elimina:
        return elimina(cartella, QStringLiteral("2"), registrata(cartella), dispositivi).tipo ==
               EsitoScrittura::Eliminata;
    case Operazione::Ripristino:
        return Backup::ripristinaBackup(cartella, backup, dispositivi) == Backup::Ripristino::Riuscito;
    }
    return false;
}

QByteArray dopoOperazione(Operazione operazione, const QByteArray& backup)
{
    switch (operazione) {
    case Operazione::SalvaNuova:
        return canonica({1, 2, 3, 9});
    case Operazione::SalvaModifica:
        return canonica({1, 9, 3});
    case Operazione::Elimina:
        return canonica({1, 3});
    case Operazione::Ripristino:
        return backup;
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Operazione)
Q_DECLARE_METATYPE(Blocco)

// The folder turns read-only between one successful operation and the next: the next one fails (or, where it
// needs nothing the protection takes away, succeeds) with the archive whole, and once the folder is writable
// again the same operation goes through.
class TestCartellaSoloLettura : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void traDueOperazioni_data()
    {
        QTest::addColumn<Operazione>("operazione");
        QTest::addColumn<Blocco>("blocco");
        QTest::addColumn<bool>("riesce"); // under the protection

        QTest::newRow("salva nuova, dispositivo") << Operazione::SalvaNuova << Blocco::Dispositivo << false;
        QTest::newRow("salva modifica, dispositivo") << Operazione::SalvaModifica << Blocco::Dispositivo << false;
        QTest::newRow("elimina, dispositivo") << Operazione::Elimina << Blocco::Dispositivo << false;
        QTest::newRow("ripristino, dispositivo") << Operazione::Ripristino << Blocco::Dispositivo << false;
        // A save writes into the archive itself, which a folder's permission does not protect; a deletion and a
        // restore put a new file in the folder, which it does.
        QTest::newRow("salva modifica, cartella") << Operazione::SalvaModifica << Blocco::Cartella << true;
        QTest::newRow("elimina, cartella") << Operazione::Elimina << Blocco::Cartella << false;
        QTest::newRow("ripristino, cartella") << Operazione::Ripristino << Blocco::Cartella << false;
    }

    void traDueOperazioni()
    {
        QFETCH(Operazione, operazione);
        QFETCH(Blocco, blocco);
        QFETCH(bool, riesce);
        QTemporaryDir dir;
        QTemporaryDir altrove;
        const QString archivio = ArchiveFile::archivePath(dir.path());
        const QString backup = altrove.filePath(QStringLiteral("copia.bkc"));
        const QByteArray contenutoBackup = SchedeDiProva::archivio(QList<int>{11, 12});
        QVERIFY(scrivi(backup, contenutoBackup));
        QVERIFY(scrivi(archivio, canonica({1, 2})));

        // The first operation, on a writable folder.
        QCOMPARE(salva(dir.path(), testiDaScheda(scheda(3)), {}, {}, dispositivi(false)).tipo,
                 EsitoScrittura::Aggiunta);
        const QByteArray prima = leggi(archivio);
        QCOMPARE(prima, canonica({1, 2, 3}));
        const QStringList nomi = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        bool riuscita = false;
        {
            std::unique_ptr<SoloLettura> protezione;
            if (blocco == Blocco::Cartella) {
                protezione = std::make_unique<SoloLettura>(dir.path());
                if (!protezione->attiva())
                    QSKIP("The folder cannot be write-protected here");
            }
            riuscita = esegui(operazione, dir.path(), backup, dispositivi(blocco == Blocco::Dispositivo));
        }
        QCOMPARE(riuscita, riesce);
        QCOMPARE(leggi(archivio), riesce ? dopoOperazione(operazione, contenutoBackup) : prima);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), nomi);
        QCOMPARE(leggi(backup), contenutoBackup);

        // Writable again: the same operation goes through.
        if (!riesce) {
            QVERIFY(esegui(operazione, dir.path(), backup, dispositivi(false)));
            QCOMPARE(leggi(archivio), dopoOperazione(operazione, contenutoBackup));
        }
    }
};

QTEST_GUILESS_MAIN(TestCartellaSoloLettura)
#include "TestCartellaSoloLettura.moc"
