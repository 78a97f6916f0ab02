#include "archive/ArchiveFile.h"
#include "archive/MessaggiArchivio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

constexpr int kRecord = 1148;

// A record whose every byte depends on n, so any misplaced or mixed-up record shows.
TSchedaContatto schedaNumero(int n)
{
    TSchedaContatto s;
    auto* p = reinterpret_cast<unsigned char*>(&s);
    for (int k = 0; k < kRecord; ++k)
        p[k] = static_cast<unsigned char>(n * 31 + k * 7);
    return s;
}

QByteArray byteDi(const TSchedaContatto& s)
{
    return QByteArray(reinterpret_cast<const char*>(&s), kRecord);
}

QByteArray archivioDi(int schede, int coda = 0)
{
    QByteArray byte;
    for (int n = 0; n < schede; ++n)
        byte += byteDi(schedaNumero(n));
    return byte + QByteArray(coda, 'c');
}

void scrivi(const QString& percorso, const QByteArray& byte)
{
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(byte), byte.size());
}

QByteArray contenuto(const QString& percorso)
{
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illeggibile>");
}

// Running as root, file permissions do not stop an open; the tests that rely on them say so and skip.
bool permessiRispettati(const QString& percorso)
{
    QFile f(percorso);
    const bool aperto = f.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
    return !aperto;
}

ArchiveFile::Apertura apertura(bool creaSeManca)
{
    return creaSeManca ? ArchiveFile::Apertura::ApriOCrea : ArchiveFile::Apertura::SoloEsistente;
}

} // namespace

class TestArchiveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void archivioMancante_data();
    void archivioMancante();
    void aperturaNonSvuota_data();
    void aperturaNonSvuota();
    void codaIncompletaMaiLetta();
    void scorrimentoLeggeUnaSchedaSola();
    void scritturaInFondoEstende();
    void scritturaSopraCodaIncompleta();
    void sovrascritturaSulPosto();
    void letturaEScritturaAlternate();
    void copiaDiMoltiRecord();
    void aperturaImpossibile_data();
    void aperturaImpossibile();
    void permessoNegato();
    void createSvuotaAvanzi();
    void erroreDiScritturaSegnalato_data();
    void erroreDiScritturaSegnalato();
    void fileChiuso();
    void replaceWith_data();
    void replaceWith();
    void replaceWithCartellaNonScrivibile();
    void messaggioErrore();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archivio;
};

void TestArchiveFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_archivio = ArchiveFile::archivePath(m_dir->path());
    ArchiveFile::resetCounters();
}

void TestArchiveFile::archivioMancante_data()
{
    QTest::addColumn<bool>("creaSeManca");
    QTest::newRow("ApriOCrea lo crea vuoto") << true;
    QTest::newRow("SoloEsistente non lo crea") << false;
}

void TestArchiveFile::archivioMancante()
{
    QFETCH(bool, creaSeManca);
    ArchiveFile archivio(m_archivio);
    QCOMPARE(archivio.open(apertura(creaSeManca)), creaSeManca);
    QCOMPARE(QFileInfo::exists(m_archivio), creaSeManca);
    if (creaSeManca) {
        QCOMPARE(archivio.recordCount(), 0);
        QVERIFY(archivio.close());
        QCOMPARE(QFileInfo(m_archivio).size(), 0);
    } else {
        QVERIFY(!archivio.errorString().isEmpty());
    }
}

void TestArchiveFile::aperturaNonSvuota_data()
{
    archivioMancante_data();
}

void TestArchiveFile::aperturaNonSvuota()
{
    QFETCH(bool, creaSeManca);
    const QByteArray prima = archivioDi(3, 40);
    scrivi(m_archivio, prima);
    {
        ArchiveFile archivio(m_archivio);
        QVERIFY(archivio.open(apertura(creaSeManca)));
        QCOMPARE(archivio.recordCount(), 3);
        QVERIFY(archivio.close());
        QVERIFY(archivio.open(apertura(creaSeManca)));
    } // the destructor closes the second opening
    QCOMPARE(contenuto(m_archivio), prima);
}

void TestArchiveFile::codaIncompletaMaiLetta()
{
    scrivi(m_archivio, archivioDi(2, 100));
    ArchiveFile archivio(m_archivio);
    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    QCOMPARE(archivio.recordCount(), 2);

    TSchedaContatto letta;
    for (int i = 0; i < 2; ++i) {
        QVERIFY(archivio.seek(i));
        QVERIFY(archivio.read(letta));
        QCOMPARE(byteDi(letta), byteDi(schedaNumero(i)));
        QCOMPARE(archivio.currentIndex(), i + 1);
    }
    QVERIFY(archivio.seek(2));
    QVERIFY(!archivio.read(letta));
    QCOMPARE(ArchiveFile::counters().recordsRead, 2);
    QVERIFY(!archivio.seek(3));
}

