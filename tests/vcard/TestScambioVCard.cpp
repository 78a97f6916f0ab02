#include "vcard/CodecVCard.h"
#include "vcard/ScambioVCard.h"

#include "archive/MessaggiArchivio.h"
#include "support/CartellaBloccata.h"
#include "support/FailDevice.h"
#include "support/LimiteScrittura.h"
#include "support/SchedeDiProva.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace SchedeDiProva;

namespace {

QByteArray crlf(const char* testo)
{
    return QByteArray(testo).replace("\n", "\r\n");
}

const QByteArray kTreSchede = crlf("BEGIN:VCARD\nVERSION:4.0\nN:Rossi;Mario;;;\nTEL;TYPE=cell:333\nEND:VCARD\n"
                                   "BEGIN:VCARD\nVERSION:3.0\nFN:Acme\nORG:Acme\nEND:VCARD\n"
                                   "BEGIN:VCARD\nVERSION:4.0\nN:Ωmega;Ugo;;;\nEND:VCARD\n");

// The files the folder holds besides the archive and the file chosen: temporary files left behind show here.
QStringList avanzi(const QString& cartella, const QStringList& attesi)
{
    QStringList nomi = QDir(cartella).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& a : attesi)
        nomi.removeAll(a);
    return nomi;
}

} // namespace

class TestScambioVCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importaInCoda();
    void importaSenzaArchivio();
    void fileRifiutato_data();
    void fileRifiutato();
    void importaFallitaLasciaArchivio_data();
    void importaFallitaLasciaArchivio();
    void esportaERileggi();
    void esportaFallita();
    void esportaSuArchivioRifiutata_data();
    void esportaSuArchivioRifiutata();
    void messaggiImportazione_data();
    void messaggiImportazione();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_fuori;
    QString app() const { return m_dir.path(); }
    QString pro() const { return ArchiveFile::archivePath(app()); }
    void pulisci()
    {
        QDir(app()).removeRecursively();
        QDir().mkpath(app());
    }
};

void TestScambioVCard::importaInCoda()
{
    pulisci();
    const QByteArray prima = archivio(2);
    QVERIFY(scrivi(pro(), prima + "coda"));
    const QString vcf = app() + QStringLiteral("/amici.vcf");
    QVERIFY(scrivi(vcf, kTreSchede));

    const EsitoScambio esito = importaVCard(app(), vcf);
    QVERIFY(esito.riuscito());
    QCOMPARE(esito.schede, 3);
    QCOMPARE(esito.accorciate, 1);
    QCOMPARE(esito.primaPosizione, 3);

    // The two cards keep their bytes; the incomplete tail, which no operation ever shows, is not carried over.
    const QByteArray dopo = leggi(pro());
    QCOMPARE(dopo.size(), 5 * kRecord);
    QCOMPARE(dopo.first(2 * kRecord), prima);
    QCOMPARE(testoCampo(record(dopo, 2), Cognome), QStringLiteral("Rossi"));
    QCOMPARE(testoCampo(record(dopo, 2), Cellulare), QStringLiteral("333"));
    QCOMPARE(testoCampo(record(dopo, 3), Azienda), QStringLiteral("Acme"));
    QCOMPARE(testoCampo(record(dopo, 3), Cognome), QString());
    QCOMPARE(testoCampo(record(dopo, 4), Cognome), QStringLiteral("?mega"));
    QCOMPARE(avanzi(app(), {QStringLiteral("Contatti.pro"), QStringLiteral("amici.vcf")}), QStringList());
}

void TestScambioVCard::importaSenzaArchivio()
{
    pulisci();
    const QString vcf = app() + QStringLiteral("/uno.vcf");
    QVERIFY(scrivi(vcf, crlf("BEGIN:VCARD\nFN:Ada Neri\nEND:VCARD\n")));
    const EsitoScambio esito = importaVCard(app(), vcf);
    QVERIFY(esito.riuscito());
    QCOMPARE(esito.primaPosizione, 1);
    const QByteArray dopo = leggi(pro());
    QCOMPARE(dopo.size(), kRecord);
    QCOMPARE(testiDaScheda(record(dopo, 0))[Nome], QStringLiteral("Ada"));
}

