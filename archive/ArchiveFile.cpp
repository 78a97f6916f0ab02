#include "archive/ArchiveFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <typeinfo>

#ifdef Q_OS_WIN
#include <QThread>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

// copy_file_range: Linux 4.5 and glibc 2.27 on. Elsewhere records are always copied through the buffer.
#if defined(Q_OS_LINUX) && __has_include(<unistd.h>)
#define CARNETTO_KERNEL_COPY 1
#include <sys/types.h>
#endif

namespace fs = std::filesystem;

namespace {

ArchiveFile::Counters g_counters;

#ifdef CARNETTO_KERNEL_COPY
qint64 linuxCopyFileRange(int sourceFd, qint64 sourceOffset, int targetFd, qint64 targetOffset, qint64 length)
{
    off64_t in = sourceOffset;
    off64_t out = targetOffset;
    return ::copy_file_range(sourceFd, &in, targetFd, &out, size_t(length), 0);
}
#endif

ArchiveFile::KernelCopy g_kernelCopy = ArchiveFile::systemKernelCopy();

// The kernel saying it cannot copy between these two files, rather than that the copy failed: the buffer
// then does the work. EXDEV: two file systems (before Linux 5.3, and again between unlike ones since 5.19);
// ENOSYS: a kernel without the call; EOPNOTSUPP, EINVAL: a file system or file kind that does not take it.
bool kernelRefused(int error)
{
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP || error == EINVAL;
}

// A whole number of records, so that blocks read in sequence never split one.
constexpr qint64 kBlockSize = 228 * ArchiveFile::kRecordSize;

// Beyond this many links in a chain the system itself gives up (ELOOP).
constexpr int kMaxLinkHops = 40;

fs::path nativePath(const QString& path)
{
#ifdef Q_OS_WIN
    return fs::path(path.toStdWString());
#else
    return fs::path(QFile::encodeName(path).toStdString());
#endif
}

QString fromNativePath(const fs::path& path)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
#endif
}

