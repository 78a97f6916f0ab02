#include "archive/ArchiveFile.h"
#include "cards/TfrmContatti.h"
#include "tests/cards/BancoContatti.h"
#include "support/SchedeDiProva.h"
#include "support/TestiAttesi.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace SchedeDiProva;
using namespace TestiAttesi;

namespace {

// What another program does to Contatti.pro while card 5 of 6 is on screen.
enum class Cambio { Accorciato, TroncatoAMetaRecord, Svuotato, Sostituito, Rimosso };

QByteArray altroArchivio()
{
    return SchedeDiProva::archivio(QList<int>{21, 22, 23, 24, 25, 26});
}

} // namespace

Q_DECLARE_METATYPE(Cambio)

// Another program shortens, empties, replaces or removes the archive while a card is on screen, and the user
// then saves, deletes or steps on. The archive holds either what the other program left or that plus the
// user's change at a record that exists, and every failure is told.
class TestArchivioCambiato : public QObject
{
    Q_OBJECT

    std::unique_ptr<BancoContatti> m_banco;

    QByteArray cambia(Cambio cambio)
    {
        const QString percorso = m_banco->archivio();
        switch (cambio) {
        case Cambio::Accorciato:
            return QFile::resize(percorso, 3 * kRecord) ? leggi(percorso) : QByteArray("?");
        case Cambio::TroncatoAMetaRecord:
            return QFile::resize(percorso, 4 * kRecord + kRecord / 2) ? leggi(percorso) : QByteArray("?");
        case Cambio::Svuotato:
            return QFile::resize(percorso, 0) ? leggi(percorso) : QByteArray("?");
        case Cambio::Sostituito: {
            // Written beside and renamed over, as an editor or a sync client does.
            const QString altro = m_banco->cartella() + QStringLiteral("/altro");
            if (!scrivi(altro, altroArchivio()) || !QFile::remove(percorso) || !QFile::rename(altro, percorso))
                return "?";
            return altroArchivio();
        }
        case Cambio::Rimosso:
            return QFile::remove(percorso) ? leggi(percorso) : QByteArray("?");
        }
        return "?";
    }

private Q_SLOTS:
    void init()
    {
        m_banco = std::make_unique<BancoContatti>();
        QVERIFY(m_banco->mostra());
        QVERIFY(scrivi(m_banco->archivio(), SchedeDiProva::archivio(6)));
        m_banco->finestra()->caricaScheda(testiDaScheda(scheda(5)), QStringLiteral("5"));
        m_banco->finestra()->campo(Note)->setText(QStringLiteral("cambiata sullo schermo"));
    }
    void cleanup() { m_banco.reset(); }

    void azione_data()
    {
        QTest::addColumn<Cambio>("cambio");
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<QStringList>("messaggi");
        // The record the action writes or leaves out in what the other program left; -1 for none.
        QTest::addColumn<int>("toccato");

        const QStringList errore{kErroreArchivio};
        const QStringList domandaErrore{kDomandaConferma, kErroreArchivio};

        // A save at a position the archive no longer has would leave a gap of garbage records.
        QTest::newRow("Salva, accorciato") << Cambio::Accorciato << QByteArray("imgSalva") << errore << -1;
        QTest::newRow("Salva, troncato") << Cambio::TroncatoAMetaRecord << QByteArray("imgSalva") << errore << -1;
        QTest::newRow("Salva, svuotato") << Cambio::Svuotato << QByteArray("imgSalva") << errore << -1;
        QTest::newRow("Salva, rimosso") << Cambio::Rimosso << QByteArray("imgSalva") << errore << -1;
        // Nothing tells the program that the archive is another one: the card goes to its fifth record.
        QTest::newRow("Salva, sostituito")
            << Cambio::Sostituito << QByteArray("imgSalva") << QStringList{kModificheSalvate} << 4;

        // Deleting a record that is no longer there is a failure the user is told of, not a silent success.
        QTest::newRow("Elimina, accorciato") << Cambio::Accorciato << QByteArray("imgElimina") << domandaErrore << -1;
        QTest::newRow("Elimina, troncato")
            << Cambio::TroncatoAMetaRecord << QByteArray("imgElimina") << domandaErrore << -1;
        QTest::newRow("Elimina, svuotato") << Cambio::Svuotato << QByteArray("imgElimina") << domandaErrore << -1;
        QTest::newRow("Elimina, rimosso") << Cambio::Rimosso << QByteArray("imgElimina") << domandaErrore << -1;
        QTest::newRow("Elimina, sostituito")
            << Cambio::Sostituito << QByteArray("imgElimina") << QStringList{kDomandaConferma} << 4;

        QTest::newRow("Avanti, accorciato") << Cambio::Accorciato << QByteArray("imgAvanti") << QStringList{} << -1;
        QTest::newRow("Avanti, svuotato")
            << Cambio::Svuotato << QByteArray("imgAvanti") << QStringList{kNessunaScheda} << -1;
        QTest::newRow("Avanti, rimosso")
            << Cambio::Rimosso << QByteArray("imgAvanti") << QStringList{kNessunaScheda} << -1;
        QTest::newRow("Avanti, sostituito") << Cambio::Sostituito << QByteArray("imgAvanti") << QStringList{} << -1;
    }

    void azione()
    {
        QFETCH(Cambio, cambio);
        QFETCH(QByteArray, pulsante);
        QFETCH(QStringList, messaggi);
        QFETCH(int, toccato);
        QByteArray lasciato = cambia(cambio);
        QVERIFY(lasciato != "?");
        // Saving and browsing open the archive as the program always does, making a missing one anew, empty.
        if (cambio == Cambio::Rimosso && pulsante != "imgElimina")
            lasciato = QByteArray();

        QTest::mouseClick(m_banco->controllo(pulsante.constData()), Qt::LeftButton);

        QCOMPARE(m_banco->messaggi.texts(), messaggi);
        QVERIFY(!QFile::exists(m_banco->temporaneo()));
        const QByteArray dopo = leggi(m_banco->archivio());
        if (toccato < 0) {
            QCOMPARE(dopo.size(), lasciato.size());
            QCOMPARE(dopo, lasciato);
            return;
        }
        // Only the record named changed; every other byte is what the other program left.
        QByteArray atteso = lasciato;
        if (pulsante == "imgSalva")
            atteso.replace(toccato * kRecord, kRecord, dopo.mid(toccato * kRecord, kRecord));
        else
            atteso.remove(toccato * kRecord, kRecord);
        QCOMPARE(dopo, atteso);
        if (pulsante == "imgSalva")
            QCOMPARE(testiDaScheda(record(dopo, toccato))[Note], QStringLiteral("cambiata sullo schermo"));
    }
};

QTEST_MAIN(TestArchivioCambiato)
#include "TestArchivioCambiato.moc"