// Moving to the last card opens the archive once and reads one record.
void TestArchiveFile::scorrimentoLeggeUnaSchedaSola()
{
    scrivi(m_archivio, archivioDi(5));
    ArchiveFile archivio(m_archivio);
    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    TSchedaContatto letta;
    QVERIFY(archivio.seek(archivio.recordCount() - 1));
    QVERIFY(archivio.read(letta));
    QCOMPARE(byteDi(letta), byteDi(schedaNumero(4)));
    QCOMPARE(archivio.currentIndex(), 5);
    QVERIFY(archivio.close());

    QCOMPARE(ArchiveFile::counters().opens, 1);
    QCOMPARE(ArchiveFile::counters().recordsRead, 1);
    QCOMPARE(ArchiveFile::counters().recordsWritten, 0);
}

void TestArchiveFile::scritturaInFondoEstende()
{
    ArchiveFile archivio(m_archivio);
    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(archivio.seek(archivio.recordCount()));
        QVERIFY(archivio.write(schedaNumero(i)));
        QCOMPARE(archivio.currentIndex(), i + 1);
        QCOMPARE(archivio.recordCount(), i + 1);
    }
    QVERIFY(archivio.close());
    QCOMPARE(contenuto(m_archivio), archivioDi(3));
}

// A new card saved onto an archive with an incomplete tail goes right after the last complete record, over the
// stray bytes.
void TestArchiveFile::scritturaSopraCodaIncompleta()
{
    scrivi(m_archivio, archivioDi(2, 100));
    ArchiveFile archivio(m_archivio);
    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    QVERIFY(archivio.seek(archivio.recordCount()));
    QVERIFY(archivio.write(schedaNumero(2)));
    QCOMPARE(archivio.currentIndex(), 3);
    QVERIFY(archivio.close());
    QCOMPARE(contenuto(m_archivio), archivioDi(3));
}

void TestArchiveFile::sovrascritturaSulPosto()
{
    scrivi(m_archivio, archivioDi(3));
    ArchiveFile archivio(m_archivio);
    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    QVERIFY(archivio.seek(1));
    QVERIFY(archivio.write(schedaNumero(77)));
    QCOMPARE(archivio.currentIndex(), 2);
    QCOMPARE(archivio.recordCount(), 3);
    QVERIFY(archivio.close());
    QCOMPARE(contenuto(m_archivio), byteDi(schedaNumero(0)) + byteDi(schedaNumero(77)) + byteDi(schedaNumero(2)));
}

// Reads fill a buffer ahead of the current record; a write right after a read, with or without a seek, must
// still land on the next record and be seen by the reads that follow.
void TestArchiveFile::letturaEScritturaAlternate()
{
    scrivi(m_archivio, archivioDi(6));
    ArchiveFile archivio(m_archivio);
    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    TSchedaContatto letta;
    QVERIFY(archivio.seek(0));
    QVERIFY(archivio.read(letta));
    QVERIFY(archivio.seek(1));
    QVERIFY(archivio.write(schedaNumero(50)));
    QVERIFY(archivio.write(schedaNumero(51)));
    QVERIFY(archivio.read(letta));
    QCOMPARE(byteDi(letta), byteDi(schedaNumero(3)));
    QVERIFY(archivio.seek(1));
    QVERIFY(archivio.read(letta));
    QCOMPARE(byteDi(letta), byteDi(schedaNumero(50)));
    QVERIFY(archivio.seek(5));
    QVERIFY(archivio.write(schedaNumero(55)));
    QVERIFY(archivio.seek(5));
    QVERIFY(archivio.read(letta));
    QCOMPARE(byteDi(letta), byteDi(schedaNumero(55)));

    // Two reads in a row load the rest of the file ahead; a write into that part must replace what was loaded.
    QVERIFY(archivio.seek(0));
    QVERIFY(archivio.read(letta));
    QVERIFY(archivio.read(letta));
    QVERIFY(archivio.seek(3));
    QVERIFY(archivio.write(schedaNumero(53)));
    QVERIFY(archivio.seek(3));
    QVERIFY(archivio.read(letta));
    QCOMPARE(byteDi(letta), byteDi(schedaNumero(53)));

    // Writes that do not follow each other go each to its own place.
    QVERIFY(archivio.seek(4));
    QVERIFY(archivio.write(schedaNumero(54)));
    QVERIFY(archivio.seek(0));
    QVERIFY(archivio.write(schedaNumero(60)));
    QVERIFY(archivio.close());

    QByteArray atteso = archivioDi(6);
    atteso.replace(0 * kRecord, kRecord, byteDi(schedaNumero(60)));
    atteso.replace(1 * kRecord, kRecord, byteDi(schedaNumero(50)));
    atteso.replace(2 * kRecord, kRecord, byteDi(schedaNumero(51)));
    atteso.replace(3 * kRecord, kRecord, byteDi(schedaNumero(53)));
    atteso.replace(4 * kRecord, kRecord, byteDi(schedaNumero(54)));
    atteso.replace(5 * kRecord, kRecord, byteDi(schedaNumero(55)));
    QCOMPARE(contenuto(m_archivio), atteso);
}

