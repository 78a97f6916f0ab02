#include "archive/ArchiveFile.h"
#include "archive/MessaggiArchivio.h"

#include "support/CartellaBloccata.h"
#include "support/FailDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

namespace {

constexpr int kRecord = 1148;

#ifdef Q_OS_WIN
// QFile::link makes a shortcut there: a file of the shell's, which opening the archive never follows.
constexpr const char* kSenzaCollegamenti = "QFile::link makes a .lnk shortcut on Windows, not a symbolic link";
#endif

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

ArchiveFile::Access apertura(bool creaSeManca)
{
    return creaSeManca ? ArchiveFile::Access::OpenOrCreate : ArchiveFile::Access::ExistingOnly;
}

std::unique_ptr<FailDevice> dispositivo(const QString& percorso, const FailDevice::Faults& guasti)
{
    auto d = std::make_unique<FailDevice>(percorso);
    d->setFaults(guasti);
    return d;
}

// Stand-ins for the kernel's copy, to play one that refuses, stops short or fails. `g_kernelCalls` counts the
// calls made to any of them.
int g_kernelCalls = 0;
int g_refusal = 0;
qint64 g_shortAfter = 0;

qint64 kernelRefusing(int, qint64, int, qint64, qint64)
{
    ++g_kernelCalls;
    errno = g_refusal;
    return -1;
}

// Copies the first g_shortAfter bytes as the system would, then reports the end of the source.
qint64 kernelShort(int in, qint64 inOffset, int out, qint64 outOffset, qint64 length)
{
    ++g_kernelCalls;
    const qint64 allowed = std::min(length, g_shortAfter);
    if (allowed <= 0)
        return 0;
    const qint64 n = ArchiveFile::systemKernelCopy()(in, inOffset, out, outOffset, allowed);
    if (n > 0)
        g_shortAfter -= n;
    return n;
}

qint64 kernelCounting(int in, qint64 inOffset, int out, qint64 outOffset, qint64 length)
{
    ++g_kernelCalls;
    return ArchiveFile::systemKernelCopy()(in, inOffset, out, outOffset, length);
}

enum Copia { Kernel, Buffer, Rifiuto, Corta, SuFailDevice };

} // namespace

class TestArchiveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
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
    void copyRecordsFrom_data();
    void copyRecordsFrom();
    void copyRecordsFromErroreDelKernel();
    void aperturaImpossibile_data();
    void aperturaImpossibile();
    void protettoDaScrittura_data();
    void protettoDaScrittura();
    void createSvuotaAvanzi();
    void erroreDiScritturaSegnalato_data();
    void erroreDiScritturaSegnalato();
    void fileChiuso();
    void replaceWith_data();
    void replaceWith();
    void replaceWithCartellaBloccata();
    void replaceWithArchivioAperto();
    void replaceWithArchivioApertoUnAttimo();
    void replaceWithMantienePermessi_data();
    void replaceWithMantienePermessi();
    void replaceWithCollegamento_data();
    void replaceWithCollegamento();
    void replaceWithCollegamentoAltroDisco();
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
    ArchiveFile::setKernelCopy(ArchiveFile::systemKernelCopy());
    g_kernelCalls = 0;
}

void TestArchiveFile::cleanup()
{
    ArchiveFile::setKernelCopy(ArchiveFile::systemKernelCopy());
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
    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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
    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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
    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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
    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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
    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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
    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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
        QVERIFY(archivio.open(ArchiveFile::Access::ExistingOnly));
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
    QVERIFY(copia.open(ArchiveFile::Access::ExistingOnly));
    TSchedaContatto scheda;
    for (int i = n - 2; i >= 0; i -= 3) {
        QVERIFY(copia.seek(i));
        QVERIFY(copia.read(scheda));
        QCOMPARE(byteDi(scheda), byteDi(schedaNumero(i < tolto ? i : i + 1)));
    }
}

