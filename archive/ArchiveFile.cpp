#include "archive/ArchiveFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

ArchiveFile::Counters g_counters;

// A whole number of records, so that blocks read in sequence never split one.
constexpr qint64 kBlocco = 228 * ArchiveFile::kRecordSize;

std::filesystem::path percorsoNativo(const QString& percorso)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(percorso.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(percorso).toStdString());
#endif
}

// Makes a rename that has already happened survive a power cut. Failing here changes nothing the user can act
// on: the new archive is in place either way.
void sincronizzaCartella([[maybe_unused]] const std::filesystem::path& file)
{
#ifndef Q_OS_WIN
    const int fd = ::open(file.parent_path().empty() ? "." : file.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

} // namespace

QString ArchiveFile::archivePath(const QString& appDir)
{
    return appDir + QStringLiteral("/Contatti.pro");
}

QString ArchiveFile::tempPath(const QString& appDir)
{
    return appDir + QStringLiteral("/Contatti.tmp");
}

ArchiveFile::ArchiveFile(QString path) : m_file(std::move(path)) {}

ArchiveFile::~ArchiveFile()
{
    close();
}

bool ArchiveFile::open(Apertura apertura)
{
    // A write-protected stick or folder still lets the cards be read: only an operation that writes asks
    // for write access. Nothing can be created there either, so a missing archive is then a failure.
    if (apertura == Apertura::Lettura && m_file.exists())
        return apri(QIODevice::ReadOnly | QIODevice::ExistingOnly);
    // ReadWrite alone never truncates; ExistingOnly keeps a missing archive missing.
    QIODevice::OpenMode modo = QIODevice::ReadWrite;
    if (apertura == Apertura::SoloEsistente)
        modo |= QIODevice::ExistingOnly;
    return apri(modo);
}

bool ArchiveFile::create()
{
    return apri(QIODevice::ReadWrite | QIODevice::Truncate);
}

bool ArchiveFile::apri(QIODevice::OpenMode modo)
{
    close();
    ++g_counters.opens;
    m_posizione = 0;
    if (!m_file.open(modo | QIODevice::Unbuffered))
        return fallisce();
    return true;
}

qint64 ArchiveFile::recordCount() const
{
    if (!m_file.isOpen())
        return 0;
    // Asked of the file system each time, so a change made by another program between two calls is seen.
    qint64 dimensione = m_file.size();
    if (!m_scrittura.isEmpty())
        dimensione = std::max(dimensione, m_inizioScrittura + m_scrittura.size());
    return dimensione / kRecordSize;
}

bool ArchiveFile::seek(qint64 index)
{
    if (!m_file.isOpen() || index < 0)
        return false;
    const qint64 posizione = index * kRecordSize;
    // Going past the end would leave a gap of zeros in the archive at the next write. Scans seek to where the
    // file already is, and need not ask the file system for its size each time.
    if (posizione != m_posizione && index > recordCount()) {
        m_errore = QStringLiteral("Record %1 oltre la fine dell'archivio").arg(index);
        return false;
    }
    m_posizione = posizione;
    return true;
}

bool ArchiveFile::read(TSchedaContatto& scheda)
{
    if (!m_file.isOpen() || !svuotaScrittura())
        return false;
    const qint64 fineLettura = m_inizioLettura + m_lettura.size();
    if (m_posizione < m_inizioLettura || m_posizione + kRecordSize > fineLettura) {
        if (!riempi(m_posizione))
            return false;
    }
    std::memcpy(&scheda, m_lettura.constData() + (m_posizione - m_inizioLettura), kRecordSize);
    m_posizione += kRecordSize;
    ++g_counters.recordsRead;
    return true;
}

bool ArchiveFile::riempi(qint64 posizione)
{
    const bool inSequenza = !m_lettura.isEmpty() && posizione == m_inizioLettura + m_lettura.size();
    const qint64 richiesti = inSequenza ? kBlocco : kRecordSize;
    dimenticaLettura();
    if (!m_file.seek(posizione))
        return fallisce();
    m_lettura.resize(richiesti);
    qint64 letti = 0;
    while (letti < richiesti) {
        const qint64 n = m_file.read(m_lettura.data() + letti, richiesti - letti);
        if (n < 0)
            return fallisce();
        if (n == 0)
            break;
        letti += n;
    }
    m_lettura.resize(letti);
    m_inizioLettura = posizione;
    if (letti < kRecordSize) {
        m_errore = QStringLiteral("Record incompleto alla posizione %1").arg(posizione / kRecordSize + 1);
        return false;
    }
    return true;
}

bool ArchiveFile::write(const TSchedaContatto& scheda)
{
    if (!m_file.isOpen())
        return false;
    dimenticaLettura();
    if (!m_scrittura.isEmpty() && m_posizione != m_inizioScrittura + m_scrittura.size() && !svuotaScrittura())
        return false;
    if (m_scrittura.isEmpty()) {
        m_scrittura.reserve(kBlocco);
        m_inizioScrittura = m_posizione;
    }
    m_scrittura.append(reinterpret_cast<const char*>(&scheda), kRecordSize);
    m_posizione += kRecordSize;
    ++g_counters.recordsWritten;
    return m_scrittura.size() < kBlocco || svuotaScrittura();
}

bool ArchiveFile::svuotaScrittura()
{
    if (m_scrittura.isEmpty())
        return true;
    const bool ok = m_file.seek(m_inizioScrittura) && m_file.write(m_scrittura) == m_scrittura.size();
    m_scrittura.resize(0);
    if (!ok)
        m_scritturaFallita = true;
    return ok || fallisce();
}

void ArchiveFile::dimenticaLettura()
{
    m_lettura.resize(0);
    m_inizioLettura = 0;
}

bool ArchiveFile::fallisce()
{
    m_errore = m_file.errorString();
    return false;
}

qint64 ArchiveFile::currentIndex() const
{
    return m_file.isOpen() ? m_posizione / kRecordSize : 0;
}

bool ArchiveFile::close()
{
    if (!m_file.isOpen())
        return true;
    m_file.unsetError();
    bool ok = svuotaScrittura() && !m_scritturaFallita;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        ok = fallisce();
    m_lettura = QByteArray();
    m_scrittura = QByteArray();
    m_inizioLettura = m_inizioScrittura = m_posizione = 0;
    m_scritturaFallita = false;
    return ok;
}

bool ArchiveFile::sync()
{
    if (!m_file.isOpen() || !svuotaScrittura())
        return false;
#ifdef Q_OS_WIN
    const bool ok = ::_commit(m_file.handle()) == 0;
#else
    const bool ok = ::fsync(m_file.handle()) == 0;
#endif
    if (!ok) {
        m_errore = QString::fromLocal8Bit(std::strerror(errno));
        m_scritturaFallita = true;
    }
    return ok;
}

QString ArchiveFile::errorString() const
{
    return m_errore;
}

const ArchiveFile::Counters& ArchiveFile::counters()
{
    return g_counters;
}

void ArchiveFile::resetCounters()
{
    g_counters = Counters{};
}

bool ArchiveFile::replaceWith(const QString& tempPath, const QString& archivePath)
{
    const std::filesystem::path da = percorsoNativo(tempPath);
    const std::filesystem::path a = percorsoNativo(archivePath);
    std::error_code errore;
    // Only a file of records may take the archive's place.
    if (!std::filesystem::is_regular_file(da, errore))
        return false;
    // rename replaces the target in one step on POSIX and, with MOVEFILE_REPLACE_EXISTING, on Windows;
    // deleting the archive first would open a window in which there is none.
    std::filesystem::rename(da, a, errore);
    if (errore)
        return false;
    sincronizzaCartella(a);
    return true;
}