// Hundreds of records cross the read and write blocks: the deletion's copy, forwards, then reads backwards.
void TestArchiveFile::copiaDiMoltiRecord()
{
    const int n = 1000;
    const int tolto = 457;
    scrivi(m_archivio, archivioDi(n, 700));
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    {
        ArchiveFile archivio(m_archivio);
        ArchiveFile copia(temp);
        QVERIFY(archivio.open(ArchiveFile::Apertura::SoloEsistente));
        QVERIFY(copia.create());
        QCOMPARE(archivio.recordCount(), n);
        TSchedaContatto scheda;
        for (int i = 0; i < n; ++i) {
            QVERIFY(archivio.seek(i));
            QVERIFY(archivio.read(scheda));
            if (i != tolto)
                QVERIFY(copia.write(scheda));
        }
        QVERIFY(!archivio.read(scheda));
        QCOMPARE(copia.recordCount(), n - 1);
        QVERIFY(copia.close());
        QVERIFY(archivio.close());
    }
    QByteArray atteso = archivioDi(n);
    atteso.remove(tolto * kRecord, kRecord);
    QCOMPARE(contenuto(temp), atteso);

    ArchiveFile copia(temp);
    QVERIFY(copia.open(ArchiveFile::Apertura::SoloEsistente));
    TSchedaContatto scheda;
    for (int i = n - 2; i >= 0; i -= 3) {
        QVERIFY(copia.seek(i));
        QVERIFY(copia.read(scheda));
        QCOMPARE(byteDi(scheda), byteDi(schedaNumero(i < tolto ? i : i + 1)));
    }
}

void TestArchiveFile::aperturaImpossibile_data()
{
    QTest::addColumn<QString>("percorso");
    QTest::addColumn<bool>("creaSeManca");
    QTest::newRow("cartella al posto del file, ApriOCrea") << QStringLiteral("Contatti.pro") << true;
    QTest::newRow("cartella al posto del file, SoloEsistente") << QStringLiteral("Contatti.pro") << false;
    QTest::newRow("cartella mancante") << QStringLiteral("manca/Contatti.pro") << true;
}

void TestArchiveFile::aperturaImpossibile()
{
    QFETCH(QString, percorso);
    QFETCH(bool, creaSeManca);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Contatti.pro")));
    scrivi(m_archivio + QStringLiteral("/dentro"), archivioDi(1));

    ArchiveFile archivio(m_dir->filePath(percorso));
    QVERIFY(!archivio.open(apertura(creaSeManca)));
    QVERIFY(!archivio.isOpen());
    QVERIFY(!archivio.errorString().isEmpty());
    QVERIFY(QFileInfo(m_archivio).isDir());
    QVERIFY(QFileInfo::exists(m_archivio + QStringLiteral("/dentro")));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("manca"))));
}