// Every way of copying a range gives the same bytes as reading and writing each record: the kernel's copy,
// the buffer, a kernel that refuses (each refusal the buffer gets round), one that stops short part-way
// through a record, and a device that is not a plain file, which the kernel never sees. An incomplete last
// record is never copied; a range reaching into it fails.
void TestArchiveFile::copyRecordsFrom_data()
{
    QTest::addColumn<int>("modo");
    QTest::addColumn<int>("rifiuto");
    QTest::addColumn<qint64>("cortaDopo");
    QTest::addColumn<int>("coda");
    QTest::addColumn<int>("primo");
    QTest::addColumn<int>("quanti");
    QTest::addColumn<bool>("riesce");
    QTest::addColumn<int>("chiamateKernel"); // -1: at least one

    QTest::newRow("kernel") << int(Kernel) << 0 << qint64(0) << 0 << 3 << 40 << true << -1;
    QTest::newRow("kernel, coda incompleta") << int(Kernel) << 0 << qint64(0) << 700 << 0 << 50 << true << -1;
    QTest::newRow("kernel, nella coda") << int(Kernel) << 0 << qint64(0) << 700 << 45 << 6 << false << -1;
    QTest::newRow("buffer") << int(Buffer) << 0 << qint64(0) << 0 << 3 << 40 << true << 0;
    QTest::newRow("buffer, coda incompleta") << int(Buffer) << 0 << qint64(0) << 700 << 0 << 50 << true << 0;
    QTest::newRow("buffer, nella coda") << int(Buffer) << 0 << qint64(0) << 700 << 45 << 6 << false << 0;
    const std::pair<const char*, int> rifiuti[] = {
        {"EXDEV", EXDEV}, {"ENOSYS", ENOSYS}, {"EOPNOTSUPP", EOPNOTSUPP}, {"EINVAL", EINVAL}};
    for (const auto& [nome, e] : rifiuti)
        QTest::addRow("rifiuto %s", nome) << int(Rifiuto) << e << qint64(0) << 700 << 3 << 47 << true << 1;
    QTest::newRow("corta a metà record") << int(Corta) << 0 << qint64(5 * kRecord + 300) << 700 << 3 << 47 << true << -1;
    QTest::newRow("corta subito") << int(Corta) << 0 << qint64(0) << 0 << 0 << 50 << true << 1;
    QTest::newRow("corta nella coda") << int(Corta) << 0 << qint64(2 * kRecord) << 700 << 45 << 6 << false << -1;
    QTest::newRow("FailDevice") << int(SuFailDevice) << 0 << qint64(0) << 700 << 3 << 47 << true << 0;
    QTest::newRow("nessun record") << int(Kernel) << 0 << qint64(0) << 0 << 10 << 0 << true << 0;
}

void TestArchiveFile::copyRecordsFrom()
{
    QFETCH(int, modo);
    QFETCH(int, rifiuto);
    QFETCH(qint64, cortaDopo);
    QFETCH(int, coda);
    QFETCH(int, primo);
    QFETCH(int, quanti);
    QFETCH(bool, riesce);
    QFETCH(int, chiamateKernel);
    if (modo != Buffer && !ArchiveFile::systemKernelCopy())
        QSKIP("no kernel copy on this system");
    ArchiveFile::setKernelCopy(modo == Buffer    ? nullptr
                               : modo == Rifiuto ? &kernelRefusing
                               : modo == Corta   ? &kernelShort
                                                 : &kernelCounting);
    g_refusal = rifiuto;
    g_shortAfter = cortaDopo;
    scrivi(m_archivio, archivioDi(50, coda));
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    // Something already in the copy, and one more record after the range: the range lands at the copy's index
    // and the index follows it.
    const QByteArray prima = byteDi(schedaNumero(900));
    {
        ArchiveFile archivio(m_archivio);
        ArchiveFile copia(modo == SuFailDevice ? std::unique_ptr<ArchiveDevice>(dispositivo(temp, {}))
                                               : std::make_unique<ArchiveDevice>(temp));
        QVERIFY(archivio.open(ArchiveFile::Access::ReadOnly));
        QVERIFY(copia.create());
        QVERIFY(copia.write(schedaNumero(900)));
        ArchiveFile::resetCounters();
        QCOMPARE(copia.copyRecordsFrom(archivio, primo, quanti), riesce);
        if (chiamateKernel >= 0)
            QCOMPARE(g_kernelCalls, chiamateKernel);
        else
            QVERIFY(g_kernelCalls > 0);
        if (!riesce)
            return;
        QCOMPARE(ArchiveFile::counters().recordsRead, quanti);
        QCOMPARE(ArchiveFile::counters().recordsWritten, quanti);
        QCOMPARE(copia.currentIndex(), quanti + 1);
        QVERIFY(copia.write(schedaNumero(901)));
        QVERIFY(copia.close());
        QVERIFY(archivio.close());
    }
    QCOMPARE(contenuto(temp),
             prima + archivioDi(50).mid(primo * kRecord, quanti * kRecord) + byteDi(schedaNumero(901)));
}