void TestScambioVCard::fileRifiutato_data()
{
    // "<manca>": no file; "<cartella>", "<fifo>": one of those at the file's name; "<grande>": a sparse file just
    // over the limit; "/dev/zero": that path itself.
    QTest::addColumn<QByteArray>("contenuto");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("messaggio");

    QTest::newRow("manca") << QByteArray("<manca>") << int(EsitoScambio::FileIlleggibile)
                           << QStringLiteral("Attenzione: impossibile leggere il file \"%1\" (");
    const QString nonLeggibile = QStringLiteral("Attenzione: «%1» non è un file vCard leggibile.");
#ifdef Q_OS_WIN
    // Windows has neither FIFOs nor /dev/zero.
    for (const char* speciale : {"<cartella>", "<grande>"})
#else
    for (const char* speciale : {"<cartella>", "<fifo>", "<grande>", "/dev/zero"})
#endif
        QTest::newRow(speciale) << QByteArray(speciale) << int(EsitoScambio::NonFileRegolare) << nonLeggibile;
    QTest::newRow("vuoto") << QByteArray() << int(EsitoScambio::FileVuoto)
                           << QStringLiteral("Attenzione: il file \"%1\" non contiene alcun contatto.");
    QTest::newRow("binario") << QByteArray("\x7F"
                                           "ELF\x02\x01\x01\0\0\0",
                                           10)
                             << int(EsitoScambio::NonVCard)
                             << QStringLiteral("Attenzione: il file \"%1\" non è un file vCard (.vcf).");
    QTest::newRow("solo BEGIN:VCARD") << QByteArray("BEGIN:VCARD\r\n") << int(EsitoScambio::FileIncompleto)
                                      << QStringLiteral("Attenzione: il file \"%1\" è incompleto: l'ultimo contatto "
                                                        "non termina. Nessun contatto è stato importato.");
}

void TestScambioVCard::fileRifiutato()
{
    QFETCH(QByteArray, contenuto);
    QFETCH(int, tipo);
    QFETCH(QString, messaggio);
    for (const bool conArchivio : {true, false}) {
        pulisci();
        const QByteArray prima = archivio(3);
        if (conArchivio)
            QVERIFY(scrivi(pro(), prima));
        const QString vcf =
            contenuto.startsWith('/') ? QString::fromLatin1(contenuto) : app() + QStringLiteral("/x.vcf");
        if (contenuto == "<cartella>")
            QVERIFY(QDir().mkpath(vcf));
#ifndef Q_OS_WIN
        else if (contenuto == "<fifo>")
            QCOMPARE(::mkfifo(QFile::encodeName(vcf).constData(), 0600), 0);
#endif
        else if (contenuto != "<manca>" && !contenuto.startsWith('/'))
            QVERIFY(scrivi(vcf, contenuto == "<grande>" ? QByteArray() : contenuto));
        if (contenuto == "<grande>") // 257 MB, all a hole
            QVERIFY(QFile::resize(vcf, kMassimoFile + (1 << 20)));

        QElapsedTimer tempo;
        tempo.start();
        const EsitoScambio esito = importaVCard(app(), vcf);
        QCOMPARE(int(esito.tipo), tipo);
        QVERIFY(messaggioScambio(esito, vcf).startsWith(messaggio.arg(QDir::toNativeSeparators(vcf))));
        QCOMPARE(int(leggiFileVCard(vcf).esito.tipo), tipo);
        QCOMPARE_LT(tempo.elapsed(), 1000);
        QCOMPARE(leggi(pro()), conArchivio ? prima : QByteArray("<manca>"));
        QVERIFY(!QFile::exists(ArchiveFile::tempPath(app())));
    }
}

void TestScambioVCard::importaFallitaLasciaArchivio_data()
{
    QTest::addColumn<QString>("guasto");
    QTest::newRow("disco pieno a metà della copia") << QStringLiteral("disco");
    QTest::newRow("archivio illeggibile (una cartella)") << QStringLiteral("cartella");
    QTest::newRow("rinomina impedita") << QStringLiteral("rinomina");
}