void TestArchiveFile::permessoNegato()
{
    const QByteArray prima = archivioDi(2);
    scrivi(m_archivio, prima);
    QVERIFY(QFile::setPermissions(m_archivio, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    if (!permessiRispettati(m_archivio))
        QSKIP("file permissions do not stop this user from writing (root)");

    for (bool creaSeManca : {true, false}) {
        ArchiveFile archivio(m_archivio);
        QVERIFY(!archivio.open(apertura(creaSeManca)));
        QVERIFY(!archivio.isOpen());
    }
    QCOMPARE(contenuto(m_archivio), prima);
}

// A Contatti.tmp left by an interrupted deletion is emptied before the first record goes in.
void TestArchiveFile::createSvuotaAvanzi()
{
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    scrivi(temp, archivioDi(4, 10));
    ArchiveFile file(temp);
    QVERIFY(file.create());
    QCOMPARE(file.recordCount(), 0);
    QCOMPARE(QFileInfo(temp).size(), 0);
    QVERIFY(file.write(schedaNumero(9)));
    QVERIFY(file.sync());
    QVERIFY(file.close());
    QCOMPARE(contenuto(temp), byteDi(schedaNumero(9)));
}

// Records are buffered, so a full disk may only show when they are written out; close() and sync() must say
// so rather than let a half-written file be taken for a complete one.
void TestArchiveFile::erroreDiScritturaSegnalato_data()
{
    QTest::addColumn<bool>("conSync");
    QTest::newRow("close") << false;
    QTest::newRow("sync") << true;
}

void TestArchiveFile::erroreDiScritturaSegnalato()
{
    QFETCH(bool, conSync);
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full on this system");

    ArchiveFile pieno(QStringLiteral("/dev/full"));
    QVERIFY(pieno.open(ArchiveFile::Apertura::SoloEsistente));
    QVERIFY(pieno.write(schedaNumero(1)));
    if (conSync)
        QVERIFY(!pieno.sync());
    QVERIFY(!pieno.close());
    QVERIFY(!pieno.errorString().isEmpty());
    QVERIFY(pieno.close());
}

void TestArchiveFile::fileChiuso()
{
    ArchiveFile archivio(m_archivio);
    TSchedaContatto scheda{};
    QVERIFY(!archivio.seek(0));
    QVERIFY(!archivio.read(scheda));
    QVERIFY(!archivio.write(scheda));
    QCOMPARE(archivio.recordCount(), 0);
    QVERIFY(archivio.close());

    QVERIFY(archivio.open(ArchiveFile::Apertura::ApriOCrea));
    QVERIFY(!archivio.seek(-1));
    QVERIFY(archivio.close());
    QVERIFY(archivio.close());
    QVERIFY(!archivio.write(scheda));
    QCOMPARE(QFileInfo(m_archivio).size(), 0);
}

void TestArchiveFile::replaceWith_data()
{
    QTest::addColumn<QString>("caso");
    QTest::addColumn<bool>("riesce");
    QTest::newRow("sostituisce l'archivio") << QStringLiteral("normale") << true;
    QTest::newRow("archivio mancante") << QStringLiteral("senza archivio") << true;
    QTest::newRow("temporaneo mancante") << QStringLiteral("senza temporaneo") << false;
    QTest::newRow("temporaneo è una cartella") << QStringLiteral("temporaneo cartella") << false;
    QTest::newRow("archivio è una cartella") << QStringLiteral("archivio cartella") << false;
}

void TestArchiveFile::replaceWith()
{
    QFETCH(QString, caso);
    QFETCH(bool, riesce);
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    const QByteArray vecchio = archivioDi(3);
    const QByteArray nuovo = archivioDi(2);

    if (caso == QLatin1String("archivio cartella")) {
        QVERIFY(QDir().mkpath(m_archivio + QStringLiteral("/pieno")));
    } else if (caso != QLatin1String("senza archivio")) {
        scrivi(m_archivio, vecchio);
    }
    if (caso == QLatin1String("temporaneo cartella")) {
        QVERIFY(QDir().mkpath(temp));
    } else if (caso != QLatin1String("senza temporaneo")) {
        scrivi(temp, nuovo);
    }

    QCOMPARE(ArchiveFile::replaceWith(temp, m_archivio), riesce);

    if (riesce) {
        QCOMPARE(contenuto(m_archivio), nuovo);
        QVERIFY(!QFileInfo::exists(temp));
    } else if (caso == QLatin1String("archivio cartella")) {
        QVERIFY(QFileInfo(m_archivio + QStringLiteral("/pieno")).isDir());
        QCOMPARE(contenuto(temp), nuovo);
    } else {
        QCOMPARE(contenuto(m_archivio), vecchio);
        QCOMPARE(QFileInfo(temp).isDir(), caso == QLatin1String("temporaneo cartella"));
    }
}

void TestArchiveFile::replaceWithCartellaNonScrivibile()
{
    const QString cartella = m_dir->filePath(QStringLiteral("sola-lettura"));
    QVERIFY(QDir().mkpath(cartella));
    const QString archivio = ArchiveFile::archivePath(cartella);
    const QString temp = ArchiveFile::tempPath(cartella);
    scrivi(archivio, archivioDi(3));
    scrivi(temp, archivioDi(2));
    QVERIFY(QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const bool protetta = !QFile(cartella + QStringLiteral("/prova")).open(QIODevice::WriteOnly);
    if (!protetta) {
        QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QSKIP("folder permissions do not stop this user from writing (root)");
    }

    const bool riuscito = ArchiveFile::replaceWith(temp, archivio);
    QFile::setPermissions(cartella, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!riuscito);
    QCOMPARE(contenuto(archivio), archivioDi(3));
    QCOMPARE(contenuto(temp), archivioDi(2));
}

void TestArchiveFile::messaggioErrore()
{
    const QString messaggio = messaggioErroreArchivio();
    QVERIFY(messaggio.startsWith(QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.")));
    QCOMPARE(messaggio.count(QStringLiteral("\n\r\n\r")), 1);
    QVERIFY(messaggio.endsWith(QStringLiteral("\n\r\n\rAccertarsi di possedere i privilegi di scrittura nella "
                                              "cartella di installazione del programma.")));
}

QTEST_GUILESS_MAIN(TestArchiveFile)
#include "TestArchiveFile.moc"
