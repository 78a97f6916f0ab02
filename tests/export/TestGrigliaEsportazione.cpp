#include "export/GrigliaEsportazione.h"

#include "ArchivioEsportazione.h"
#include "support/CartellaBloccata.h"

#include <QTest>

using Vista = GrigliaEsportazione::Vista;
using namespace ArchivioEsportazione;

class TestGrigliaEsportazione : public QObject
{
    Q_OBJECT

private:
    // Four cards: a person with e-mail; a surname without first name, with a company; a first name without
    // surname, a company of blanks and an e-mail; a person with a company. Padded with blanks and a tab, which
    // the grid must not show.
    static bool archivioPiccolo(const QTemporaryDir& dir)
    {
        return scrivi(dir, {
                               {{Cognome, QStringLiteral("Rossi")},
                                {Nome, QStringLiteral("Mario")},
                                {Email, QStringLiteral("mario@rossi.it")},
                                {Citta, QStringLiteral("Roma")}},
                               {{Cognome, QStringLiteral("Bianchi")}, {Azienda, QStringLiteral("Acme S.r.l.")}},
                               {{Nome, QStringLiteral("Anna")},
                                {Azienda, QStringLiteral("   ")},
                                {Email, QStringLiteral("anna@posta.it")}},
                               {{Cognome, QStringLiteral("  Verdi\t")},
                                {Nome, QStringLiteral("Luca")},
                                {Azienda, QStringLiteral("Verdi & Figli")}},
                           });
    }

    static QStringList colonna(const GrigliaEsportazione& g, int c)
    {
        QStringList out;
        for (int r = 1; r < g.righe(); ++r)
            out << g.testo(c, r);
        return out;
    }

private Q_SLOTS:
    void disposizioni_data()
    {
        QTest::addColumn<Vista>("vista");
        QTest::addColumn<int>("colonna");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("larghezza");
        QTest::addColumn<QString>("valore"); // card 1 of the small archive

        QTest::newRow("tutti numero") << Vista::Tutti << 0 << QString() << 50 << QStringLiteral("1");
        QTest::newRow("tutti 1") << Vista::Tutti << 1 << QStringLiteral(" Cognome") << 150 << QStringLiteral("Rossi");
        QTest::newRow("tutti 4") << Vista::Tutti << 4 << QStringLiteral(" Codice fiscale") << 150 << QString();
        QTest::newRow("tutti 6") << Vista::Tutti << 6 << QStringLiteral(" Indirizzo") << 250 << QString();
        QTest::newRow("tutti 7") << Vista::Tutti << 7 << QStringLiteral(" Città") << 200 << QStringLiteral("Roma");
        QTest::newRow("tutti 14") << Vista::Tutti << 14 << QStringLiteral(" E-mail") << 150
                                  << QStringLiteral("mario@rossi.it");
        QTest::newRow("tutti 16") << Vista::Tutti << 16 << QStringLiteral(" Note") << 250 << QString();
        QTest::newRow("persone 2") << Vista::Persone << 2 << QStringLiteral(" Nome") << 150 << QStringLiteral("Mario");
        QTest::newRow("aziende 1") << Vista::Aziende << 1 << QStringLiteral(" Azienda") << 150
                                   << QStringLiteral("Acme S.r.l.");
        QTest::newRow("aziende 2") << Vista::Aziende << 2 << QStringLiteral(" Cognome") << 150
                                   << QStringLiteral("Bianchi");
        QTest::newRow("aziende 3") << Vista::Aziende << 3 << QStringLiteral(" Nome") << 150 << QString();
        QTest::newRow("aziende 7") << Vista::Aziende << 7 << QStringLiteral(" Città") << 200 << QString();
        QTest::newRow("email 1") << Vista::Email << 1 << QStringLiteral(" E-mail") << 200
                                 << QStringLiteral("mario@rossi.it");
        QTest::newRow("email 2") << Vista::Email << 2 << QStringLiteral(" Cognome") << 150 << QStringLiteral("Rossi");
        QTest::newRow("email 8") << Vista::Email << 8 << QStringLiteral(" Città") << 150 << QStringLiteral("Roma");
        QTest::newRow("email 14") << Vista::Email << 14 << QStringLiteral(" Cellulare") << 100 << QString();
        QTest::newRow("email 15") << Vista::Email << 15 << QStringLiteral(" Sito Internet") << 250 << QString();
    }

