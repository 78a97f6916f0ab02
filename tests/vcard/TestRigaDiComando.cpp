#include "app/RigaDiComando.h"

#include "archive/MessaggiArchivio.h"
#include "export/TfrmExpContatti.h"
#include "support/FakeFileDialogService.h"
#include "support/FakeMessageService.h"
#include "support/SchedeDiProva.h"
#include "ui/ActiveLabel.h"
#include "vcard/CodecVCard.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace SchedeDiProva;

class TestRigaDiComando : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void analizza_data();
    void analizza();
    void esegui_data();
    void esegui();
    void csvComeLaFinestra_data();
    void csvComeLaFinestra();
    void programmaSenzaDisplay();

private:
    QTemporaryDir m_app;
    QTemporaryDir m_lavoro;
    QString m_cartellaPrima;
    QString pro() const { return ArchiveFile::archivePath(m_app.path()); }
};

namespace {

const QByteArray kDueSchede = "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Rossi;Mario;;;\r\nEND:VCARD\r\n"
                              "BEGIN:VCARD\r\nVERSION:4.0\r\nN:\xCE\xA9mega;;;;\r\nEND:VCARD\r\n";

QStringList file(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

void TestRigaDiComando::init()
{
    QDir(m_app.path()).removeRecursively();
    QDir(m_lavoro.path()).removeRecursively();
    QDir().mkpath(m_app.path());
    QDir().mkpath(m_lavoro.path());
    m_cartellaPrima = QDir::currentPath();
    QDir::setCurrent(m_lavoro.path());
}

void TestRigaDiComando::cleanup()
{
    QDir::setCurrent(m_cartellaPrima);
}

void TestRigaDiComando::analizza_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("azione");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("errore");

    using R = RigaDiComando;
    QTest::newRow("nessuno") << QStringList{} << int(R::Finestre) << QString() << QString();
    QTest::newRow("un file da aprire") << QStringList{"a.vcf"} << int(R::Finestre) << QStringLiteral("a.vcf")
                                       << QString();
    QTest::newRow("opzioni di Qt") << QStringList{"-platform", "offscreen"} << int(R::Finestre) << QString()
                                   << QString();
    QTest::newRow("opzioni di Qt con due trattini")
        << QStringList{"--style=fusion"} << int(R::Finestre) << QString() << QString();
    QTest::newRow("aiuto") << QStringList{"--help"} << int(R::Aiuto) << QString() << QString();
    QTest::newRow("-h") << QStringList{"-h"} << int(R::Aiuto) << QString() << QString();
    QTest::newRow("esporta vCard") << QStringList{"--esporta-vcard", "a b.vcf"} << int(R::EsportaVCard)
                                   << QStringLiteral("a b.vcf") << QString();
    QTest::newRow("esporta CSV con =") << QStringList{"--esporta-csv=x.csv"} << int(R::EsportaCsv)
                                       << QStringLiteral("x.csv") << QString();
    QTest::newRow("importa") << QStringList{"--importa-vcard", "/tmp/c.vcf"} << int(R::ImportaVCard)
                             << QStringLiteral("/tmp/c.vcf") << QString();
    QTest::newRow("manca il file") << QStringList{"--importa-vcard"} << int(R::Sbagliata) << QString()
                                   << QStringLiteral("Manca il nome del file dopo --importa-vcard");
    QTest::newRow("file vuoto con =") << QStringList{"--esporta-vcard="} << int(R::Sbagliata) << QString()
                                      << QStringLiteral("Manca il nome del file dopo --esporta-vcard");
    QTest::newRow("argomento in più") << QStringList{"--esporta-csv", "a", "b"} << int(R::Sbagliata) << QString()
                                      << QStringLiteral("Argomento in più dopo --esporta-csv a: b");
    QTest::newRow("opzione sconosciuta") << QStringList{"--esporta-xls", "a"} << int(R::Sbagliata) << QString()
                                         << QStringLiteral("Opzione sconosciuta: --esporta-xls");
}

void TestRigaDiComando::analizza()
{
    QFETCH(QStringList, argomenti);
    QFETCH(int, azione);
    QFETCH(QString, file);
    QFETCH(QString, errore);
    const RigaDiComando riga = leggiRigaDiComando(argomenti);
    QCOMPARE(int(riga.azione), azione);
    QCOMPARE(riga.file, file);
    QCOMPARE(riga.errore, errore);
}

void TestRigaDiComando::esegui_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<QByteArray>("inFile"); // what "in.vcf" in the working folder holds; "<manca>": nothing
    QTest::addColumn<int>("stato");
    QTest::addColumn<QString>("uscita"); // %1 the working folder, %2 the archive, as the program shows them
    QTest::addColumn<QString>("errori");
    QTest::addColumn<int>("schedeDopo"); // cards in the archive afterwards