void TestScambioVCard::importaFallitaLasciaArchivio()
{
    QFETCH(QString, guasto);
    pulisci();
    // Outside the archive's folder, which the faults below take away or lock; in this test's own folder, not at
    // a fixed name in the shared temporary folder that another user's run may hold.
    const QString vcf = m_fuori.filePath(QStringLiteral("scambio.vcf"));
    QByteArray molte;
    for (int n = 0; n < 50; ++n)
        molte += vCard(testiTipici(n));
    QVERIFY(scrivi(vcf, molte));
    const QByteArray prima = archivio(20);

    EsitoScambio esito;
    if (guasto == QLatin1String("cartella")) {
        QVERIFY(archivioCartella(app()));
        esito = importaVCard(app(), vcf);
        QVERIFY(QFileInfo(pro()).isDir());
    } else if (guasto == QLatin1String("disco")) {
        QVERIFY(scrivi(pro(), prima));
        {
            LimiteScrittura discoPieno(30 * kRecord + 100);
            if (!discoPieno.attiva())
                QSKIP("no file size limit here");
            esito = importaVCard(app(), vcf);
        }
        QCOMPARE(leggi(pro()), prima);
    } else {
        QVERIFY(scrivi(pro(), prima));
        CartellaBloccata blocco(app());
        if (!blocco.attiva())
            QSKIP("chattr +a is not available here");
        esito = importaVCard(app(), vcf);
        QCOMPARE(leggi(pro()), prima);
        return; // an append-only folder keeps Contatti.tmp too: no name in it can be removed
    }
    QFile::remove(vcf);
    QCOMPARE(int(esito.tipo), int(EsitoScambio::ErroreArchivio));
    QCOMPARE(messaggioScambio(esito, vcf), messaggioErroreArchivio());
    QVERIFY(!QFile::exists(ArchiveFile::tempPath(app())));
}

void TestScambioVCard::esportaERileggi()
{
    pulisci();
    QByteArray contenuto;
    for (int n = 1; n <= 30; ++n)
        contenuto += byte(schedaTipica(n));
    // Every field, with what the escapes, the line ends and the code page are about; and a card with no name.
    TestiScheda completa;
    const char* const testi[] = {"D'Àngelo",
                                 "Niccolò",
                                 "Caffè Rossi, Bianchi & C.; S.n.c.",
                                 "Via dell'Università, 12; scala B",
                                 "Forlì",
                                 "47121",
                                 "FC",
                                 "Italia",
                                 "+39 0543 123456",
                                 "0543 654321",
                                 "333 1234567",
                                 "niccolo@caffe-rossi.it",
                                 "https://caffe-rossi.it/a,b;c?d=1&e=\\f",
                                 "DNGNCC80A01D704X",
                                 "01234567890",
                                 "Prezzo 5 €, sconto; C:\\listini\r\nseconda riga\r\n\tterza"};
    for (int c = 0; c < kNumeroCampi; ++c)
        completa[c] = QString::fromUtf8(testi[c]);
    TSchedaContatto record{};
    schedaDaTesti(record, completa);
    contenuto += byte(record);
    TestiScheda soloEmail;
    soloEmail[Email] = QStringLiteral("anna@esempio.it");
    record = TSchedaContatto{};
    schedaDaTesti(record, soloEmail);
    contenuto += byte(record);
    QVERIFY(scrivi(pro(), contenuto));
    const QString vcf = app() + QStringLiteral("/tutti.vcf");
    QVERIFY(scrivi(vcf, "vecchio contenuto"));

    const EsitoScambio esito = esportaVCard(app(), vcf);
    QVERIFY(esito.riuscito());
    QCOMPARE(esito.schede, 32);
    const LetturaVCard letta = leggiVCard(leggi(vcf));
    QCOMPARE(letta.schede.size(), 32);
    for (int n = 1; n <= 30; ++n)
        QCOMPARE(letta.schede[n - 1], testiTipici(n));
    QCOMPARE(letta.schede[30], completa);
    QCOMPARE(letta.schede[31], soloEmail);
    QCOMPARE(leggi(pro()), contenuto);
    QCOMPARE(avanzi(app(), {QStringLiteral("Contatti.pro"), QStringLiteral("tutti.vcf")}), QStringList());

    // Imported into an empty folder, by the command line's way and by the card window's, the export gives back
    // the archive byte for byte (the records were written from zeros, as an import writes them).
    for (const bool daFinestra : {false, true}) {
        QTemporaryDir vuota;
        const EsitoScambio importata =
            daFinestra ? aggiungiSchede(vuota.path(), leggiFileVCard(vcf).schede) : importaVCard(vuota.path(), vcf);
        QVERIFY(importata.riuscito());
        QCOMPARE(leggi(ArchiveFile::archivePath(vuota.path())), contenuto);
    }

    // No archive: an empty file, and no archive created for it.
    pulisci();
    QVERIFY(esportaVCard(app(), vcf).riuscito());
    QCOMPARE(leggi(vcf), QByteArray());
    QVERIFY(!QFile::exists(pro()));
}

