#include "app/CartellaProgramma.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// This program was started by the kernel, so Qt's answer from /proc/self/exe is the truth to compare with; the
// start through the loader, where Qt's answer is wrong, is the portable-folder integration test's.
class TestCartellaProgramma : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        const QString programma = QCoreApplication::applicationFilePath();
        QVERIFY(QFile::link(QCoreApplication::applicationDirPath(), m_tmp.filePath("cartella-collegata")));
        QVERIFY(QFile::link(programma, m_tmp.filePath("collegamento")));
        QFile omonimo(m_tmp.filePath(QFileInfo(programma).fileName()));
        QVERIFY(omonimo.open(QIODevice::WriteOnly));
    }

    void argv0_data()
    {
        QTest::addColumn<QString>("argv0");
        QTest::addColumn<QString>("cartella"); // empty: the running program's own folder
        const QString dir = QCoreApplication::applicationDirPath();
        const QString nome = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QTest::newRow("its own path") << dir + "/" + nome << QString();
        QTest::newRow("with . and ..") << dir + "/./../" + QFileInfo(dir).fileName() + "/" + nome << QString();
        QTest::newRow("relative") << "./" + QDir::current().relativeFilePath(dir + "/" + nome) << QString();
        QTest::newRow("through a linked folder, kept as given")
            << m_tmp.filePath("cartella-collegata/" + nome) << m_tmp.filePath("cartella-collegata");
        QTest::newRow("a link to it from elsewhere") << m_tmp.filePath("collegamento") << QString();
        QTest::newRow("another file of its name") << m_tmp.filePath(nome) << QString();
        QTest::newRow("no such file") << m_tmp.filePath("nessuna/" + nome) << QString();
        QTest::newRow("a name found in PATH") << nome << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void argv0()
    {
        QFETCH(QString, argv0);
        QFETCH(QString, cartella);
#ifdef Q_OS_WIN
        // Windows names the program's own file (GetModuleFileNameW), whatever argv[0] says; a link there is a
        // shortcut file, which starts nothing by itself.
        cartella.clear();
#endif
        const QString atteso = cartella.isEmpty() ? QCoreApplication::applicationDirPath() : cartella;
        QCOMPARE(cartellaProgramma(argv0.isNull() ? nullptr : QFile::encodeName(argv0).constData()), atteso);
    }

private:
    QTemporaryDir m_tmp;
};

QTEST_GUILESS_MAIN(TestCartellaProgramma)
#include "TestCartellaProgramma.moc"