    QTest::newRow("esporta vCard, nome relativo")
        << QStringList{"--esporta-vcard", "rubrica.vcf"} << QByteArray("<manca>") << 0
        << QStringLiteral("Esportati 3 contatti da \"%2\" in \"%1/rubrica.vcf\".\n") << QString() << 3;
    QTest::newRow("esporta CSV, nome relativo")
        << QStringList{"--esporta-csv", "sub/../rubrica.csv"} << QByteArray("<manca>") << 0
        << QStringLiteral("Esportati 3 contatti da \"%2\" in \"%1/rubrica.csv\".\n") << QString() << 3;
    QTest::newRow("importa") << QStringList{"--importa-vcard=in.vcf"} << kDueSchede << 0
                             << QStringLiteral("Importati 2 contatti da \"%1/in.vcf\" in \"%2\", dalla posizione 4 "
                                               "(accorciati: 1).\n")
                             << QString() << 5;
    QTest::newRow("importa un file binario")
        << QStringList{"--importa-vcard", "in.vcf"} << QByteArray("\0\1\2\3GIF89a", 10) << 1 << QString()
        << QStringLiteral("Attenzione: il file \"%1/in.vcf\" non è un file "
                          "vCard (.vcf).\n")
        << 3;
    QTest::newRow("importa un file che non c'è")
        << QStringList{"--importa-vcard", "in.vcf"} << QByteArray("<manca>") << 1 << QString()
        << QStringLiteral("Attenzione: impossibile leggere il file \"%1/in.vcf\" (") << 3;
    QTest::newRow("importa /dev/zero") << QStringList{"--importa-vcard", "/dev/zero"} << QByteArray("<manca>") << 1
                                       << QString()
                                       << QStringLiteral("Attenzione: «/dev/zero» non è un file vCard leggibile.\n")
                                       << 3;
    QTest::newRow("esporta in una cartella che non c'è")
        << QStringList{"--esporta-vcard", "manca/x.vcf"} << QByteArray("<manca>") << 1 << QString()
        << QStringLiteral("Attenzione: impossibile scrivere il file \"%1/manca/x.vcf\" (") << 3;
    QTest::newRow("esporta sull'archivio")
        << QStringList{"--esporta-csv", "<archivio>"} << QByteArray("<manca>") << 1 << QString()
        << QStringLiteral("Attenzione: il file \"%2\" è l'archivio dei contatti "
                          "e non può essere sostituito da un'esportazione.\n")
        << 3;
    QTest::newRow("aiuto") << QStringList{"--help"} << QByteArray("<manca>") << 0
                           << QStringLiteral("Uso: Carnetto [--esporta-vcard FILE | --esporta-csv FILE | "
                                             "--importa-vcard FILE |\n"
                                             "               --sincronizza [URL UTENTE] [--certificato SHA256] | --help]\n")
                           << QString() << 3;
    QTest::newRow("comando sbagliato") << QStringList{"--esporta-vcard"} << QByteArray("<manca>") << 2 << QString()
                                       << QStringLiteral("Manca il nome del file dopo --esporta-vcard\nUso: Carnetto")
                                       << 3;
}

