#include "archive/ArchiveLock.h"
#include "archive/ModificheArchivio.h"
#include "backup/Backup.h"
#include "cards/ArchivioSchede.h"
#include "vcard/ScambioVCard.h"

#include "support/SchedeDiProva.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace SchedeDiProva;

namespace {

enum Scrittore { Salva, Elimina, Importa, Modifiche, Ripristina };

// One writer over the archive in `app`, as its window or the command line calls it: a save of typical card 7
// over card 2, a deletion of card 2, an import of typical card 8, a synchronisation's removal of card 1, a
// restore of five cards. Whether it wrote, and the message shown when its lock stopped it.
std::pair<bool, QString> scrivi(Scrittore s, const QString& app)
{
    QString problema;
    if (s == Salva || s == Elimina) {
        const EsitoScrittura e = s == Elimina ? elimina(app, QStringLiteral("2"), registrata(app))
                                              : salva(app, testiTipici(7), QStringLiteral("2"), registrata(app));
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
// link, Contatti.lock as anything but a regular file. Every writer writes only its own files and says at once
// what is wrong.
class TestFileAccanto : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString app() const { return m_dir->path(); }
    QString pro() const { return ArchiveFile::archivePath(app()); }

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
        const std::pair<const char*, const char*> tipi[]{{"fifo", "(è una FIFO)"},
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
        } else {
            QVERIFY(tipo == u"cartella" ? QDir().mkdir(blocco) : QFile::link(tipo, blocco));
        }
        QElapsedTimer tempo;
        tempo.start();
        const auto [riuscito, messaggio] = scrivi(scrittore, app());
        QVERIFY(tempo.elapsed() < 1000);
        QVERIFY(!riuscito);
        QVERIFY2(messaggio.startsWith(u"Il file Contatti.lock nella cartella dell'archivio ") &&
                     messaggio.contains(detto) && messaggio.contains(u"eliminarlo e riprovare"),
                 qPrintable(messaggio));
        QCOMPARE(leggi(pro()), archivio(3));
        QVERIFY(!QFileInfo::exists(ArchiveFile::tempPath(app())));
    }
};

QTEST_GUILESS_MAIN(TestFileAccanto)
#include "TestFileAccanto.moc"