// The file a path names: the path itself, or the end of its chain of symbolic links, which need not exist
// yet. Empty, with `error` set, for a chain that loops or cannot be read.
fs::path realTarget(const fs::path& path, std::error_code& error)
{
    fs::path current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        const fs::file_status status = fs::symlink_status(current, error);
        if (status.type() == fs::file_type::not_found) {
            error.clear();
            return current;
        }
        if (error)
            return {};
        if (status.type() != fs::file_type::symlink)
            return current;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return {};
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

// Makes a rename that has already happened survive a power cut. Failing here changes nothing the user can act
// on: the new archive is in place either way.
void syncFolder([[maybe_unused]] const fs::path& file)
{
#ifndef Q_OS_WIN
    const int fd = ::open(file.parent_path().empty() ? "." : file.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

// Puts `from` in the place of `to` in one step, replacing it. On Windows the move reaches the disk before it
// returns (MOVEFILE_WRITE_THROUGH), and a file another program holds open cannot be replaced: a program that
// only looks at it for a moment (a virus scanner, the search indexer) is waited for, up to about two seconds.
void moveReplacing(const fs::path& from, const fs::path& to, std::error_code& error)
{
#ifdef Q_OS_WIN
    for (int tentativo = 0;; ++tentativo) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            error.clear();
            return;
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_NOT_SAME_DEVICE) {
            error = std::make_error_code(std::errc::cross_device_link);
            return;
        }
        error = std::error_code(int(code), std::system_category());
        const bool held =
            code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
        if (!held || tentativo >= 40)
            return;
        QThread::msleep(50);
    }
#else
    fs::rename(from, to, error);
#endif
}

// Takes away a temporary file left over from an interrupted write, so that it can be made anew with O_EXCL. A
// symbolic link goes itself, never the file it points to; a folder of that name stays (and the creation after
// fails with the usual archive error).
void removeLeftover(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        QFile::remove(path);
#else
    ::unlink(QFile::encodeName(path).constData());
#endif
}

// Copies `from` into a new file `to` and forces it to the disk. False when it cannot; a `to` it made is then
// removed.
bool copyAndSync(const fs::path& from, const fs::path& to)
{
    ArchiveDevice source(fromNativePath(from));
    ArchiveDevice copy(fromNativePath(to));
    if (!source.open(QIODevice::ReadOnly))
        return false;
    removeLeftover(fromNativePath(to));
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    bool ok = true;
    QByteArray block(kBlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 n = source.read(block.data(), block.size());
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (copy.write(block.constData(), n) != n) {
            ok = false;
            break;
        }
    }
    ok = ok && copy.flush() && copy.syncToDisk();
    ok = copy.closeFile() && ok;
    if (!ok)
        QFile::remove(fromNativePath(to));
    return ok;
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

QString ArchiveFile::tempPathFor(const QString& archivePath)
{
    std::error_code error;
    const fs::path target = realTarget(nativePath(archivePath), error);
    if (error || target == nativePath(archivePath))
        return tempPath(fromNativePath(nativePath(archivePath).parent_path()));
    return tempPath(fromNativePath(target.parent_path()));
}

ArchiveFile::ArchiveFile(const QString& path, const DeviceFactory& makeDevice)
    : ArchiveFile(makeDevice ? makeDevice(path) : std::make_unique<ArchiveDevice>(path))
{
}

ArchiveFile::ArchiveFile(std::unique_ptr<ArchiveDevice> device) : m_file(std::move(device))
{
    Q_ASSERT(m_file);
}

ArchiveFile::~ArchiveFile()
{
    close();
}

bool ArchiveFile::open(Access access)
{
    // A write-protected stick or folder still lets the cards be read: only an operation that writes asks
    // for write access. Nothing can be created there either, so a missing archive is then a failure.
    if (access == Access::ReadOnly && m_file->exists())
        return openWith(QIODevice::ReadOnly | QIODevice::ExistingOnly);
    // ReadWrite alone never truncates; ExistingOnly keeps a missing archive missing.
    QIODevice::OpenMode mode = QIODevice::ReadWrite;
    if (access == Access::ExistingOnly)
        mode |= QIODevice::ExistingOnly;
    return openWith(mode);
}

bool ArchiveFile::create()
{
    // NewOnly is O_CREAT | O_EXCL: a link planted after the leftover went makes the creation fail instead of
    // leading the records into the file it points to.
    removeLeftover(m_file->fileName());
    return openWith(QIODevice::ReadWrite | QIODevice::NewOnly);
}

bool ArchiveFile::openWith(QIODevice::OpenMode mode)
{
    close();
    ++g_counters.opens;
    m_pos = 0;
    if (!m_file->open(mode | QIODevice::Unbuffered))
        return fail();
    return true;
}

qint64 ArchiveFile::recordCount() const
{
    if (!m_file->isOpen())
        return 0;
    // Asked of the file system each time, so a change made by another program between two calls is seen.
    qint64 size = m_file->size();
    if (!m_writeBuffer.isEmpty())
        size = std::max(size, m_writeStart + m_writeBuffer.size());
    return size / kRecordSize;
}

bool ArchiveFile::seek(qint64 index)
{
    if (!m_file->isOpen() || index < 0)
        return false;
    const qint64 pos = index * kRecordSize;
    // Going past the end would leave a gap of zeros in the archive at the next write. Scans seek to where the
    // file already is, and need not ask the file system for its size each time.
    if (pos != m_pos && index > recordCount()) {
        m_error = QStringLiteral("Record %1 oltre la fine dell'archivio").arg(index);
        return false;
    }
    m_pos = pos;
    return true;
}

bool ArchiveFile::read(TSchedaContatto& scheda)
{
    if (!m_file->isOpen() || !flushWrites())
        return false;
    const qint64 readEnd = m_readStart + m_readBuffer.size();
    if (m_pos < m_readStart || m_pos + kRecordSize > readEnd) {
        if (!fillReadBuffer(m_pos))
            return false;
    }
    std::memcpy(&scheda, m_readBuffer.constData() + (m_pos - m_readStart), kRecordSize);
    m_pos += kRecordSize;
    ++g_counters.recordsRead;
    return true;
}

bool ArchiveFile::holds(qint64 index, const TSchedaContatto& expected)
{
    TSchedaContatto found;
    return index >= 0 && index < recordCount() && seek(index) && read(found) &&
           std::memcmp(&found, &expected, kRecordSize) == 0;
}

bool ArchiveFile::fillReadBuffer(qint64 pos)
{
    const bool inSequence = !m_readBuffer.isEmpty() && pos == m_readStart + m_readBuffer.size();
    const qint64 wanted = inSequence ? kBlockSize : kRecordSize;
    dropReadBuffer();
    if (!m_file->seek(pos))
        return fail();
    m_readBuffer.resize(wanted);
    qint64 got = 0;
    while (got < wanted) {
        const qint64 n = m_file->read(m_readBuffer.data() + got, wanted - got);
        if (n < 0)
            return fail();
        if (n == 0)
            break;
        got += n;
    }
    m_readBuffer.resize(got);
    m_readStart = pos;
    if (got < kRecordSize) {
        m_error = QStringLiteral("Record incompleto alla posizione %1").arg(pos / kRecordSize + 1);
        return false;
    }
    return true;
}

bool ArchiveFile::write(const TSchedaContatto& scheda)
{
    if (!m_file->isOpen())
        return false;
    dropReadBuffer();
    if (!m_writeBuffer.isEmpty() && m_pos != m_writeStart + m_writeBuffer.size() && !flushWrites())
        return false;
    if (m_writeBuffer.isEmpty()) {
        m_writeBuffer.reserve(kBlockSize);
        m_writeStart = m_pos;
    }
    m_writeBuffer.append(reinterpret_cast<const char*>(&scheda), kRecordSize);
    m_pos += kRecordSize;
    ++g_counters.recordsWritten;
    return m_writeBuffer.size() < kBlockSize || flushWrites();
}

bool ArchiveFile::flushWrites()
{
    if (m_writeBuffer.isEmpty())
        return true;
    const bool ok = m_file->seek(m_writeStart) && m_file->write(m_writeBuffer) == m_writeBuffer.size();
    m_writeBuffer.resize(0);
    if (!ok)
        m_writeFailed = true;
    return ok || fail();
}

void ArchiveFile::dropReadBuffer()
{
    m_readBuffer.resize(0);
    m_readStart = 0;
}

bool ArchiveFile::fail()
{
    m_error = m_file->errorString();
    return false;
}

qint64 ArchiveFile::currentIndex() const
{
    return m_file->isOpen() ? m_pos / kRecordSize : 0;
}

bool ArchiveFile::close()
{
    if (!m_file->isOpen())
        return true;
    bool ok = flushWrites() && !m_writeFailed;
    if (!m_file->closeFile())
        ok = fail();
    m_readBuffer = QByteArray();
    m_writeBuffer = QByteArray();
    m_readStart = m_writeStart = m_pos = 0;
    m_writeFailed = false;
    return ok;
}

bool ArchiveFile::sync()
{
    // Records dropped by an earlier failed write are not on the disk, whatever the system's sync says now.
    if (!m_file->isOpen() || !flushWrites() || m_writeFailed)
        return false;
    if (m_file->syncToDisk())
        return true;
    m_writeFailed = true;
    return fail();
}

ArchiveFile::KernelCopy ArchiveFile::systemKernelCopy()
{
#ifdef CARNETTO_KERNEL_COPY
    return &linuxCopyFileRange;
#else
    return nullptr;
#endif
}

ArchiveFile::KernelCopy ArchiveFile::kernelCopy()
{
    return g_kernelCopy;
}

void ArchiveFile::setKernelCopy(KernelCopy copy)
{
    g_kernelCopy = copy;
}

bool ArchiveFile::copyRecordsFrom(ArchiveFile& source, qint64 first, qint64 count)
{
    if (!m_file->isOpen() || !source.m_file->isOpen() || first < 0 || count < 0)
        return false;
    if (count == 0)
        return true;
    // Whatever either file still holds in memory goes out first, so the kernel sees the file as it stands;
    // and what this file has read ahead is stale once the kernel has written under it.
    if (!source.flushWrites() || !flushWrites())
        return false;
    dropReadBuffer();
    const qint64 moved = kernelCopyFrom(source, first, count);
    if (moved < 0)
        return false;
    if (moved == count)
        return true;
    // The rest, or everything, through the buffer. Its reads and writes count themselves.
    if (!source.seek(first + moved)) {
        m_error = source.errorString();
        return false;
    }
    TSchedaContatto scheda;
    for (qint64 i = moved; i < count; ++i) {
        if (!source.read(scheda)) {
            m_error = source.errorString();
            return false;
        }
        if (!write(scheda))
            return false;
    }
    return true;
}

qint64 ArchiveFile::kernelCopyBytes(int sourceFd, qint64 from, int targetFd, qint64 to, qint64 length)
{
    if (!g_kernelCopy)
        return 0;
    qint64 done = 0;
    while (done < length) {
        // Slices the kernel takes in one call whatever the size of its types.
        const qint64 n =
            g_kernelCopy(sourceFd, from + done, targetFd, to + done, std::min<qint64>(length - done, 1 << 30));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && !kernelRefused(errno))
            return -1;
        break; // refused, or the source ended early
    }
    return done;
}

// The whole records the kernel copied, from 0 (it refused at once, or the devices are not plain files) to
// `count`; -1 when the copy failed in a way the buffer would not get round (a full disk, an I/O error).
// Bytes of a record copied only in part are written again by the buffered copy that follows.
qint64 ArchiveFile::kernelCopyFrom(ArchiveFile& source, qint64 first, qint64 count)
{
    // A device of another kind decides itself what its reads and writes do; the kernel must not go round it.
    if (!g_kernelCopy || typeid(*m_file) != typeid(ArchiveDevice) || typeid(*source.m_file) != typeid(ArchiveDevice))
        return 0;
    const int in = source.m_file->handle();
    const int out = m_file->handle();
    if (in < 0 || out < 0)
        return 0;
    const qint64 done = kernelCopyBytes(in, first * kRecordSize, out, m_pos, count * kRecordSize);
    if (done < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        m_writeFailed = true;
        return -1;
    }
    const qint64 records = done / kRecordSize;
    m_pos += records * kRecordSize;
    g_counters.recordsRead += int(records);
    g_counters.recordsWritten += int(records);
    return records;
}

QString ArchiveFile::errorString() const
{
    return m_error;
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
    const fs::path from = nativePath(tempPath);
    std::error_code error;
    // Only a file of records may take the archive's place.
    if (!fs::is_regular_file(fs::symlink_status(from, error)))
        return false;
    const fs::path to = realTarget(nativePath(archivePath), error);
    if (error)
        return false;
    const fs::file_status old = fs::status(to, error);
    if (fs::exists(old)) {
        if (!fs::is_regular_file(old))
            return false;
        fs::permissions(from, old.permissions() & fs::perms::mask, fs::perm_options::replace, error);
        if (error)
            return false;
    }
    error.clear();
    // rename replaces the target in one step on POSIX and, with MOVEFILE_REPLACE_EXISTING, on Windows;
    // deleting the archive first would open a window in which there is none.
    moveReplacing(from, to, error);
    if (!error) {
        syncFolder(to);
        return true;
    }
    if (error != std::errc::cross_device_link)
        return false;
    // The archive is a link to a file on another disk than the temporary file: a copy beside that file,
    // forced to its disk, takes its place there in one rename instead.
    const fs::path beside = nativePath(ArchiveFile::tempPath(fromNativePath(to.parent_path())));
    if (!copyAndSync(from, beside))
        return false;
    error.clear();
    if (fs::exists(old))
        fs::permissions(beside, old.permissions() & fs::perms::mask, fs::perm_options::replace, error);
    if (!error)
        moveReplacing(beside, to, error);
    if (error) {
        fs::remove(beside, error);
        return false;
    }
    syncFolder(to);
    fs::remove(from, error);
    return true;
}