    void disposizioni()
    {
        QFETCH(Vista, vista);
        QFETCH(int, colonna);
        QFETCH(QString, caption);
        QFETCH(int, larghezza);
        QFETCH(QString, valore);
        QTemporaryDir dir;
        QVERIFY(archivioPiccolo(dir));
        GrigliaEsportazione g;
        QCOMPARE(g.riempi(dir.path(), vista), GrigliaEsportazione::Esito::Riempita);
        QCOMPARE(g.colonne(), 17);
        QCOMPARE(g.righe(), 5);
        QCOMPARE(g.testo(colonna, 0), caption);
        QCOMPARE(g.larghezza(colonna), larghezza);
        QCOMPARE(g.testo(colonna, 1), valore);
    }

    // Which cards each view shows, in archive order, numbered from 1, the rest of the N rows left empty.
    void filtri_data()
    {
        QTest::addColumn<Vista>("vista");
        QTest::addColumn<QStringList>("prima"); // column 1 of rows 1..4
        QTest::addColumn<int>("mostrate");

        QTest::newRow("tutti") << Vista::Tutti
                               << QStringList{"Rossi", "Bianchi", QString(), "Verdi"} << 4;
        // Both surname and first name: Bianchi has no first name, Anna no surname.
        QTest::newRow("persone") << Vista::Persone << QStringList{"Rossi", "Verdi", QString(), QString()} << 2;
        // A company of blanks is empty.
        QTest::newRow("aziende") << Vista::Aziende
                                 << QStringList{"Acme S.r.l.", "Verdi & Figli", QString(), QString()} << 2;
        QTest::newRow("email") << Vista::Email
                               << QStringList{"mario@rossi.it", "anna@posta.it", QString(), QString()} << 2;
    }

    void filtri()
    {
        QFETCH(Vista, vista);
        QFETCH(QStringList, prima);
        QFETCH(int, mostrate);
        QTemporaryDir dir;
        QVERIFY(archivioPiccolo(dir));
        GrigliaEsportazione g;
        QCOMPARE(g.riempi(dir.path(), vista), GrigliaEsportazione::Esito::Riempita);
        QCOMPARE(g.righe(), 5);
        QCOMPARE(colonna(g, 1), prima);
        QStringList numeri;
        for (int r = 1; r <= 4; ++r)
            numeri << (r <= mostrate ? QString::number(r) : QString());
        QCOMPARE(colonna(g, 0), numeri);
        // The rows after the last card shown are empty in every column.
        for (int r = 1; r <= 4; ++r) {
            if (r <= mostrate)
                continue;
            for (int c = 0; c < 17; ++c)
                QVERIFY2(g.testo(c, r).isEmpty(), qPrintable(QStringLiteral("cella %1,%2").arg(c).arg(r)));
        }
    }

    void campiSenzaSpazi()
    {
        QTemporaryDir dir;
        QVERIFY(archivioPiccolo(dir));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        QCOMPARE(g.testo(1, 4), QStringLiteral("Verdi"));
        QCOMPARE(g.testo(3, 3), QString());
    }