void TestScambioVCard::esportaFallita()
{
    pulisci();
    QVERIFY(scrivi(pro(), archivio(3000)));
    auto esporta = [&](QIODevice& out) { return scriviVCardArchivio(app(), out); };

    // A device that fills up part way.
    FailDevice pieno(app() + QStringLiteral("/pieno"));
    QVERIFY(pieno.open(QIODevice::WriteOnly));
    pieno.failWritesAfter(5000);
    const EsitoScambio esito = esporta(pieno);
    QCOMPARE(int(esito.tipo), int(EsitoScambio::ErroreScrittura));
    QVERIFY(messaggioScambio(esito, QStringLiteral("x"))
                .startsWith(QStringLiteral("Attenzione: impossibile scrivere il file \"x\" (")));

    // A file the disk cannot take whole: the old content stays, no temporary file is left.
    const QString destinazione = app() + QStringLiteral("/uscita");
    QVERIFY(scrivi(destinazione, "vecchio"));
    {
        LimiteScrittura discoPieno(100000);
        if (discoPieno.attiva()) {
            const EsitoScambio e = esportaVCard(app(), destinazione);
            QCOMPARE(int(e.tipo), int(EsitoScambio::ErroreScrittura));
        }
    }
    QCOMPARE(leggi(destinazione), QByteArray("vecchio"));
    QCOMPARE(avanzi(app(), {QStringLiteral("Contatti.pro"), QStringLiteral("uscita"), QStringLiteral("pieno")}),
             QStringList());

    // A folder that does not exist.
    const QString altrove = app() + QStringLiteral("/manca/file");
    const EsitoScambio e = esportaVCard(app(), altrove);
    QCOMPARE(int(e.tipo), int(EsitoScambio::ErroreScrittura));
}

void TestScambioVCard::esportaSuArchivioRifiutata_data()
{
    QTest::addColumn<QString>("nome"); // in the archive's folder
    QTest::newRow("l'archivio") << QStringLiteral("Contatti.pro");
    QTest::newRow("attraverso ./") << QStringLiteral("./Contatti.pro");
    QTest::newRow("un collegamento") << QStringLiteral("collegamento.vcf");
}

void TestScambioVCard::esportaSuArchivioRifiutata()
{
    QFETCH(QString, nome);
    pulisci();
    const QByteArray prima = archivio(2);
    QVERIFY(scrivi(pro(), prima));
    if (nome == QLatin1String("collegamento.vcf")) {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a .lnk shortcut on Windows, not a symbolic link");
#endif
        QVERIFY(QFile::link(pro(), app() + u'/' + nome));
    }
    QCOMPARE(int(esportaVCard(app(), app() + u'/' + nome).tipo), int(EsitoScambio::FileArchivio));
    QCOMPARE(leggi(pro()), prima);
}

void TestScambioVCard::messaggiImportazione_data()
{
    QTest::addColumn<int>("schede");
    QTest::addColumn<int>("accorciate");
    QTest::addColumn<QString>("domanda");
    QTest::addColumn<QString>("messaggio");

    QTest::newRow("uno") << 1 << 0 << QStringLiteral("Importare 1 contatto nell'archivio?")
                         << QStringLiteral("Importato 1 contatto nell'archivio, alla posizione 7.");
    QTest::newRow("molti, uno accorciato")
        << 12 << 1 << QStringLiteral("Importare 12 contatti nell'archivio?")
        << QStringLiteral("Importati 12 contatti nell'archivio, dalla posizione 7.\n\n1 contatto è stato accorciato: "
                          "testi più lunghi dei campi della scheda, o caratteri che l'archivio non può contenere, "
                          "sostituiti da \"?\".");
    QTest::newRow("molti accorciati") << 3 << 2 << QStringLiteral("Importare 3 contatti nell'archivio?")
                                      << QStringLiteral("Importati 3 contatti nell'archivio, dalla posizione 7.\n\n2 "
                                                        "contatti sono stati accorciati: testi più lunghi dei campi "
                                                        "della scheda, o caratteri che l'archivio non può contenere, "
                                                        "sostituiti da \"?\".");
}

void TestScambioVCard::messaggiImportazione()
{
    QFETCH(int, schede);
    QFETCH(int, accorciate);
    QFETCH(QString, domanda);
    QFETCH(QString, messaggio);
    EsitoScambio esito;
    esito.schede = schede;
    esito.accorciate = accorciate;
    esito.primaPosizione = 7;
    QCOMPARE(domandaImportazione(schede), domanda);
    QCOMPARE(messaggioImportazione(esito), messaggio);
}

QTEST_GUILESS_MAIN(TestScambioVCard)
#include "TestScambioVCard.moc"
