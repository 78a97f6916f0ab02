#include "export/EsportazioneCsv.h"
#include "export/GrigliaEsportazione.h"

#include "ArchivioEsportazione.h"
#include "support/FailDevice.h"
#include "support/LimiteScrittura.h"

#include <QBuffer>
#include <QDir>
#include <QTest>

using Vista = GrigliaEsportazione::Vista;
using namespace ArchivioEsportazione;

namespace {

QList<QByteArray> righe(const QByteArray& testo)
{
    QList<QByteArray> out = testo.split('\n');
    if (!out.isEmpty() && out.constLast().isEmpty())
        out.removeLast();
    return out;
}

const QByteArray kIntestazioneStandard = ",\" Cognome\",\" Nome\",\" Azienda\",\" Codice fiscale\",\" Partita IVA\","
                                         "\" Indirizzo\",\" Citt\xe0\",\" CAP\",\" Provincia\",\" Stato\","
                                         "\" Telefono\",\" Fax\",\" Cellulare\",\" E-mail\",\" Sito Internet\","
                                         "\" Note\"\r\n";

} // namespace

class TestEsportazioneCsv : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rigaDiEsempio()
    {
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Rossi")},
                              {Nome, QStringLiteral("Mario")},
                              {CodFisc, QStringLiteral("RSSMRA80A01H501U")},
                              {Via, QStringLiteral("Via Roma 1")},
                              {Note, QStringLiteral("Cliente \"storico\"")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        const QByteArray testo = EsportazioneCsv::testo(g);
        QCOMPARE(testo, kIntestazioneStandard +
                            "1,Rossi,Mario,,RSSMRA80A01H501U,,\"Via Roma 1\",,,,,,,,,,\"Cliente \"\"storico\"\"\"\r\n");
    }

    // One cell per rule, in the notes column of a single card.
    void formaDellaCella_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QByteArray>("scritto");

        QTest::newRow("lettere cifre punti trattini") << QStringLiteral("A-1.b") << QByteArray("A-1.b");
        QTest::newRow("spazio") << QStringLiteral("a b") << QByteArray("\"a b\"");
        QTest::newRow("virgola") << QStringLiteral("a,b") << QByteArray("\"a,b\"");
        QTest::newRow("virgolette") << QStringLiteral("a\"b") << QByteArray("\"a\"\"b\"");
        QTest::newRow("solo virgolette") << QStringLiteral("\"\"") << QByteArray("\"\"\"\"\"\"");
        QTest::newRow("tabulazione") << QStringLiteral("a\tb") << QByteArray("\"a\tb\"");
        QTest::newRow("a capo") << QStringLiteral("a\r\nb") << QByteArray("\"a\r\nb\"");
        QTest::newRow("accentate da sole") << QStringLiteral("Città") << QByteArray("Citt\xe0");
        QTest::newRow("euro con spazio") << QStringLiteral("€ 5") << QByteArray("\"\x80 5\"");
        QTest::newRow("spazio indivisibile") << QStringLiteral("a\u00a0b") << QByteArray("a\xa0" "b");
        QTest::newRow("punto e virgola") << QStringLiteral("a;b") << QByteArray("a;b");
    }

    void formaDellaCella()
    {
        QFETCH(QString, testo);
        QFETCH(QByteArray, scritto);
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("X")}, {Note, testo}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        const QByteArray csv = EsportazioneCsv::testo(g);
        QVERIFY(csv.startsWith(kIntestazioneStandard));
        QCOMPARE(csv.mid(kIntestazioneStandard.size()), QByteArray("1,X,,,,,,,,,,,,,,,") + scritto + "\r\n");
    }

    // "Aziende" on three cards with one company: the header, one row, two rows of 16 commas.
    void righeVuoteDopoUnFiltro()
    {
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Uno")}},
                             {{Cognome, QStringLiteral("Due")}, {Azienda, QStringLiteral("Ditta")}},
                             {{Cognome, QStringLiteral("Tre")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Aziende);
        const QList<QByteArray> linee = righe(EsportazioneCsv::testo(g));
        QCOMPARE(linee.size(), 4);
        QVERIFY(linee[0].startsWith(",\" Azienda\",\" Cognome\",\" Nome\","));
        QCOMPARE(linee[1], QByteArray("1,Ditta,Due,,,,,,,,,,,,,,\r"));
        QCOMPARE(linee[2], QByteArray(16, ',') + '\r');
        QCOMPARE(linee[3], QByteArray(16, ',') + '\r');
    }

    // "E-mail" puts the address right after the row number.
    void vistaEmail()
    {
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Uno")}, {Email, QStringLiteral("uno@posta.it")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Email);
        QVERIFY(EsportazioneCsv::testo(g).endsWith("\r\n1,uno@posta.it,Uno,,,,,,,,,,,,,,\r\n"));
    }

    // The grid before any fill: 10 rows, every one of them 16 commas.
    void grigliaIniziale()
    {
        GrigliaEsportazione g;
        QByteArray atteso;
        for (int i = 0; i < 10; ++i)
            atteso += QByteArray(16, ',') + "\r\n";
        QCOMPARE(EsportazioneCsv::testo(g), atteso);
    }

    void estensione_data()
    {
        QTest::addColumn<QString>("scelto");
        QTest::addColumn<QString>("usato");

        QTest::newRow("senza estensione") << "/dati/rubrica" << "/dati/rubrica.csv";
        QTest::newRow("csv") << "/dati/rubrica.csv" << "/dati/rubrica.csv";
        QTest::newRow("CSV maiuscolo") << "/dati/rubrica.CSV" << "/dati/rubrica.CSV.csv";
        QTest::newRow("altra estensione") << "/dati/rubrica.txt" << "/dati/rubrica.txt.csv";
        QTest::newRow("csv non in fondo") << "/dati/rubrica.csv.bak" << "/dati/rubrica.csv.bak.csv";
        QTest::newRow("punto nella cartella") << "/dati.2024/rubrica.csv" << "/dati.2024/rubrica.csv";
        QTest::newRow("punto solo nella cartella") << "/dati.2024/rubrica" << "/dati.2024/rubrica.csv";
        QTest::newRow("punto finale") << "/dati/rubrica." << "/dati/rubrica..csv";
    }

    void estensione()
    {
        QFETCH(QString, scelto);
        QFETCH(QString, usato);
        QCOMPARE(EsportazioneCsv::conEstensione(scelto), usato);
    }

    void dispositivoCheFallisce_data()
    {
        QTest::addColumn<bool>("conBuffer");
        QTest::newRow("senza buffer") << false;
        QTest::newRow("con buffer") << true;
    }

    // A device that stops taking bytes part way is a failure with its own reason, even when its buffer hides it
    // until the data is flushed.
    void dispositivoCheFallisce()
    {
        QFETCH(bool, conBuffer);
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Rossi")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        FailDevice file(dir.filePath(QStringLiteral("uscita.csv")));
        file.failWritesAfter(50);
        QVERIFY(file.open(conBuffer ? QIODevice::WriteOnly : QIODevice::WriteOnly | QIODevice::Unbuffered));
        QString errore;
        QVERIFY(!EsportazioneCsv::scrivi(g, file, &errore));
        QVERIFY2(errore.contains(QStringLiteral("simulato")), qPrintable(errore));
    }

    void salvaSostituisce()
    {
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Cognome, QStringLiteral("Rossi")}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        const QString percorso = dir.filePath(QStringLiteral("rubrica.csv"));
        QVERIFY(SchedeDiProva::scrivi(percorso, QByteArray(5000, 'v')));
        QVERIFY(EsportazioneCsv::salva(g, percorso));
        QCOMPARE(SchedeDiProva::leggi(percorso), EsportazioneCsv::testo(g));
    }

    // The disk fills up half way: the file of that name keeps its old content and no temporary file is left.
    void scritturaInterrottaLasciaIlFileIntatto()
    {
        QTemporaryDir dir;
        QVERIFY(SchedeDiProva::scrivi(ArchiveFile::archivePath(dir.path()), SchedeDiProva::archivio(200)));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        QVERIFY(EsportazioneCsv::testo(g).size() > 8000);
        const QString percorso = dir.filePath(QStringLiteral("rubrica.csv"));
        const QByteArray vecchio(3000, 'v');
        QVERIFY(SchedeDiProva::scrivi(percorso, vecchio));
        QString errore;
        {
            LimiteScrittura limite(4096);
            if (!limite.attiva())
                QSKIP("no file size limit here");
            QVERIFY(!EsportazioneCsv::salva(g, percorso, &errore));
        }
        QVERIFY(!errore.isEmpty());
        QCOMPARE(SchedeDiProva::leggi(percorso), vecchio);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // the archive and the old file
    }

    void cartellaInesistente()
    {
        QTemporaryDir dir;
        GrigliaEsportazione g;
        QString errore;
        QVERIFY(!EsportazioneCsv::salva(g, dir.filePath(QStringLiteral("manca/rubrica.csv")), &errore));
        QVERIFY(!errore.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEsportazioneCsv)
#include "TestEsportazioneCsv.moc"
