#include "app/IstanzaUnica.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#if defined(Q_OS_LINUX)
#include <unistd.h>
#endif

// One running copy per folder and user, on the system's own local sockets: an abstract socket on Linux, a named
// pipe on Windows. The second start runs on a thread of its own, as it would in a process of its own, so that
// the first can answer it.
class TestIstanzaUnica : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nomeDelloUtenteEDellaCartella()
    {
        QTemporaryDir a;
        QTemporaryDir b;
        const QString nome = IstanzaUnica::nomeServer(a.path());
#if defined(Q_OS_LINUX)
        QVERIFY(nome.startsWith(QStringLiteral("carnetto-%1-").arg(::getuid())));
#elif defined(Q_OS_WIN)
        // The user's SID, which no rename of the user changes.
        QVERIFY2(nome.startsWith(QLatin1String("carnetto-S-1-")), qPrintable(nome));
#endif
        QCOMPARE(IstanzaUnica::nomeServer(a.path() + QStringLiteral("/.")), nome);
        QVERIFY(IstanzaUnica::nomeServer(b.path()) != nome);
        // Only characters every system takes in a socket or pipe name.
        for (const QChar c : nome)
            QVERIFY2(c.isLetterOrNumber() || c == u'-', qPrintable(nome));
    }

    void laSecondaPartenzaConsegna()
    {
        QTemporaryDir cartella;
        const QString percorso = cartella.filePath(QStringLiteral("Città con spazi"));
        QVERIFY(QDir().mkpath(percorso));
        IstanzaUnica prima(percorso);
        QCOMPARE(prima.avvia(QString()), IstanzaUnica::Avvio::Prima);
        QSignalSpy richieste(&prima, &IstanzaUnica::richiesta);

        const QString file = QDir::toNativeSeparators(cartella.filePath(QStringLiteral("Rubrica è.vcf")));
        IstanzaUnica::Avvio seconda = IstanzaUnica::Avvio::DaSola;
        std::thread partenza([&] { seconda = IstanzaUnica(percorso).avvia(file); });
        QTRY_COMPARE_WITH_TIMEOUT(richieste.size(), 1, 10000);
        partenza.join();
        QCOMPARE(seconda, IstanzaUnica::Avvio::Consegnato);
        QCOMPARE(richieste.at(0).at(0).toString(), file);
    }

    // A copy that hears only another user (a test's stand-in for one) refuses the start, which then runs alone
    // and hands over nothing.
    void unAltroUtenteNonEAscoltato()
    {
        QTemporaryDir cartella;
        IstanzaUnica prima(cartella.path());
#if defined(Q_OS_LINUX)
        prima.attendiUtente(::getuid() + 1);
#else
        prima.attendiUtente(1);
#endif
        QCOMPARE(prima.avvia(QString()), IstanzaUnica::Avvio::Prima);
        QSignalSpy richieste(&prima, &IstanzaUnica::richiesta);
        IstanzaUnica::Avvio seconda = IstanzaUnica::Avvio::Prima;
        std::atomic<bool> finita = false;
        std::thread partenza([&] {
            seconda = IstanzaUnica(cartella.path()).avvia(QStringLiteral("segreto.vcf"));
            finita = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(finita, 15000);
        partenza.join();
        QCOMPARE(seconda, IstanzaUnica::Avvio::DaSola);
        QTest::qWait(50);
        QCOMPARE(richieste.size(), 0);
    }

    void unAltraCartellaParteDaSola()
    {
        QTemporaryDir a;
        QTemporaryDir b;
        IstanzaUnica prima(a.path());
        QCOMPARE(prima.avvia(QString()), IstanzaUnica::Avvio::Prima);
        IstanzaUnica altra(b.path());
        QCOMPARE(altra.avvia(QString()), IstanzaUnica::Avvio::Prima);
    }
};

QTEST_GUILESS_MAIN(TestIstanzaUnica)
#include "TestIstanzaUnica.moc"