void TestRigaDiComando::esegui()
{
    QFETCH(QStringList, argomenti);
    QFETCH(QByteArray, inFile);
    QFETCH(int, stato);
    QFETCH(QString, uscita);
    QFETCH(QString, errori);
    QFETCH(int, schedeDopo);
#ifdef Q_OS_WIN
    if (argomenti.contains(QStringLiteral("/dev/zero")))
        QSKIP("Windows has no /dev/zero");
#endif

    QByteArray prima;
    for (int n = 1; n <= 3; ++n)
        prima += byte(schedaTipica(n));
    QVERIFY(scrivi(pro(), prima));
    const QString lavoro = m_lavoro.path();
    if (inFile != "<manca>")
        QVERIFY(scrivi(lavoro + QStringLiteral("/in.vcf"), inFile));
    argomenti.replaceInStrings(QStringLiteral("<archivio>"), pro());
    auto riempi = [&](QString testo) {
        return QDir::toNativeSeparators(testo.replace(QLatin1String("%1"), lavoro).replace(QLatin1String("%2"), pro()));
    };

    QString testoOut;
    QString testoErr;
    QTextStream out(&testoOut);
    QTextStream err(&testoErr);
    QCOMPARE(eseguiRigaDiComando(leggiRigaDiComando(argomenti), m_app.path(), out, err), stato);
    if (uscita.isEmpty())
        QCOMPARE(testoOut, QString());
    else
        QVERIFY2(testoOut.startsWith(riempi(uscita)), qPrintable(testoOut));
    if (errori.isEmpty())
        QCOMPARE(testoErr, QString());
    else
        QVERIFY2(testoErr.startsWith(riempi(errori)), qPrintable(testoErr));

    const QByteArray dopo = leggi(pro());
    QCOMPARE(dopo.size(), schedeDopo * kRecord);
    QCOMPARE(dopo.first(prima.size()), prima);
    QCOMPARE(file(m_app.path()), QStringList{QStringLiteral("Contatti.pro")});

    if (argomenti.first() == QLatin1String("--esporta-vcard") && stato == 0) {
        const LetturaVCard letta = leggiVCard(leggi(lavoro + QStringLiteral("/rubrica.vcf")));
        QCOMPARE(letta.schede.size(), 3);
        QCOMPARE(letta.schede[2], testiTipici(3));
    }
    if (argomenti.first() == QLatin1String("--esporta-csv") && stato == 0) {
        const QList<QByteArray> righe = leggi(lavoro + QStringLiteral("/rubrica.csv")).split('\n');
        QCOMPARE(righe.size(), 5); // header, three cards, nothing after the last CRLF
        QVERIFY(righe[3].startsWith("3,\"Cognom\xE8 3\",\"Nome 3\","));
    }
}

void TestRigaDiComando::csvComeLaFinestra_data()
{
    QTest::addColumn<QByteArray>("archivio");
    QByteArray tipiche;
    for (int n = 1; n <= 12; ++n)
        tipiche += byte(schedaTipica(n));
    // Quotes, commas, blanks and characters beyond ASCII in the cells: each decides a cell's form.
    TestiScheda strana;
    strana[Cognome] = QStringLiteral("D'Amico, \"Pino\"");
    strana[Citta] = QStringLiteral("Forlì");
    strana[Note] = QStringLiteral("prezzo 5 €\tnetto");
    TSchedaContatto s{};
    schedaDaTesti(s, strana);
    QTest::newRow("schede varie") << tipiche + byte(s);
    QTest::newRow("archivio vuoto") << QByteArray();
}

// The command's CSV and the one the export window saves right after it opens on the "Tutti" view, byte for byte.
void TestRigaDiComando::csvComeLaFinestra()
{
    QFETCH(QByteArray, archivio);
    QVERIFY(scrivi(pro(), archivio));
    const QString daFinestra = m_lavoro.path() + QStringLiteral("/finestra.csv");
    {
        FakeMessageService messaggi;
        FakeFileDialogService dialogo;
        dialogo.answers = {daFinestra};
        TfrmExpContatti finestra(m_app.path());
        finestra.show();
        auto* csv = finestra.findChild<ActiveLabel*>(QStringLiteral("imgCSV"));
        QVERIFY(csv);
        QTest::mouseRelease(csv, Qt::LeftButton, {}, csv->rect().center());
        QCOMPARE(dialogo.requests.size(), 1);
        QCOMPARE(messaggi.entries.size(), 1);
    }
    QString testoOut;
    QString testoErr;
    QTextStream out(&testoOut);
    QTextStream err(&testoErr);
    QCOMPARE(eseguiRigaDiComando(leggiRigaDiComando({QStringLiteral("--esporta-csv"), QStringLiteral("riga.csv")}),
                                 m_app.path(), out, err),
             0);
    QCOMPARE(testoErr, QString());
    const QByteArray atteso = leggi(daFinestra);
    QVERIFY(!atteso.isEmpty());
    QCOMPARE(leggi(m_lavoro.path() + QStringLiteral("/riga.csv")), atteso);
    QCOMPARE(leggi(pro()), archivio);
}

