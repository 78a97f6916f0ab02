#include "archive/ArchiveFile.h"
#include "support/CertificatoDiProva.h"
#include "support/FakeMessageService.h"
#include "support/SchedeDiProva.h"
#include "support/ServerCardDav.h"
#include "sync/TfrmSincronizza.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace SchedeDiProva;

namespace {

// "Cognome|Nome" per card.
QByteArray archivioDi(const QStringList& nomi)
{
    QList<TestiScheda> schede;
    for (const QString& n : nomi) {
        TestiScheda t;
        t[Cognome] = n.section(u'|', 0, 0);
        t[Nome] = n.section(u'|', 1, 1);
        schede << t;
    }
    return archivioDaTesti(schede);
}

// The program's file name ("Carnetto", or "Carnetto.exe" on Windows) in that folder.
QString programmaIn(const QString& cartella)
{
    return cartella + u'/' + QFileInfo(QStringLiteral(CARNETTO_EXE)).fileName();
}

QStringList cognomi(const QString& cartella)
{
    QStringList out;
    const QByteArray byte = leggi(ArchiveFile::archivePath(cartella));
    for (int i = 0; i < byte.size() / kRecord; ++i)
        out << testiDaScheda(record(byte, i))[Cognome];
    out.sort();
    return out;
}

} // namespace

// The synchronisation window and the command line, each driven as a person would, against a real radicale.
class TestTfrmSincronizza : public QObject
{
    Q_OBJECT

    ServerCardDav m_server{ServerCardDav::Tipo::Radicale};
    QTemporaryDir m_dir;
    std::unique_ptr<FakeMessageService> m_messaggi;
    std::unique_ptr<TfrmSincronizza> m_finestra;

    // Runs a copy of the program beside the archive with --sincronizza and these arguments; its exit status, its
    // output and errors in `uscita`. The password from CARNETTO_PASSWORD, or from `ingresso` when given.
    int esegui(const QStringList& argomenti, QByteArray* uscita, const QByteArray& ingresso = {})
    {
        const QString programma = programmaIn(m_dir.path());
        if (!QFile::exists(programma))
            QFile::copy(QStringLiteral(CARNETTO_EXE), programma);
        QProcess p;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        if (ingresso.isEmpty())
            ambiente.insert(QStringLiteral("CARNETTO_PASSWORD"), m_server.password());
        p.setProcessEnvironment(ambiente);
        p.start(programma, QStringList{u"--sincronizza"_qs} + argomenti);
        p.write(ingresso);
        p.closeWriteChannel();
        p.waitForFinished(30000);
        // A Windows console's lines end in CR LF.
        *uscita = QByteArray(p.readAllStandardOutput() + p.readAllStandardError()).replace("\r\n", "\n");
        return p.exitCode();
    }