// An error that is not a refusal (a full disk, a failing disk) is the copy's failure, and stays one until the
// file is closed; the buffer does not try again behind it.
void TestArchiveFile::copyRecordsFromErroreDelKernel()
{
    ArchiveFile::setKernelCopy(&kernelRefusing);
    g_refusal = ENOSPC;
    scrivi(m_archivio, archivioDi(10));
    ArchiveFile archivio(m_archivio);
    ArchiveFile copia(ArchiveFile::tempPath(m_dir->path()));
    QVERIFY(archivio.open(ArchiveFile::Access::ReadOnly));
    QVERIFY(copia.create());
    QVERIFY(!copia.copyRecordsFrom(archivio, 0, 10));
    QCOMPARE(copia.errorString(), QString::fromLocal8Bit(std::strerror(ENOSPC)));
    QCOMPARE(g_kernelCalls, 1);
    QCOMPARE(ArchiveFile::counters().recordsWritten, 0);
    QVERIFY(!copia.close());
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

// A locked stick or a read-only archive: the cards can be read, nothing can be written, and a missing
// archive is not created.
void TestArchiveFile::protettoDaScrittura_data()
{
    QTest::addColumn<bool>("esiste");
    QTest::addColumn<int>("accesso");
    QTest::addColumn<bool>("apre");
    const int creaOApri = int(ArchiveFile::Access::OpenOrCreate), esistente = int(ArchiveFile::Access::ExistingOnly);
    const int lettura = int(ArchiveFile::Access::ReadOnly);
    QTest::newRow("lettura") << true << lettura << true;
    QTest::newRow("lettura e scrittura") << true << creaOApri << false;
    QTest::newRow("solo esistente") << true << esistente << false;
    QTest::newRow("mancante, lettura") << false << lettura << false;
    QTest::newRow("mancante, lettura e scrittura") << false << creaOApri << false;
}

void TestArchiveFile::protettoDaScrittura()
{
    QFETCH(bool, esiste);
    QFETCH(int, accesso);
    QFETCH(bool, apre);
    const QByteArray prima = archivioDi(2);
    if (esiste)
        scrivi(m_archivio, prima);
    FailDevice::Faults guasti;
    guasti.writeProtected = true;
    ArchiveFile archivio(dispositivo(m_archivio, guasti));
    QCOMPARE(archivio.open(ArchiveFile::Access(accesso)), apre);
    QCOMPARE(archivio.isOpen(), apre);
    if (apre) {
        TSchedaContatto letta;
        QVERIFY(archivio.seek(1));
        QVERIFY(archivio.read(letta));
        QCOMPARE(byteDi(letta), byteDi(schedaNumero(1)));
        QVERIFY(archivio.close());
    } else {
        QVERIFY(!archivio.errorString().isEmpty());
    }
    if (esiste)
        QCOMPARE(contenuto(m_archivio), prima);
    else
        QVERIFY(!QFileInfo::exists(m_archivio));
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
// so rather than let a half-written file be taken for a complete one. A failure stays one until close().
void TestArchiveFile::erroreDiScritturaSegnalato_data()
{
    QTest::addColumn<qint64>("scrittiPrimaDelGuasto");
    QTest::addColumn<bool>("guastoAlSync");
    QTest::addColumn<bool>("guastoAllaChiusura");
    QTest::addColumn<bool>("conSync");
    const qint64 mai = std::numeric_limits<qint64>::max();
    QTest::newRow("disco pieno, visto alla chiusura") << qint64(0) << false << false << false;
    QTest::newRow("disco pieno a metà record, visto al sync") << qint64(kRecord / 2) << false << false << true;
    QTest::newRow("sync fallito") << mai << true << false << true;
    QTest::newRow("chiusura fallita") << mai << false << true << false;
    QTest::newRow("chiusura fallita dopo il sync") << mai << false << true << true;
}

void TestArchiveFile::erroreDiScritturaSegnalato()
{
    QFETCH(qint64, scrittiPrimaDelGuasto);
    QFETCH(bool, guastoAlSync);
    QFETCH(bool, guastoAllaChiusura);
    QFETCH(bool, conSync);
    FailDevice::Faults guasti;
    guasti.writesAfter = scrittiPrimaDelGuasto;
    guasti.atSync = guastoAlSync;
    guasti.atClose = guastoAllaChiusura;
    ArchiveFile file(dispositivo(m_archivio, guasti));
    QVERIFY(file.create());
    QVERIFY(file.write(schedaNumero(1)));
    if (conSync) {
        const bool syncRiesce = scrittiPrimaDelGuasto > kRecord && !guastoAlSync;
        QCOMPARE(file.sync(), syncRiesce);
        if (!syncRiesce) {
            QVERIFY(!file.errorString().isEmpty());
            QVERIFY2(!file.sync(), "a second sync must not hide the records lost before it");
        }
    }
    QVERIFY(!file.close());
    QVERIFY(!file.errorString().isEmpty());
    QVERIFY(file.close());
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

    QVERIFY(archivio.open(ArchiveFile::Access::OpenOrCreate));
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

// An archive another program keeps open. Linux replaces the name and the reader keeps the old file; Windows
// cannot replace a file open without delete sharing (as every program opens it through Qt or the C library):
// the replacement fails after its wait and both files stay as they were.
void TestArchiveFile::replaceWithArchivioAperto()
{
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    scrivi(m_archivio, archivioDi(3));
    scrivi(temp, archivioDi(2));
    QFile lettore(m_archivio);
    QVERIFY(lettore.open(QIODevice::ReadOnly));
    const bool riuscito = ArchiveFile::replaceWith(temp, m_archivio);
    QCOMPARE(lettore.readAll(), archivioDi(3));
    lettore.close();
#ifdef Q_OS_WIN
    QVERIFY(!riuscito);
    QCOMPARE(contenuto(m_archivio), archivioDi(3));
    QCOMPARE(contenuto(temp), archivioDi(2));
#else
    QVERIFY(riuscito);
    QCOMPARE(contenuto(m_archivio), archivioDi(2));
    QVERIFY(!QFileInfo::exists(temp));
#endif
}

// A program that looks at the archive only for a moment (a virus scanner, a search indexer) is waited for.
void TestArchiveFile::replaceWithArchivioApertoUnAttimo()
{
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    scrivi(m_archivio, archivioDi(3));
    scrivi(temp, archivioDi(2));
    auto lettore = std::make_unique<QFile>(m_archivio);
    QVERIFY(lettore->open(QIODevice::ReadOnly));
    std::thread chiude([&lettore] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        lettore->close();
    });
    const bool riuscito = ArchiveFile::replaceWith(temp, m_archivio);
    chiude.join();
    QVERIFY(riuscito);
    QCOMPARE(contenuto(m_archivio), archivioDi(2));
    QVERIFY(!QFileInfo::exists(temp));
}

// A folder whose names cannot be replaced: the rename fails and both files stay as they were.
void TestArchiveFile::replaceWithCartellaBloccata()
{
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    scrivi(m_archivio, archivioDi(3));
    scrivi(temp, archivioDi(2));
    bool riuscito = false;
    {
        CartellaBloccata blocco(m_dir->path());
        if (!blocco.attiva())
            QSKIP("neither chattr +a nor the permission bits can lock a folder here");
        riuscito = ArchiveFile::replaceWith(temp, m_archivio);
    }
    QVERIFY(!riuscito);
    QCOMPARE(contenuto(m_archivio), archivioDi(3));
    QCOMPARE(contenuto(temp), archivioDi(2));
}

// The new archive takes the permission bits the user set on the old one, whatever the temporary file had.
void TestArchiveFile::replaceWithMantienePermessi_data()
{
    QTest::addColumn<int>("archivio");
    QTest::addColumn<int>("temporaneo");
    QTest::newRow("privato") << 0600 << 0644;
    QTest::newRow("letto dal gruppo") << 0640 << 0600;
    QTest::newRow("aperto a tutti") << 0666 << 0600;
    QTest::newRow("sola lettura") << 0444 << 0644;
}

void TestArchiveFile::replaceWithMantienePermessi()
{
    QFETCH(int, archivio);
    QFETCH(int, temporaneo);
#ifdef Q_OS_WIN
    // A Windows file has the read-only attribute only, which the C library shows as 0444 or 0666.
    if (archivio != 0444 && archivio != 0666)
        QSKIP("Windows has no permission bits for the owner, the group and the others");
#endif
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    scrivi(m_archivio, archivioDi(3));
    scrivi(temp, archivioDi(2));
    std::filesystem::permissions(QFile::encodeName(m_archivio).toStdString(), std::filesystem::perms(archivio));
    std::filesystem::permissions(QFile::encodeName(temp).toStdString(), std::filesystem::perms(temporaneo));

    QVERIFY(ArchiveFile::replaceWith(temp, m_archivio));
    QCOMPARE(contenuto(m_archivio), archivioDi(2));
    QCOMPARE(int(std::filesystem::status(QFile::encodeName(m_archivio).toStdString()).permissions()), archivio);
    QVERIFY(!QFileInfo::exists(temp));
}

// Contatti.pro as a symbolic link: the file at the end of the link gets the new content and the link stays a
// link. The temporary file lies beside that file, as tempPathFor says.
void TestArchiveFile::replaceWithCollegamento_data()
{
    QTest::addColumn<QString>("destinazione"); // what the link says, relative to the archive's folder
    QTest::addColumn<bool>("catena");          // through a second link
    QTest::addColumn<bool>("esiste");          // whether the file at the end exists yet
    QTest::newRow("relativo, in una sottocartella") << "dati/rubrica.pro" << false << true;
    QTest::newRow("nella stessa cartella") << "rubrica.pro" << false << true;
    QTest::newRow("attraverso due collegamenti") << "dati/rubrica.pro" << true << true;
    QTest::newRow("destinazione ancora mancante") << "dati/rubrica.pro" << false << false;
}

void TestArchiveFile::replaceWithCollegamento()
{
    QFETCH(QString, destinazione);
    QFETCH(bool, catena);
    QFETCH(bool, esiste);
#ifdef Q_OS_WIN
    QSKIP(kSenzaCollegamenti);
#endif
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("dati")));
    const QString vero = m_dir->filePath(destinazione);
    if (esiste)
        scrivi(vero, archivioDi(3));
    QString puntato = destinazione;
    if (catena) {
        QVERIFY(QFile::link(destinazione, m_dir->filePath(QStringLiteral("intermedio"))));
        puntato = QStringLiteral("intermedio");
    }
    // QFile::link writes the target as given, so a relative target stays relative to the link's folder.
    QVERIFY(QFile::link(puntato, m_archivio));

    const QString temp = ArchiveFile::tempPathFor(m_archivio);
    QCOMPARE(QFileInfo(temp).absolutePath(), QFileInfo(vero).absolutePath());
    QCOMPARE(QFileInfo(temp).fileName(), QStringLiteral("Contatti.tmp"));
    scrivi(temp, archivioDi(2));

    QVERIFY(ArchiveFile::replaceWith(temp, m_archivio));
    QVERIFY(QFileInfo(m_archivio).isSymLink());
    QCOMPARE(QFile::symLinkTarget(m_archivio), catena ? m_dir->filePath(QStringLiteral("intermedio")) : vero);
    QVERIFY(!QFileInfo(vero).isSymLink());
    QCOMPARE(contenuto(vero), archivioDi(2));
    QCOMPARE(contenuto(m_archivio), archivioDi(2));
    QVERIFY(!QFileInfo::exists(temp));
}

