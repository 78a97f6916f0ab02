#include "cards/ArchivioSchede.h"

#include "support/SchedeDiProva.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace SchedeDiProva;

namespace {

constexpr int kMancante = -1;

TestiScheda testiCon(const QString& cognome, const QString& nome = {}, const QString& azienda = {})
{
    TestiScheda t;
    t[Cognome] = cognome;
    t[Nome] = nome;
    t[Azienda] = azienda;
    return t;
}

} // namespace

class TestArchivioSchede : public QObject
{
    Q_OBJECT

private:
    QString archivio() const { return ArchiveFile::archivePath(m_dir->path()); }
    QString temporaneo() const { return ArchiveFile::tempPath(m_dir->path()); }
    void prepara(int schede, int coda = 0)
    {
        if (schede != kMancante)
            QVERIFY(scrivi(archivio(), SchedeDiProva::archivio(schede) + QByteArray(coda, 'x')));
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void contenutoMinimo_data()
    {
        QTest::addColumn<TestiScheda>("testi");
        QTest::addColumn<bool>("basta");

        TestiScheda altri;
        for (int c = Via; c < kNumeroCampi; ++c)
            altri[c] = QStringLiteral("pieno");
        QTest::newRow("tutto vuoto") << TestiScheda{} << false;
        QTest::newRow("solo gli altri campi") << altri << false;
        altri[Cognome] = QStringLiteral("  ");
        altri[Nome] = QStringLiteral("\t");
        altri[Azienda] = QStringLiteral(" \r\n ");
        QTest::newRow("solo spazi e controlli") << altri << false;
        QTest::newRow("cognome") << testiCon(QStringLiteral("Rossi")) << true;
        QTest::newRow("nome tra spazi") << testiCon({}, QStringLiteral("  Mario ")) << true;
        QTest::newRow("azienda") << testiCon({}, {}, QStringLiteral("ACME")) << true;
        // Code 160 lies above 32, so trimming keeps it.
        QTest::newRow("spazio unificatore") << testiCon(QString(QChar(0xA0))) << true;
    }
    void contenutoMinimo()
    {
        QFETCH(TestiScheda, testi);
        QFETCH(bool, basta);
        QCOMPARE(haContenutoMinimo(testi), basta);
    }

    void scorrimento_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("direzione");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<int>("mostrata"); // the card number shown, for a Mostra outcome

        const int prima = int(Scorrimento::Prima), prec = int(Scorrimento::Precedente);
        const int succ = int(Scorrimento::Successiva), ultima = int(Scorrimento::Ultima);
        const int mostra = EsitoScorrimento::Mostra, niente = EsitoScorrimento::Niente;
        const int vuoto = EsitoScorrimento::NessunaScheda, errore = EsitoScorrimento::Errore;

        QTest::newRow("prima da ' 2 '") << 12 << prima << " 2 " << mostra << "1" << 1;
        QTest::newRow("successiva oltre la fine") << 12 << succ << "15" << niente << "15" << 0;
        QTest::newRow("precedente da 12") << 12 << prec << "12" << mostra << "11" << 11;
        QTest::newRow("precedente da ' 3 '") << 12 << prec << " 3 " << mostra << "2" << 2;
        QTest::newRow("precedente da ' 1'") << 12 << prec << " 1" << niente << " 1" << 0;
        QTest::newRow("precedente da un testo") << 12 << prec << "x" << errore << "x" << 0;

        QTest::newRow("vuoto: ultima") << 0 << ultima << "" << vuoto << "" << 0;
        QTest::newRow("vuoto: successiva da nuova") << 0 << succ << "" << vuoto << "" << 0;
        // The first-card test comes before the record count: no message even on an empty archive.
        QTest::newRow("vuoto: precedente da 1") << 0 << prec << "1" << niente << "1" << 0;
        QTest::newRow("mancante: ultima") << kMancante << ultima << "" << vuoto << "" << 0;
    }
    void scorrimento()
    {
        QFETCH(int, schede);
        QFETCH(int, direzione);
        QFETCH(QString, posizione);
        QFETCH(int, esito);
        QFETCH(QString, dopo);
        QFETCH(int, mostrata);
        prepara(schede);

        const EsitoScorrimento e = scorri(m_dir->path(), Scorrimento(direzione), posizione);
        QCOMPARE(int(e.tipo), esito);
        QCOMPARE(e.posizione, dopo);
        if (esito == EsitoScorrimento::Mostra) {
            QCOMPARE(e.testi[Cognome], cognome(mostrata));
            QCOMPARE(e.testi[Tel], QStringLiteral("06 %1").arg(mostrata));
        }
        // Browsing creates a missing archive, and never writes to one.
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(qMax(schede, 0)));
    }

    void scorrimentoSuCodaIncompleta()
    {
        prepara(2, 100);
        EsitoScorrimento e = scorri(m_dir->path(), Scorrimento::Ultima, {});
        QCOMPARE(int(e.tipo), int(EsitoScorrimento::Mostra));
        QCOMPARE(e.posizione, QStringLiteral("2"));
        e = scorri(m_dir->path(), Scorrimento::Successiva, e.posizione);
        QCOMPARE(int(e.tipo), int(EsitoScorrimento::Niente));
        QCOMPARE(e.posizione, QStringLiteral("2"));
    }

    void salvataggio_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("coda");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<int>("esito");
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<int>("indice"); // the record written

        const int aggiunta = EsitoSalvataggio::Aggiunta, modificata = EsitoSalvataggio::Modificata;
        QTest::newRow("nuova su 4") << 4 << 0 << "" << aggiunta << "5" << 4;
        QTest::newRow("nuova con posizione di spazi") << 4 << 0 << "  " << aggiunta << "5" << 4;
        QTest::newRow("nuova su archivio mancante") << kMancante << 0 << "" << aggiunta << "1" << 0;
        QTest::newRow("nuova su coda incompleta") << 2 << 700 << "" << aggiunta << "3" << 2;
        QTest::newRow("modifica della 1") << 4 << 0 << "1" << modificata << "1" << 0;
        QTest::newRow("modifica della 3") << 4 << 0 << "3" << modificata << "3" << 2;
        QTest::newRow("modifica della 4") << 4 << 0 << " 4 " << modificata << "4" << 3;
    }
    void salvataggio()
    {
        QFETCH(int, schede);
        QFETCH(int, coda);
        QFETCH(QString, posizione);
        QFETCH(int, esito);
        QFETCH(QString, dopo);
        QFETCH(int, indice);
        prepara(schede, coda);
        const QByteArray prima = schede == kMancante ? QByteArray() : SchedeDiProva::archivio(schede);

        TestiScheda testi = testiCon(QStringLiteral("  Rossi  "), QStringLiteral("Mario Luigi"));
        testi[Note] = QString(300, u'n');
        const EsitoSalvataggio e = salva(m_dir->path(), testi, posizione);
        QCOMPARE(int(e.tipo), esito);
        QCOMPARE(e.posizione, dopo);

        const QByteArray dopoByte = leggi(archivio());
        QCOMPARE(dopoByte.size(), qMax<qsizetype>(prima.size(), (indice + 1) * kRecord));
        // Only the record written differs; an incomplete tail is written over, not kept.
        QCOMPARE(dopoByte.left(indice * kRecord), prima.left(indice * kRecord));
        QCOMPARE(dopoByte.mid((indice + 1) * kRecord), prima.mid((indice + 1) * kRecord));
        const TestiScheda letti = testiDaScheda(record(dopoByte, indice));
        QCOMPARE(letti[Cognome], QStringLiteral("Rossi"));
        QCOMPARE(letti[Nome], QStringLiteral("Mario Luigi"));
        QCOMPARE(letti[Note], QString(250, u'n'));
    }

    // Another program shortened the archive, or the position names no record: nothing is written.
    void salvataggioSenzaRecord_data()
    {
        QTest::addColumn<QString>("posizione");
        QTest::newRow("oltre la fine") << "5";
        QTest::newRow("molto oltre") << "4000";
        QTest::newRow("zero") << "0";
        QTest::newRow("negativa") << "-1";
    }
    void salvataggioSenzaRecord()
    {
        QFETCH(QString, posizione);
        prepara(4);
        const EsitoSalvataggio e = salva(m_dir->path(), testiCon(QStringLiteral("Rossi")), posizione);
        QCOMPARE(int(e.tipo), int(EsitoSalvataggio::Errore));
        QCOMPARE(e.posizione, posizione);
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(4));
    }

    void eliminazione_data()
    {
        QTest::addColumn<int>("schede");
        QTest::addColumn<int>("coda");
        QTest::addColumn<QString>("posizione");
        QTest::addColumn<QList<int>>("resto");

        QTest::newRow("la prima di 3") << 3 << 0 << "1" << QList<int>{2, 3};
        QTest::newRow("posizione tra spazi") << 3 << 0 << " 2 " << QList<int>{1, 3};
        // The texts are compared, so "02" names no record; nor do positions the archive no longer has.
        QTest::newRow("zero iniziale") << 3 << 0 << "02" << QList<int>{1, 2, 3};
        QTest::newRow("archivio accorciato") << 3 << 0 << "5" << QList<int>{1, 2, 3};
        QTest::newRow("coda incompleta") << 3 << 500 << "1" << QList<int>{2, 3};
    }
    void eliminazione()
    {
        QFETCH(int, schede);
        QFETCH(int, coda);
        QFETCH(QString, posizione);
        QFETCH(QList<int>, resto);
        prepara(schede, coda);

        QVERIFY(elimina(m_dir->path(), posizione));
        QCOMPARE(leggi(archivio()), SchedeDiProva::archivio(resto));
        QVERIFY(!QFile::exists(temporaneo()));
    }
};

QTEST_GUILESS_MAIN(TestArchivioSchede)
#include "TestArchivioSchede.moc"
