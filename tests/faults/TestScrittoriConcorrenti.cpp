#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"
#include "archive/BloccoSincronizzazione.h"
#include "cards/ArchivioSchede.h"
#include "support/SchedeDiProva.h"
#include "support/TestiAttesi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <map>

using namespace SchedeDiProva;

namespace {

// The driver's side of the stress test, run as a process of its own: `operazioni` saves, edits and deletions
// of its own cards, through the same functions the card window uses, each line of its output one thing it was
// told is done ("+ name note" saved, "- name" deleted). It tracks its cards' positions itself: only it deletes,
// and the others only append, so a card that turns up changed is a fault.
int scrittore(const QString& cartella, int operazioni)
{
    struct Scheda
    {
        qint64 posizione;
        TSchedaContatto byte;
    };
    std::map<QString, Scheda> mie;
    QTextStream out(stdout);
    int versione = 0;
    for (int i = 0; i < operazioni; ++i) {
        const QString nome = QStringLiteral("Driver %1").arg(i);
        TestiScheda testi;
        EsitoScrittura esito;
        if (i % 4 == 3 && !mie.empty()) {
            auto it = std::next(mie.begin(), i % mie.size());
            esito = elimina(cartella, QString::number(it->second.posizione), it->second.byte);
            if (esito.tipo != EsitoScrittura::Eliminata)
                return 10 + esito.tipo;
            const qint64 tolta = it->second.posizione;
            out << "- " << it->first << Qt::endl;
            mie.erase(it);
            for (auto& [_, s] : mie)
                s.posizione -= s.posizione > tolta ? 1 : 0;
            continue;
        }
        QString cognome = nome;
        QString posizione;
        TSchedaContatto caricata{};
        if (i % 4 == 1 && !mie.empty()) {
            const auto it = std::next(mie.begin(), i % mie.size());
            cognome = it->first;
            posizione = QString::number(it->second.posizione);
            caricata = it->second.byte;
        }
        testi[Cognome] = cognome;
        testi[Note] = QString::number(++versione);
        esito = salva(cartella, testi, posizione, caricata);
        if (esito.tipo != EsitoScrittura::Aggiunta && esito.tipo != EsitoScrittura::Modificata)
            return 10 + esito.tipo;
        mie[cognome] = {esito.posizione.toLongLong(), esito.scheda};
        out << "+ " << cognome << ' ' << testi[Note] << Qt::endl;
    }
    return 0;
}

// Takes a lock (the archive's, or the synchronisation's) and keeps it until killed.
int tieniBlocco(const QString& percorso)
{
    const ArchiveLock blocco(percorso, ArchiveLock::waitTime());
    QTextStream(stdout) << (blocco.state() == ArchiveLock::State::Held ? "preso" : "no") << Qt::endl;
    QThread::sleep(600);
    return 0;
}

QByteArray vcard(const QString& cognome)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + cognome.toUtf8() + ";;;;\r\nFN:" + cognome.toUtf8() +
           "\r\nEND:VCARD\r\n";
}

} // namespace

