#include "archive/ArchiveLock.h"
#include "archive/GiornaleArchivio.h"
#include "archive/ModificheArchivio.h"
#include "backup/Backup.h"
#include "cards/ArchivioSchede.h"
#include "vcard/ScambioVCard.h"

#include "support/SchedeDiProva.h"

#include <QElapsedTimer>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace SchedeDiProva;
using Tipo = OperazioneGiornale::Tipo;

namespace {

const QByteArray kUno(32, '1');
const QByteArray kDue(32, 'b');
const QByteArray kRighe = "S " + kUno + ' ' + kDue + "\nR " + kDue + "\nA " + kUno + '\n';

enum Scrittore { Salva, Aggiungi, Elimina, Importa, Modifiche, Ripristina };

// One writer over the archive in `app`, as its window or the command line calls it: a save over card 2 or of a
// new card (typical card 7), a deletion of card 2, an import of typical card 8, a synchronisation's removal of
// card 1, a restore of five cards. Whether it wrote, and the message shown when its lock stopped it.
std::pair<bool, QString> scrivi(Scrittore s, const QString& app)
{
    QString problema;
    if (s == Salva || s == Aggiungi || s == Elimina) {
        const EsitoScrittura e =
            s == Elimina ? elimina(app, QStringLiteral("2"), registrata(app))
                         : salva(app, testiTipici(7), s == Salva ? QStringLiteral("2") : QString(), registrata(app));
        return {e.tipo <= EsitoScrittura::Eliminata, e.messaggio};
    }
    if (s == Importa) {
        const EsitoScambio e = aggiungiSchede(app, {testiTipici(8)});
        return {e.riuscito(), messaggioScambio(e, {})};
    }
    if (s == Modifiche) {
        const ModificheArchivio m{.rimozioni = {{0, registrata(app, 1)}}};
        return {applicaModifiche(app, m, &problema) == EsitoModifiche::Fatte, problema};
    }
    SchedeDiProva::scrivi(app + QStringLiteral("/copia.bkc"), archivio(5));
    const auto esito = Backup::ripristinaBackup(app, app + QStringLiteral("/copia.bkc"), {}, &problema);
    return {esito == Backup::Ripristino::Riuscito, problema};
}

} // namespace