    // The account typed in the window as a person would.
    void scriviConto(const QString& server, const QString& utente, const QString& password)
    {
        QTest::keyClicks(m_finestra->txtServer, server);
        QTest::keyClicks(m_finestra->txtUtente, utente);
        QTest::keyClicks(m_finestra->txtPassword, password);
    }
    // A new address book on the server, and a first synchronisation of these cards with it from the window.
    QUrl primaSincronizzazione(const QString& nome, const QStringList& schede)
    {
        const QUrl rubrica = m_server.nuovaRubrica(nome);
        [&] { QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi(schede))); }();
        m_finestra->show();
        scriviConto(rubrica.toString(), m_server.utente(), m_server.password());
        sincronizza();
        return rubrica;
    }
    // "Cerca rubriche" for this address ends at once with one message that holds `detto`; nothing is sent.
    void cercaERifiuta(const QString& server, const QString& detto)
    {
        m_finestra->show();
        QTest::keyClicks(m_finestra->txtServer, server);
        QTest::mouseClick(m_finestra->cmdCerca, Qt::LeftButton);
        QVERIFY(!m_finestra->inCorso());
        QCOMPARE(m_messaggi->entries.size(), 1);
        QVERIFY2(m_messaggi->entries[0].text.contains(detto), qPrintable(m_messaggi->entries[0].text));
    }
    void sincronizza()
    {
        QTest::mouseClick(m_finestra->cmdSincronizza, Qt::LeftButton);
        QVERIFY(m_finestra->inCorso());
        QTRY_VERIFY_WITH_TIMEOUT(!m_finestra->inCorso(), 20000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (ServerCardDav::programma(ServerCardDav::Tipo::Radicale).isEmpty())
            QSKIP("radicale is not installed");
        QVERIFY2(m_server.avvia(), qPrintable(m_server.errore()));
    }
    void init()
    {
        m_messaggi = std::make_unique<FakeMessageService>();
        m_finestra = std::make_unique<TfrmSincronizza>(m_dir.path());
        QFile::remove(ArchiveFile::archivePath(m_dir.path()));
        QFile::remove(StatoSync::percorso(m_dir.path()));
    }
    void cleanup()
    {
        m_finestra.reset();
        m_messaggi.reset();
    }

    // A first synchronisation typed in the window, a second one that only needs the password, and a conflict
    // settled by keeping both cards.
    void sincronizzazioneDallaFinestra()
    {
        const QUrl rubrica = primaSincronizzazione(QStringLiteral("finestra"), {u"Rossi"_qs, u"Bianchi"_qs});
        QCOMPARE(m_finestra->lblRiepilogo->text(), u"Inviati 2, ricevuti 0, eliminati 0, conflitti 0"_qs);
        QCOMPARE(m_finestra->cmbRubrica->currentText(), u"finestra"_qs);
        QVERIFY(m_messaggi->entries.isEmpty());

        // Shown again: the account is remembered, the password only for this run of the program.
        m_finestra->close();
        m_finestra->show();
        QCOMPARE(m_finestra->txtServer->text(), rubrica.toString());
        QCOMPARE(m_finestra->txtPassword->text(), m_server.password());
        QVERIFY(!leggi(StatoSync::percorso(m_dir.path())).contains(m_server.password().toUtf8()));

        // Bianchi changed here and on the server: the person keeps both.
        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs, u"Bianchi|Anna"_qs})));
        QVERIFY(m_server.aggiungiRiga(rubrica, "N:Bianchi;", "NOTE:altrove"));
        m_messaggi->choices << 2;
        sincronizza();
        QCOMPARE(m_messaggi->entries.size(), 1);
        QCOMPARE(m_messaggi->entries[0].kind, FakeMessageService::Kind::Choice);
        QVERIFY(m_messaggi->entries[0].text.contains(u"Nome: qui \"Anna\", sul server \"\""_qs));
        QCOMPARE(m_finestra->lblRiepilogo->text(), u"Inviati 1, ricevuti 1, eliminati 0, conflitti 1"_qs);
        QCOMPARE(cognomi(m_dir.path()), (QStringList{u"Bianchi"_qs, u"Bianchi"_qs, u"Rossi"_qs}));
    }

    // The address typed again in another form finds the address book already synchronised: its state stays, and
    // a card edited meanwhile is the same contact, not a second one.
    void stessaRubricaAltraForma()
    {
        const QUrl rubrica = primaSincronizzazione(QStringLiteral("forma"), {u"Rossi"_qs, u"Bianchi"_qs, u"Verdi"_qs});
        QVERIFY(
            scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs, u"Bianchi|Anna"_qs, u"Verdi"_qs})));
        m_finestra->txtServer->clear();
        QTest::keyClicks(m_finestra->txtServer,
                         QStringLiteral("HTTP://127.0.0.1:%1%2").arg(rubrica.port()).arg(rubrica.path().chopped(1)));
        QTest::mouseClick(m_finestra->cmdCerca, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!m_finestra->inCorso(), 20000);
        QCOMPARE(m_finestra->cmbRubrica->count(), 1);
        sincronizza();
        QCOMPARE(m_finestra->lblRiepilogo->text(), u"Inviati 1, ricevuti 0, eliminati 0, conflitti 0"_qs);
        QCOMPARE(m_server.contatti(rubrica).size(), 3);
    }

    // A damaged Contatti.sync: the window says so and, once the person agrees, sets it aside and starts afresh,
    // linking the contacts both sides already share.
    void statoDanneggiato()
    {
        const QUrl rubrica = primaSincronizzazione(QStringLiteral("danneggiato"), {u"Rossi"_qs});
        QFile stato(StatoSync::percorso(m_dir.path()));
        QVERIFY(stato.open(QIODevice::WriteOnly));
        stato.write("{\"versione\": 2, \"voci\": [tronc");
        stato.close();

        m_messaggi->answers << false;
        QTest::mouseClick(m_finestra->cmdSincronizza, Qt::LeftButton);
        QVERIFY(!m_finestra->inCorso());
        QCOMPARE(m_messaggi->entries.size(), 1);
        QVERIFY(m_messaggi->entries[0].text.contains(u"Contatti.sync è danneggiato"_qs));
        QVERIFY(!QFile::exists(stato.fileName() + u".danneggiato"_qs));

        sincronizza();
        QVERIFY(QFile::exists(stato.fileName() + u".danneggiato"_qs));
        QCOMPARE(m_finestra->lblRiepilogo->text(), u"Inviati 0, ricevuti 0, eliminati 0, conflitti 0"_qs);
        QCOMPARE(m_server.contatti(rubrica).size(), 1);
        QVERIFY(StatoSync::leggi(m_dir.path(), nullptr).has_value());
    }

    // Two command lines on one folder at once: the second says so and sends nothing, and every new card reaches
    // the server once.
    void dueSincronizzazioniInsieme()
    {
        const QUrl rubrica = m_server.nuovaRubrica(QStringLiteral("insieme"));
        QTemporaryDir cartella;
        const QString programma = programmaIn(cartella.path());
        QVERIFY(QFile::copy(QStringLiteral(CARNETTO_EXE), programma));
        QStringList nomi;
        for (int i = 0; i < 100; ++i)
            nomi << QStringLiteral("Persona %1").arg(i);
        QVERIFY(scrivi(ArchiveFile::archivePath(cartella.path()), archivioDi(nomi)));
        QProcess processi[2];
        for (QProcess& p : processi) {
            QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
            ambiente.insert(QStringLiteral("CARNETTO_PASSWORD"), m_server.password());
            p.setProcessEnvironment(ambiente);
            p.start(programma, {u"--sincronizza"_qs, rubrica.toString(), m_server.utente()});
        }
        QList<int> uscite;
        for (QProcess& p : processi) {
            QVERIFY(p.waitForFinished(60000));
            uscite << p.exitCode();
            if (p.exitCode() != 0)
                QVERIFY(p.readAllStandardError().contains("Sincronizzazione già in corso"));
        }
        QVERIFY(uscite.contains(0));
        QCOMPARE(m_server.contatti(rubrica).size(), 100);
    }

    // A wrong password: the message, and the window can be used again.
    void passwordSbagliata()
    {
        const QUrl rubrica = m_server.nuovaRubrica(QStringLiteral("sbagliata"));
        m_finestra->show();
        scriviConto(rubrica.toString(), m_server.utente(), u"no"_qs);
        sincronizza();
        QCOMPARE(m_messaggi->texts(), QStringList{u"Il server non accetta il nome utente o la password."_qs});
        QVERIFY(m_finestra->cmdSincronizza->isEnabled());
        QVERIFY(!QFile::exists(StatoSync::percorso(m_dir.path())));
    }

    // The command line: a first synchronisation from the server's address finds several address books and
    // lists them (2); from the address book's own, it syncs (0); afterwards --sincronizza alone, the password
    // on standard input; a conflict is left for the window (3).
    void rigaDiComando()
    {
        const QUrl rubrica = m_server.nuovaRubrica(QStringLiteral("riga"));
        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs})));
        QByteArray uscita;
        QCOMPARE(esegui({m_server.base().toString(), m_server.utente()}, &uscita), 2);
        QVERIFY(uscita.contains(rubrica.toString().toUtf8()));
        QCOMPARE(esegui({rubrica.toString(), m_server.utente()}, &uscita), 0);
        QCOMPARE(uscita, QByteArray("Inviati 1, ricevuti 0, eliminati 0, conflitti 0\n"));

        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs, u"Verdi"_qs})));
        QCOMPARE(esegui({}, &uscita, m_server.password().toUtf8() + '\n'), 0);
        QCOMPARE(uscita, QByteArray("Inviati 1, ricevuti 0, eliminati 0, conflitti 0\n"));

        // Verdi changed here, and on the server by another client.
        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs, u"Verdi|Giuseppe"_qs})));
        QVERIFY(m_server.aggiungiRiga(rubrica, "N:Verdi;", "NOTE:altrove"));
        QCOMPARE(esegui({}, &uscita), 3);

        // Every card changed by another program: a question for the window, and nothing sent.
        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi|Mario"_qs, u"Verdi|Anna"_qs})));
        const QMap<QUrl, QByteArray> prima = m_server.contatti(rubrica);
        QCOMPARE(esegui({}, &uscita), 3);
        QVERIFY2(uscita.contains("risultano cambiate o eliminate"), uscita.constData());
        QCOMPARE(m_server.contatti(rubrica), prima);
    }

    // No password in the address: refused on the command line and in the window; a user name alone is taken as
    // the user, and never written.
    void credenzialiNellIndirizzo()
    {
        const QUrl rubrica = m_server.nuovaRubrica(QStringLiteral("credenziali"));
        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs})));
        QUrl conPassword = rubrica;
        conPassword.setUserInfo(u"utente:segreta"_qs);
        QByteArray uscita;
        QCOMPARE(esegui({conPassword.toString(), m_server.utente()}, &uscita), 1);
        QVERIFY2(uscita.contains("password"), uscita.constData());
        QVERIFY(!QFile::exists(StatoSync::percorso(m_dir.path())));

        QUrl conUtente = rubrica;
        conUtente.setUserName(m_server.utente());
        QCOMPARE(esegui({conUtente.toString(), m_server.utente()}, &uscita), 0);
        QVERIFY(!leggi(StatoSync::percorso(m_dir.path())).contains("utente@"));

        cercaERifiuta(conPassword.toString(), u"password"_qs);
    }

    // Plain http allowed to one host:port is not allowed to another port of the same host: asked again, and
    // refused here, nothing is sent.
    void httpPerHostPorta()
    {
        StatoSync stato;
        stato.rubrica = QUrl(u"http://casa.example/ab/"_qs);
        stato.httpPermessoPer = u"casa.example:80"_qs;
        QVERIFY(stato.scrivi(m_dir.path(), nullptr));
        m_messaggi->answers << false;
        cercaERifiuta(u"http://casa.example:8080/ab/"_qs, u"casa.example:8080"_qs);
    }

    // A self-signed certificate: the command line names its fingerprint and stops; --certificato accepts it, and
    // the state keeps it for the next runs; another certificate afterwards is refused as changed. The window
    // asks about that one, shows its fingerprint, and goes on once it is accepted.
    void certificatoNonRiconosciuto()
    {
        QTemporaryDir dir;
        const QByteArray impronta = nuovoCertificato(dir.path(), u"casa"_qs);
        QVERIFY(!impronta.isEmpty());
        ServerCardDav tls(ServerCardDav::Tipo::Radicale);
        tls.tls(dir.filePath(u"casa.pem"_qs), dir.filePath(u"casa.key"_qs));
        QVERIFY2(tls.avvia(), qPrintable(tls.errore()));
        const QUrl rubrica = tls.nuovaRubrica(QStringLiteral("tls"));
        QVERIFY(scrivi(ArchiveFile::archivePath(m_dir.path()), archivioDi({u"Rossi"_qs})));

        QByteArray uscita;
        QCOMPARE(esegui({rubrica.toString(), tls.utente()}, &uscita), 1);
        QVERIFY2(uscita.contains(QByteArray("--certificato " + impronta)), uscita.constData());
        QCOMPARE(
            esegui({rubrica.toString(), tls.utente(), u"--certificato"_qs, QString::fromLatin1(impronta)}, &uscita), 0);
        QVERIFY(leggi(StatoSync::percorso(m_dir.path())).contains(impronta));
        const int terza = esegui({}, &uscita);
        QVERIFY2(terza == 0, uscita.constData());
        // Another certificate on the same server afterwards: refused as changed.
        const QByteArray altra = nuovoCertificato(dir.path(), u"altra"_qs);
        tls.ferma();
        tls.tls(dir.filePath(u"altra.pem"_qs), dir.filePath(u"altra.key"_qs));
        QVERIFY2(tls.avvia(), qPrintable(tls.errore()));
        QCOMPARE(esegui({}, &uscita), 1);
        QVERIFY2(uscita.contains(QStringLiteral("è cambiato").toUtf8()) && uscita.contains(altra), uscita.constData());

        QFile::remove(StatoSync::percorso(m_dir.path()));
        m_finestra->show();
        scriviConto(rubrica.toString(), tls.utente(), tls.password());
        m_messaggi->answers << true;
        QTest::mouseClick(m_finestra->cmdSincronizza, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(m_messaggi->entries.size() == 1 && !m_finestra->inCorso(), 20000);
        QCOMPARE(m_messaggi->entries[0].kind, FakeMessageService::Kind::Question);
        QVERIFY(m_messaggi->entries[0].text.contains(QString::fromLatin1(altra)));
        QCOMPARE(m_finestra->lblRiepilogo->text(), u"Inviati 0, ricevuti 0, eliminati 0, conflitti 0"_qs);
        QVERIFY(leggi(StatoSync::percorso(m_dir.path())).contains(altra));
    }
};

QTEST_MAIN(TestTfrmSincronizza)
#include "TestTfrmSincronizza.moc"
