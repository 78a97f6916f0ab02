#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"
#include "cards/TfrmContatti.h"
#include "support/SchedeDiProva.h"
#include "support/TestiAttesi.h"
#include "tests/cards/BancoContatti.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QTest>

using namespace SchedeDiProva;
using namespace TestiAttesi;

namespace {

// What another program does to Contatti.pro while card 5 of 6 is on screen.
enum class Cambio {
    Accorciato,
    TroncatoAMetaRecord,
    Svuotato,
    Sostituito,
    Rimosso,
    AltraSchedaModificata, // card 2 rewritten: card 5 is still where it was
    SchedaSpostata,        // card 3 deleted: card 5 is now at position 4
};

QByteArray altroArchivio()
{
    return SchedeDiProva::archivio(QList<int>{21, 22, 23, 24, 25, 26});
}

} // namespace

Q_DECLARE_METATYPE(Cambio)

// Another program changes the archive while a card is on screen, and the user then saves, deletes or steps on.
// A save or a deletion writes only over the very record that was loaded; when that record has changed, moved
// or gone, nothing is written, the user is told and sees the card now at that position (or the first card).
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
        case Cambio::AltraSchedaModificata:
            return scrivi(percorso, SchedeDiProva::archivio(QList<int>{1, 32, 3, 4, 5, 6})) ? leggi(percorso)
                                                                                            : QByteArray("?");
        case Cambio::SchedaSpostata:
            return scrivi(percorso, SchedeDiProva::archivio(QList<int>{1, 2, 4, 5, 6})) ? leggi(percorso)
                                                                                        : QByteArray("?");
        }
        return "?";
    }