    // What a cell shows is its text, whatever form the file gives it.
    void celleComeScritte_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::newRow("virgolette") << QStringLiteral("Cliente \"storico\", dal \"90");
        QTest::newRow("solo virgolette") << QStringLiteral("\"\"\"");
        QTest::newRow("accentate ed euro") << QStringLiteral("Città € à");
        QTest::newRow("controlli interni") << QStringLiteral("a\tb\r\nc");
    }

    void celleComeScritte()
    {
        QFETCH(QString, testo);
        QTemporaryDir dir;
        QVERIFY(scrivi(dir, {{{Note, testo}, {Via, testo}}}));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Tutti);
        QCOMPARE(g.testo(16, 1), testo);
        QCOMPARE(g.testo(6, 1), testo);
        QCOMPARE(g.testo(7, 1), QString());
    }

    void grigliaIniziale()
    {
        QTemporaryDir dir;
        GrigliaEsportazione g;
        // A missing archive is created empty, and an empty archive changes nothing.
        QCOMPARE(g.riempi(dir.path(), Vista::Tutti), GrigliaEsportazione::Esito::Vuota);
        QCOMPARE(g.righe(), 10);
        for (int c = 0; c < 17; ++c) {
            QCOMPARE(g.testo(c, 0), QString());
            QCOMPARE(g.larghezza(c), 100);
        }
    }

    // After every card is deleted, the previous table, captions, widths and all, stays as it was.
    void archivioSvuotato()
    {
        QTemporaryDir dir;
        QVERIFY(archivioPiccolo(dir));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Email);
        g.impostaLarghezza(3, 77);
        QVERIFY(SchedeDiProva::scrivi(ArchiveFile::archivePath(dir.path()), {}));
        QCOMPARE(g.riempi(dir.path(), Vista::Tutti), GrigliaEsportazione::Esito::Vuota);
        QCOMPARE(g.righe(), 5);
        QCOMPARE(g.testo(1, 0), QStringLiteral(" E-mail"));
        QCOMPARE(g.testo(1, 2), QStringLiteral("anna@posta.it"));
        QCOMPARE(g.larghezza(3), 77);
        QCOMPARE(g.larghezza(8), 150);
    }

    void larghezzeRimesseAOgniRiempimento()
    {
        QTemporaryDir dir;
        QVERIFY(archivioPiccolo(dir));
        GrigliaEsportazione g;
        g.riempi(dir.path(), Vista::Email);
        QCOMPARE(g.larghezza(7), 250);
        g.impostaLarghezza(0, 10);
        g.impostaLarghezza(7, 31);
        g.riempi(dir.path(), Vista::Tutti);
        QCOMPARE(g.larghezza(0), 50);
        QCOMPARE(g.larghezza(7), 200);
        QCOMPARE(g.testo(7, 0), QStringLiteral(" Città"));
    }

    // "Tutti" numbers the rows as the archive's positions; an incomplete last record is not a card.
    void numeriComePosizioni()
    {
        QTemporaryDir dir;
        QByteArray byte = SchedeDiProva::archivio(5) + QByteArray(100, 'x');
        QVERIFY(SchedeDiProva::scrivi(ArchiveFile::archivePath(dir.path()), byte));
        GrigliaEsportazione g;
        QCOMPARE(g.riempi(dir.path(), Vista::Tutti), GrigliaEsportazione::Esito::Riempita);
        QCOMPARE(g.righe(), 6);
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(g.testo(0, r), QString::number(r));
            QCOMPARE(g.testo(1, r), SchedeDiProva::cognome(r));
        }
    }

    // An archive that cannot be opened for writing (append-only here, which holds for root too) still shows.
    void archivioProtetto()
    {
        QTemporaryDir dir;
        QVERIFY(archivioPiccolo(dir));
        CartellaBloccata protetto(ArchiveFile::archivePath(dir.path()));
        if (!protetto.attiva())
            QSKIP("chattr is not allowed here");
        GrigliaEsportazione g;
        QCOMPARE(g.riempi(dir.path(), Vista::Tutti), GrigliaEsportazione::Esito::Riempita);
        QCOMPARE(g.righe(), 5);
    }

    void archivioInaccessibile()
    {
        QTemporaryDir dir;
        QVERIFY(SchedeDiProva::archivioCartella(dir.path()));
        GrigliaEsportazione g;
        QCOMPARE(g.riempi(dir.path(), Vista::Tutti), GrigliaEsportazione::Esito::Interrotta);
        QCOMPARE(g.righe(), 10);
        QCOMPARE(g.testo(1, 0), QString());
    }

    void celleFuoriGriglia()
    {
        GrigliaEsportazione g;
        QVERIFY(g.testo(-1, 0).isEmpty());
        QVERIFY(g.testo(17, 0).isEmpty());
        QVERIFY(g.testo(0, 99).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGrigliaEsportazione)
#include "TestGrigliaEsportazione.moc"