// A temporary file made beside the link (as a restore may) while the link leads to a file on another disk,
// where no rename can reach: the file at the end of the link is still replaced whole, and its bits kept.
void TestArchiveFile::replaceWithCollegamentoAltroDisco()
{
#ifdef Q_OS_WIN
    QSKIP(kSenzaCollegamenti);
#endif
    // /dev/shm is a memory disk on Linux; where there is none, the two folders share a disk and the plain
    // rename does the work.
    QTemporaryDir altrove(QDir(QStringLiteral("/dev/shm")).exists()
                              ? QStringLiteral("/dev/shm/carnetto-XXXXXX")
                              : QDir::tempPath() + QStringLiteral("/carnetto-XXXXXX"));
    QVERIFY(altrove.isValid());
    const QString vero = altrove.filePath(QStringLiteral("rubrica.pro"));
    scrivi(vero, archivioDi(3));
    std::filesystem::permissions(QFile::encodeName(vero).toStdString(), std::filesystem::perms(0600));
    QVERIFY(QFile::link(vero, m_archivio));
    const QString temp = ArchiveFile::tempPath(m_dir->path());
    scrivi(temp, archivioDi(2));

    QVERIFY(ArchiveFile::replaceWith(temp, m_archivio));
    QCOMPARE(QFileInfo(m_archivio).symLinkTarget(), vero);
    QCOMPARE(contenuto(vero), archivioDi(2));
    QCOMPARE(int(std::filesystem::status(QFile::encodeName(vero).toStdString()).permissions()), 0600);
    QVERIFY(!QFileInfo::exists(temp));
    QCOMPARE(QDir(altrove.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("rubrica.pro")});
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