// What another program or user may leave beside the archive under the names the writers use: Contatti.tmp as a
// link, Contatti.lock or Contatti.giornale as anything but a regular file. Every writer writes only its own
// files and says at once what is wrong. And the journal: its lines, what stops its reading, and that in a
// synchronised folder each writer journals what it did.
class TestFileAccanto : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString app() const { return m_dir->path(); }
    QString pro() const { return ArchiveFile::archivePath(app()); }
    QString giornale() const { return app() + QStringLiteral("/Contatti.giornale"); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(SchedeDiProva::scrivi(pro(), archivio(3)));
    }

    void tmpCollegato_data()
    {
        QTest::addColumn<Scrittore>("scrittore");
        QTest::addColumn<bool>("sospeso");
        for (const auto& [nome, s] :
             {std::pair{"elimina", Elimina}, {"importa", Importa}, {"sincronizza", Modifiche}}) {
            QTest::addRow("%s, link a un file", nome) << s << false;
            QTest::addRow("%s, link sospeso", nome) << s << true;
        }
    }
    void tmpCollegato()
    {
        QFETCH(Scrittore, scrittore);
        QFETCH(bool, sospeso);
        const QString vittima = app() + QStringLiteral("/vittima");
        QVERIFY(sospeso || SchedeDiProva::scrivi(vittima, "intatto"));
        QVERIFY(QFile::link(vittima, ArchiveFile::tempPath(app())));
        const bool riuscito = scrivi(scrittore, app()).first;
        QCOMPARE(leggi(vittima), sospeso ? QByteArray("<manca>") : QByteArray("intatto"));
        QVERIFY(riuscito);
        QVERIFY(!QFileInfo(ArchiveFile::tempPath(app())).isSymLink());
    }

    void bloccoGuasto_data()
    {
        QTest::addColumn<Scrittore>("scrittore");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("detto");
        // Any other name: a symbolic link to it.
        // rmlock: the second lock QLockFile takes to remove an abandoned one, as a FIFO.
        const std::pair<const char*, const char*> tipi[]{{"fifo", "(è una FIFO)"},
                                                         {"rmlock", "Contatti.lock.rmlock nella cartella dell'archivio "
                                                                    "non è un file normale (è una FIFO)"},
                                                         {"cartella", "(è una cartella)"},
                                                         {"manca", "(è un collegamento simbolico)"},
                                                         {"Contatti.pro", "(è un collegamento simbolico)"},
                                                         {"illeggibile", "non è leggibile da questo utente"}};
        for (Scrittore s : {Salva, Elimina, Importa, Modifiche, Ripristina})
            for (const auto& [tipo, detto] : tipi)
                QTest::addRow("%d, %s", s, tipo) << s << QString::fromUtf8(tipo) << QString::fromUtf8(detto);
    }
    void bloccoGuasto()
    {
        QFETCH(Scrittore, scrittore);
        QFETCH(QString, tipo);
        QFETCH(QString, detto);
        const QString blocco = ArchiveLock::lockPath(pro());
        if (tipo == u"illeggibile") {
            if (::geteuid() == 0)
                QSKIP("root reads every file");
            QVERIFY(SchedeDiProva::scrivi(blocco, "123\nCarnetto\n"));
            QVERIFY(QFile::setPermissions(blocco, QFileDevice::WriteOwner));
        } else if (tipo == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(blocco).constData(), 0600), 0);
        } else if (tipo == u"rmlock") {
            const QByteArray abbandonato = "4194000\nCarnetto\n" + QSysInfo::machineHostName().toUtf8() + '\n';
            QVERIFY(SchedeDiProva::scrivi(blocco, abbandonato));
            QCOMPARE(::mkfifo(QFile::encodeName(blocco + QStringLiteral(".rmlock")).constData(), 0600), 0);
        } else {
            QVERIFY(tipo == u"cartella" ? QDir().mkdir(blocco) : QFile::link(tipo, blocco));
        }
        QElapsedTimer tempo;
        tempo.start();
        const auto [riuscito, messaggio] = scrivi(scrittore, app());
        QVERIFY(tempo.elapsed() < 1000);
        QVERIFY(!riuscito);
        QVERIFY2(messaggio.startsWith(u"Il file Contatti.lock") && messaggio.contains(detto) &&
                     messaggio.contains(u"eliminarlo e riprovare"),
                 qPrintable(messaggio));
        QCOMPARE(leggi(pro()), archivio(3));
        QVERIFY(!QFileInfo::exists(ArchiveFile::tempPath(app())));
    }

    // The identity is part of the file's format: a journal written by one version is read by the next.
    void identitaStabile() { QCOMPARE(identitaRecord(TSchedaContatto{}), "6bd46d96b483c76fdfbb3f4f5086b367"); }

    void lettura_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<int>("righe"); // lines taken, each as long as in kRighe
        QTest::addColumn<bool>("integro");
        QTest::newRow("nessun giornale") << QByteArray("<manca>") << 0 << true;
        QTest::newRow("tre righe") << kRighe << 3 << true;
        QTest::newRow("lettera sconosciuta") << kRighe + "X " + kUno + '\n' + kRighe << 3 << false;
        QTest::newRow("ultima riga a metà") << kRighe + "A " + kUno.left(10) << 3 << false;
        QTest::newRow("identità corta") << "R " + kUno.left(31) + '\n' + kRighe << 0 << false;
        QTest::newRow("maiuscole") << "A " + kUno.left(31) + "F\n" << 0 << false;
        QTest::newRow("riga vuota") << kRighe + '\n' + kRighe << 3 << false;
    }
    void lettura()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(int, righe);
        QFETCH(bool, integro);
        QVERIFY(contenuto == "<manca>" || SchedeDiProva::scrivi(giornale(), contenuto));
        const Giornale letto = leggiGiornale(app());
        QCOMPARE(letto.operazioni.size(), righe);
        QCOMPARE(letto.fine, righe ? kRighe.size() : 0);
        QCOMPARE(letto.integro, integro);
        if (righe)
            QCOMPARE(letto.operazioni[0], (OperazioneGiornale{Tipo::Sostituita, kUno, kDue}));
    }

    // What is written comes back; a synchronisation takes the head, and lines appended since stay.
    void registraEConsuma()
    {
        QVERIFY(SchedeDiProva::scrivi(app() + QStringLiteral("/Contatti.sync"), "{}"));
        const QList<OperazioneGiornale> prime{{Tipo::Sostituita, kUno, kDue}, {Tipo::Rimossa, kDue, {}}};
        const QList<OperazioneGiornale> dopo{{Tipo::Aggiunta, {}, kUno}};
        QVERIFY(registraNelGiornale(app(), prime));
        const Giornale letto = leggiGiornale(app());
        QCOMPARE(letto.operazioni, prime);
        QVERIFY(registraNelGiornale(app(), dopo));
        QVERIFY(!consumaGiornale(app(), letto.fine - 1)); // not at a line's end: not the journal that was read
        QVERIFY(consumaGiornale(app(), letto.fine));
        QCOMPARE(leggiGiornale(app()).operazioni, dopo);
        QVERIFY(consumaGiornale(app(), leggiGiornale(app()).fine));
        QVERIFY(!QFileInfo::exists(giornale()));
    }

    // Nothing but a regular file is ever written, and a FIFO hangs neither the writer nor the reader.
    void soloUnFileNormale_data()
    {
        QTest::addColumn<QString>("tipo");
        for (const char* tipo : {"link", "link sospeso", "fifo"})
            QTest::newRow(tipo) << QString::fromUtf8(tipo);
    }
    void soloUnFileNormale()
    {
        QFETCH(QString, tipo);
        const QString vittima = app() + QStringLiteral("/vittima");
        QVERIFY(SchedeDiProva::scrivi(app() + QStringLiteral("/Contatti.sync"), "{}"));
        QVERIFY(tipo != u"link" || SchedeDiProva::scrivi(vittima, "intatto"));
        QVERIFY(!tipo.startsWith(u"link") || QFile::link(vittima, giornale()));
        QVERIFY(tipo != u"fifo" || ::mkfifo(QFile::encodeName(giornale()).constData(), 0600) == 0);
        QElapsedTimer tempo;
        tempo.start();
        QVERIFY(!registraNelGiornale(app(), {{Tipo::Aggiunta, {}, kUno}}));
        QVERIFY(!leggiGiornale(app()).integro);
        QVERIFY(tempo.elapsed() < 1000);
        QCOMPARE(leggi(vittima), tipo == u"link" ? QByteArray("intatto") : QByteArray("<manca>"));
    }
    // Each writer's lines are the identities of the records before and after; the synchronisation's own writer
    // and a folder that is not synchronised leave none; a restore voids the journal.
    void giornaleDegliScrittori()
    {
        const QByteArray settima = identitaRecord(schedaTipica(7));
        const QList<OperazioneGiornale> attese{{Tipo::Sostituita, identitaRecord(scheda(2)), settima},
                                               {Tipo::Aggiunta, {}, settima},
                                               {Tipo::Rimossa, settima, {}},
                                               {Tipo::Aggiunta, {}, identitaRecord(schedaTipica(8))}};
        for (bool sincronizzata : {true, false}) {
            init();
            QVERIFY(!sincronizzata || SchedeDiProva::scrivi(app() + QStringLiteral("/Contatti.sync"), "{}"));
            for (Scrittore s : {Salva, Aggiungi, Elimina, Importa, Modifiche})
                QVERIFY(scrivi(s, app()).first);
            QCOMPARE(leggiGiornale(app()).operazioni, sincronizzata ? attese : QList<OperazioneGiornale>{});
            QCOMPARE(QFileInfo::exists(giornale()), sincronizzata);
            QVERIFY(scrivi(Ripristina, app()).first);
            QVERIFY(!QFileInfo::exists(giornale()));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileAccanto)
#include "TestFileAccanto.moc"