// The real program, from a folder of its own, with no display to open: the commands must not need one.
void TestRigaDiComando::programmaSenzaDisplay()
{
    // The build's path has no drive letter on Windows: it lies on the drive of the folder the test started in.
    const QString costruito = QDir(m_cartellaPrima).absoluteFilePath(QStringLiteral(CARNETTO_EXE));
    const QString nomeProgramma = QFileInfo(costruito).fileName();
    const QString programma = m_app.path() + u'/' + nomeProgramma;
    QVERIFY(QFile::copy(costruito, programma));
    QVERIFY(scrivi(pro(), archivio(4)));
    QVERIFY(scrivi(m_lavoro.path() + QStringLiteral("/nuovi.vcf"), kDueSchede));

    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.remove(QStringLiteral("DISPLAY"));
    ambiente.remove(QStringLiteral("WAYLAND_DISPLAY"));
    ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    auto esegui = [&](const QStringList& argomenti, QByteArray& out, QByteArray& err) {
        QProcess p;
        p.setProcessEnvironment(ambiente);
        p.setWorkingDirectory(m_lavoro.path());
        p.start(programma, argomenti);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return -100;
        }
        out = p.readAllStandardOutput();
        err = p.readAllStandardError();
#ifdef Q_OS_WIN
        // The C library's text mode ends the console's lines in CR LF.
        out.replace("\r\n", "\n");
        err.replace("\r\n", "\n");
#endif
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -99;
    };

    QByteArray out;
    QByteArray err;
    QCOMPARE(esegui({"--importa-vcard", "nuovi.vcf"}, out, err), 0);
    QCOMPARE(QString::fromUtf8(out),
             QDir::toNativeSeparators(QStringLiteral("Importati 2 contatti da \"%1/nuovi.vcf\" in \"%2\", dalla "
                                                     "posizione 5 (accorciati: 1).\n")
                                          .arg(m_lavoro.path(), pro())));
    QCOMPARE(err, QByteArray());

    QCOMPARE(esegui({"--esporta-vcard", "tutti.vcf"}, out, err), 0);
    QCOMPARE(QString::fromUtf8(out),
             QDir::toNativeSeparators(
                 QStringLiteral("Esportati 6 contatti da \"%1\" in \"%2/tutti.vcf\".\n").arg(pro(), m_lavoro.path())));
    QCOMPARE(leggiVCard(leggi(m_lavoro.path() + QStringLiteral("/tutti.vcf"))).schede.size(), 6);

    QCOMPARE(esegui({"--esporta-csv", "tutti.csv"}, out, err), 0);
    QCOMPARE(leggi(m_lavoro.path() + QStringLiteral("/tutti.csv")).count('\n'), 7);

    const QByteArray primaDelGuasto = leggi(pro());
    QCOMPARE(esegui({"--importa-vcard", "tutti.csv"}, out, err), 1);
    QCOMPARE(out, QByteArray());
    QVERIFY(err.startsWith("Attenzione: il file"));
    QCOMPARE(leggi(pro()), primaDelGuasto);

    QCOMPARE(esegui({"--help"}, out, err), 0);
    QVERIFY(out.contains("--esporta-csv FILE"));
    QCOMPARE(esegui({"--esportavcard"}, out, err), 2);
    QVERIFY(err.startsWith("Opzione sconosciuta: --esportavcard\nUso:"));

    QCOMPARE(file(m_app.path()), QStringList({nomeProgramma, QStringLiteral("Contatti.pro")}));
    QCOMPARE(file(m_lavoro.path()),
             QStringList({QStringLiteral("nuovi.vcf"), QStringLiteral("tutti.csv"), QStringLiteral("tutti.vcf")}));
}

QTEST_MAIN(TestRigaDiComando)
#include "TestRigaDiComando.moc"