// Several programs write one archive at once: the card window's code in one process, the command line's
// import in others. Every card a writer was told is saved is there exactly once, every card it was told is
// deleted is gone, and nothing else changed; a lock left by a killed writer blocks nobody, and a live one
// makes the others wait, then fail cleanly.
class TestScrittoriConcorrenti : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_programma; // the real program, copied beside the archive it works on

    QProcess* avvia(const QStringList& argomenti, const QString& programma = {})
    {
        auto* p = new QProcess(this);
        p->start(programma.isEmpty() ? QCoreApplication::applicationFilePath() : programma, argomenti);
        return p;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_programma = m_dir.filePath(QStringLiteral("Carnetto"));
        QVERIFY(QFile::copy(QStringLiteral(CARNETTO_EXE), m_programma));
    }

    void scritturaContemporanea()
    {
        const QString archivio = ArchiveFile::archivePath(m_dir.path());
        QFile::remove(archivio);
        constexpr int kOperazioni = 300;
        constexpr int kImportazioni = 100;
        QProcess* driver = avvia({QStringLiteral("--scrittore"), m_dir.path(), QString::number(kOperazioni)});
        QStringList importate;
        for (int k = 0; k < kImportazioni; ++k) {
            const QString nome = QStringLiteral("Import %1").arg(k);
            const QString file = m_dir.filePath(QStringLiteral("%1.vcf").arg(k));
            QVERIFY(scrivi(file, vcard(nome)));
            QProcess importa;
            importa.start(m_programma, {QStringLiteral("--importa-vcard"), file});
            QVERIFY(importa.waitForFinished(30000));
            QVERIFY2(importa.exitCode() == 0, importa.readAllStandardError().constData());
            importate << nome;
        }
        QVERIFY(driver->waitForFinished(120000));
        QCOMPARE(driver->exitCode(), 0);

        // What the driver was told, replayed: its cards as they stand, with their last note.
        std::map<QString, QString> attese;
        // Windows writes its standard output's line ends as CR LF.
        for (const QByteArray& riga : driver->readAllStandardOutput().replace("\r\n", "\n").split('\n')) {
            if (riga.startsWith("+ ")) {
                const int spazio = riga.lastIndexOf(' ');
                attese[QString::fromUtf8(riga.mid(2, spazio - 2))] = QString::fromUtf8(riga.mid(spazio + 1));
            } else if (riga.startsWith("- ")) {
                attese.erase(QString::fromUtf8(riga.mid(2)));
            }
        }
        for (const QString& nome : importate)
            attese[nome] = QString();
        const QByteArray dopo = leggi(archivio);
        QCOMPARE(dopo.size() % kRecord, 0);
        std::map<QString, QString> trovate;
        for (int i = 0; i < dopo.size() / kRecord; ++i) {
            const TestiScheda testi = testiDaScheda(record(dopo, i));
            QVERIFY2(!trovate.count(testi[Cognome]), qPrintable(testi[Cognome] + QStringLiteral(" twice")));
            trovate[testi[Cognome]] = testi[Note];
        }
        QCOMPARE(trovate, attese);
        QVERIFY(!QFile::exists(ArchiveFile::tempPath(m_dir.path())));
        QVERIFY(!QFile::exists(ArchiveLock::lockPath(archivio)));
    }

    // A writer killed while it holds the lock (a crash, kill -9, a stick pulled out) blocks no one; a live
    // holder makes the command line wait, then give up with its message and status 1, writing nothing.
    void bloccoDiUnoScrittore()
    {
        const QString archivio = ArchiveFile::archivePath(m_dir.path());
        QVERIFY(scrivi(archivio, SchedeDiProva::archivio(2)));
        const QString file = m_dir.filePath(QStringLiteral("uno.vcf"));
        QVERIFY(scrivi(file, vcard(QStringLiteral("Uno"))));
        QProcess* tiene = avvia({QStringLiteral("--tieni-blocco"), m_dir.path()});
        QVERIFY(tiene->waitForReadyRead(10000));
        QCOMPARE(tiene->readLine().trimmed(), QByteArray("preso"));

        QProcess importa;
        importa.start(m_programma, {QStringLiteral("--importa-vcard"), file});
        QVERIFY(importa.waitForFinished(30000));
        QCOMPARE(importa.exitCode(), 1);
        QVERIFY(QString::fromUtf8(importa.readAllStandardError()).contains(TestiAttesi::kArchivioOccupato));
        QCOMPARE(leggi(archivio), SchedeDiProva::archivio(2));

        tiene->kill(); // SIGKILL, TerminateProcess on Windows: no chance to let go
        QVERIFY(tiene->waitForFinished(10000));
        QVERIFY(QFile::exists(ArchiveLock::lockPath(archivio)));
        importa.start(m_programma, {QStringLiteral("--importa-vcard"), file});
        QVERIFY(importa.waitForFinished(30000));
        QCOMPARE(importa.exitCode(), 0);
        QCOMPARE(testiDaScheda(record(leggi(archivio), 2))[Cognome], QStringLiteral("Uno"));
    }

    // A lock another computer left: taken over once it is old, waited for while its holder keeps it fresh. An
    // empty one (a holder that died before writing who it is) counts as another computer's.
    void bloccoDiUnAltroComputer_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<int>("etaSecondi");
        QTest::addColumn<bool>("preso");
        const QByteArray altro = "4242\nCarnetto\naltro-computer\n\n\n";
        QTest::newRow("recent") << altro << 1 << false;
        QTest::newRow("old") << altro << 60 << true;
        QTest::newRow("empty and recent") << QByteArray() << 1 << false;
        QTest::newRow("empty and old") << QByteArray() << 60 << true;
    }
    void bloccoDiUnAltroComputer()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(int, etaSecondi);
        QFETCH(bool, preso);
        const QString archivio = ArchiveFile::archivePath(m_dir.path());
        const QString blocco = ArchiveLock::lockPath(archivio);
        QVERIFY(scrivi(blocco, contenuto));
        QFile f(blocco);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-etaSecondi), QFileDevice::FileModificationTime));
        f.close();
        const auto attesa = ArchiveLock::waitTime();
        ArchiveLock::setWaitTime(std::chrono::milliseconds(300));
        {
            const ArchiveLock lock(archivio);
            QCOMPARE(lock.state() == ArchiveLock::State::Held, preso);
        }
        ArchiveLock::setWaitTime(attesa);
        QCOMPARE(QFile::exists(blocco), !preso);
        QFile::remove(blocco);
    }

    // One synchronisation at a time: a second one is refused at once while the first holds its lock, which the
    // archive's writes do not wait for; it goes on once the first is over, or killed.
    void bloccoSincronizzazione()
    {
        const QString archivio = ArchiveFile::archivePath(m_dir.path());
        {
            const BloccoSincronizzazione primo(m_dir.path());
            QVERIFY(primo.preso());
            const BloccoSincronizzazione secondo(m_dir.path());
            QVERIFY(!secondo.preso());
            QVERIFY(secondo.problema().startsWith(u"Sincronizzazione già in corso"));
            QCOMPARE(ArchiveLock(archivio).state(), ArchiveLock::State::Held);
        }
        QVERIFY(BloccoSincronizzazione(m_dir.path()).preso());

        QProcess* tiene = avvia({QStringLiteral("--tieni-sincronizzazione"), m_dir.path()});
        QVERIFY(tiene->waitForReadyRead(10000));
        QCOMPARE(tiene->readLine().trimmed(), QByteArray("preso"));
        QVERIFY(!BloccoSincronizzazione(m_dir.path()).preso());
        tiene->kill(); // SIGKILL, TerminateProcess on Windows: no chance to let go
        QVERIFY(tiene->waitForFinished(10000));
        QVERIFY(QFile::exists(BloccoSincronizzazione::percorso(m_dir.path())));
        QVERIFY(BloccoSincronizzazione(m_dir.path()).preso());
    }

    // The holder keeps its lock fresh however long it writes, so another computer never takes it for dead.
    void bloccoTenutoFresco()
    {
        const QString archivio = ArchiveFile::archivePath(m_dir.path());
        const ArchiveLock lock(archivio);
        QCOMPARE(lock.state(), ArchiveLock::State::Held);
        const QDateTime presa = QFileInfo(ArchiveLock::lockPath(archivio)).lastModified();
        QTest::qWait(int(ArchiveLock::kTouchEvery.count()) + 500);
        QVERIFY(QFileInfo(ArchiveLock::lockPath(archivio)).lastModified() > presa);
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = QCoreApplication::arguments();
    if (argomenti.size() == 4 && argomenti[1] == u"--scrittore")
        return scrittore(argomenti[2], argomenti[3].toInt());
    if (argomenti.size() == 3 && argomenti[1] == u"--tieni-blocco")
        return tieniBlocco(ArchiveLock::lockPath(ArchiveFile::archivePath(argomenti[2])));
    if (argomenti.size() == 3 && argomenti[1] == u"--tieni-sincronizzazione")
        return tieniBlocco(BloccoSincronizzazione::percorso(argomenti[2]));
    TestScrittoriConcorrenti test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestScrittoriConcorrenti.moc"