private Q_SLOTS:
    void init()
    {
        m_banco = std::make_unique<BancoContatti>();
        QVERIFY(m_banco->mostra());
        QVERIFY(scrivi(m_banco->archivio(), SchedeDiProva::archivio(6)));
        m_banco->finestra()->caricaScheda(scheda(5), QStringLiteral("5"));
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
        // What the card window shows afterwards when nothing was written: the record and its position (an
        // empty record and no position for a cleared card); unchecked where the position is "-".
        QTest::addColumn<QByteArray>("mostrata");
        QTest::addColumn<QString>("posizione");

        const QStringList cambiata{kSchedaCambiata};
        const QStringList domandaCambiata{kDomandaConferma, kSchedaCambiata};
        const QByteArray vuota;
        const QByteArray prima = byte(scheda(1));

        QTest::newRow("Salva, accorciato")
            << Cambio::Accorciato << QByteArray("imgSalva") << cambiata << -1 << prima << "1";
        QTest::newRow("Salva, troncato") << Cambio::TroncatoAMetaRecord << QByteArray("imgSalva") << cambiata << -1
                                         << prima << "1";
        QTest::newRow("Salva, svuotato") << Cambio::Svuotato << QByteArray("imgSalva") << cambiata << -1 << vuota << "";
        QTest::newRow("Salva, rimosso") << Cambio::Rimosso << QByteArray("imgSalva") << cambiata << -1 << vuota << "";
        QTest::newRow("Salva, sostituito")
            << Cambio::Sostituito << QByteArray("imgSalva") << cambiata << -1 << byte(scheda(25)) << "5";
        QTest::newRow("Salva, spostata") << Cambio::SchedaSpostata << QByteArray("imgSalva") << cambiata << -1
                                         << byte(scheda(6)) << "5";
        QTest::newRow("Salva, un'altra modificata") << Cambio::AltraSchedaModificata << QByteArray("imgSalva")
                                                    << QStringList{kModificheSalvate} << 4 << vuota << "-";

        QTest::newRow("Elimina, accorciato")
            << Cambio::Accorciato << QByteArray("imgElimina") << domandaCambiata << -1 << prima << "1";
        QTest::newRow("Elimina, troncato")
            << Cambio::TroncatoAMetaRecord << QByteArray("imgElimina") << domandaCambiata << -1 << prima << "1";
        QTest::newRow("Elimina, svuotato")
            << Cambio::Svuotato << QByteArray("imgElimina") << domandaCambiata << -1 << vuota << "";
        QTest::newRow("Elimina, rimosso") << Cambio::Rimosso << QByteArray("imgElimina")
                                          << QStringList{kDomandaConferma, kErroreArchivio} << -1 << vuota << "-";
        QTest::newRow("Elimina, sostituito")
            << Cambio::Sostituito << QByteArray("imgElimina") << domandaCambiata << -1 << byte(scheda(25)) << "5";
        QTest::newRow("Elimina, spostata")
            << Cambio::SchedaSpostata << QByteArray("imgElimina") << domandaCambiata << -1 << byte(scheda(6)) << "5";
        QTest::newRow("Elimina, un'altra modificata") << Cambio::AltraSchedaModificata << QByteArray("imgElimina")
                                                      << QStringList{kDomandaConferma} << 4 << vuota << "";

        QTest::newRow("Avanti, accorciato")
            << Cambio::Accorciato << QByteArray("imgAvanti") << QStringList{} << -1 << vuota << "-";
        QTest::newRow("Avanti, svuotato")
            << Cambio::Svuotato << QByteArray("imgAvanti") << QStringList{kNessunaScheda} << -1 << vuota << "-";
        QTest::newRow("Avanti, rimosso") << Cambio::Rimosso << QByteArray("imgAvanti") << QStringList{kNessunaScheda}
                                         << -1 << vuota << "-";
        QTest::newRow("Avanti, sostituito")
            << Cambio::Sostituito << QByteArray("imgAvanti") << QStringList{} << -1 << byte(scheda(26)) << "6";
    }

    void azione()
    {
        QFETCH(Cambio, cambio);
        QFETCH(QByteArray, pulsante);
        QFETCH(QStringList, messaggi);
        QFETCH(int, toccato);
        QFETCH(QByteArray, mostrata);
        QFETCH(QString, posizione);
        QByteArray lasciato = cambia(cambio);
        QVERIFY(lasciato != "?");
        // Saving and browsing open the archive as the program always does, making a missing one anew, empty.
        if (cambio == Cambio::Rimosso && pulsante != "imgElimina")
            lasciato = QByteArray();

        QTest::mouseClick(m_banco->controllo(pulsante.constData()), Qt::LeftButton);

        QCOMPARE(m_banco->messaggi.texts(), messaggi);
        QVERIFY(!QFile::exists(m_banco->temporaneo()));
        QVERIFY(!QFile::exists(ArchiveLock::lockPath(m_banco->archivio())));
        TfrmContatti* f = m_banco->finestra();
        if (posizione != u"-") {
            QCOMPARE(f->lblPosizione->text(), posizione);
            TestiScheda attesi;
            if (mostrata.isEmpty())
                attesi[Web] = QStringLiteral("http://");
            else
                attesi = testiDaScheda(*reinterpret_cast<const TSchedaContatto*>(mostrata.constData()));
            QCOMPARE(f->testi(), attesi);
        }
        const QByteArray dopo = leggi(m_banco->archivio());
        if (toccato < 0) {
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

    // The card reloaded after a refused save is the one the next save checks against: saving again writes it.
    void salvaDopoLaRicarica()
    {
        QVERIFY(scrivi(m_banco->archivio(), SchedeDiProva::archivio(QList<int>{1, 2, 4, 5, 6})));
        QTest::mouseClick(m_banco->controllo("imgSalva"), Qt::LeftButton);
        m_banco->finestra()->campo(Note)->setText(QStringLiteral("di nuovo"));
        QTest::mouseClick(m_banco->controllo("imgSalva"), Qt::LeftButton);
        QCOMPARE(m_banco->messaggi.texts(), (QStringList{kSchedaCambiata, kModificheSalvate}));
        const QByteArray dopo = leggi(m_banco->archivio());
        QCOMPARE(dopo.left(4 * kRecord), SchedeDiProva::archivio(QList<int>{1, 2, 4, 5}));
        QCOMPARE(testiDaScheda(record(dopo, 4))[Cognome], cognome(6));
        QCOMPARE(testiDaScheda(record(dopo, 4))[Note], QStringLiteral("di nuovo"));
    }

    // Another writer holds the archive's lock for longer than the wait: nothing is written, the user is told,
    // and the card stays on screen to be saved again.
    void archivioOccupato_data()
    {
        QTest::addColumn<QByteArray>("pulsante");
        QTest::addColumn<QStringList>("messaggi");
        QTest::newRow("Salva") << QByteArray("imgSalva") << QStringList{kArchivioOccupato};
        QTest::newRow("Elimina") << QByteArray("imgElimina") << QStringList{kDomandaConferma, kArchivioOccupato};
        QTest::newRow("Avanti: reading takes no lock") << QByteArray("imgAvanti") << QStringList{};
    }
    void archivioOccupato()
    {
        QFETCH(QByteArray, pulsante);
        QFETCH(QStringList, messaggi);
        const auto attesa = ArchiveLock::waitTime();
        ArchiveLock::setWaitTime(std::chrono::milliseconds(200));
        QLockFile altro(ArchiveLock::lockPath(m_banco->archivio()));
        QVERIFY(altro.tryLock());
        QTest::mouseClick(m_banco->controllo(pulsante.constData()), Qt::LeftButton);
        ArchiveLock::setWaitTime(attesa);
        QCOMPARE(m_banco->messaggi.texts(), messaggi);
        QCOMPARE(leggi(m_banco->archivio()), SchedeDiProva::archivio(6));
        QCOMPARE(m_banco->finestra()->lblPosizione->text(), pulsante == "imgAvanti" ? u"6"_qs : u"5"_qs);
    }
};

QTEST_MAIN(TestArchivioCambiato)
#include "TestArchivioCambiato.moc"
