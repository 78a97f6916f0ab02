#include "archive/ArchiveLock.h"

#include "archive/ArchiveFile.h"
#include "archive/MessaggiArchivio.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <thread>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::chrono::milliseconds g_waitTime{5000};

// A lock that QLockFile cannot judge: one written by another computer (it cannot see that computer's
// processes), or one whose holder died before it wrote who it is. Either counts as dead once it is old.
bool foreignAndOld(QLockFile& lock, const QString& path)
{
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application) && (host.isEmpty() || host == QSysInfo::machineHostName()))
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    return qAbs(age) > ArchiveLock::kStaleAge.count();
}

// Empty while the lock file is missing, or a regular file this user can read, which QLockFile can judge;
// otherwise the message that says what it is instead. QLockFile reads the holder from the file: a FIFO would
// hang it, and a folder, a link or an unreadable file would look held by a live writer for ever. Asked before
// each try, so nothing of the sort is ever opened.
QString problemaDelFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return messaggioBloccoNonNormale(name, QStringLiteral("è un collegamento"));
    if (info.isDir())
        return messaggioBloccoNonNormale(name, QStringLiteral("è una cartella"));
    return {};
#else
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0)
        return {}; // missing; a folder that cannot be searched is QLockFile's to report
    if (S_ISREG(st.st_mode)) {
        const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return {};
        }
        return errno == EACCES || errno == EPERM ? messaggioBloccoIlleggibile(name) : QString();
    }
    if (S_ISDIR(st.st_mode))
        return messaggioBloccoNonNormale(name, QStringLiteral("è una cartella"));
    if (S_ISLNK(st.st_mode))
        return messaggioBloccoNonNormale(name, QStringLiteral("è un collegamento simbolico"));
    if (S_ISFIFO(st.st_mode))
        return messaggioBloccoNonNormale(name, QStringLiteral("è una FIFO"));
    if (S_ISSOCK(st.st_mode))
        return messaggioBloccoNonNormale(name, QStringLiteral("è un socket"));
    return messaggioBloccoNonNormale(name, QStringLiteral("è un dispositivo"));
#endif
}

// Brings the lock file's time to now without opening it or following a link: whatever took its place is left
// alone.
void touch(const QString& path)
{
#ifdef Q_OS_WIN
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
#else
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, AT_SYMLINK_NOFOLLOW);
#endif
}

} // namespace

// Keeps the lock file's time fresh while the lock is held, so that another computer never takes a live lock
// for a dead one during a long write.
class ArchiveLock::Toucher
{
public:
    explicit Toucher(const QString& path)
        : m_thread([this, path] {
              std::unique_lock lock(m_mutex);
              while (!m_cv.wait_for(lock, kTouchEvery, [this] { return m_stop; }))
                  touch(path);
          })
    {
    }
    ~Toucher()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_stop = false;
    std::thread m_thread;
};

ArchiveLock::ArchiveLock(const QString& archivePath) : ArchiveLock(lockPath(archivePath), g_waitTime) {}

ArchiveLock::ArchiveLock(const QString& lockFile, std::chrono::milliseconds wait)
    : m_lock(std::make_unique<QLockFile>(lockFile))
{
    // Age alone would take a live lock from a writer of this computer in the middle of a long write; QLockFile
    // still sees at once that a holder of this computer is gone.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(wait);
    for (;;) {
        // QLockFile takes a second lock, <name>.rmlock, to remove a stale one, and reads it the same way.
        m_problema = problemaDelFile(lockFile);
        if (m_problema.isEmpty())
            m_problema = problemaDelFile(lockFile + QStringLiteral(".rmlock"));
        if (!m_problema.isEmpty()) {
            m_state = State::Guasto;
            return;
        }
        if (m_lock->tryLock(0)) {
            m_state = State::Held;
            m_toucher = std::make_unique<Toucher>(lockFile);
            return;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            m_state = State::Unlocked;
            return;
        }
        if (foreignAndOld(*m_lock, lockFile) && m_lock->removeStaleLockFile())
            continue;
        if (deadline.hasExpired()) {
            m_state = State::Busy;
            return;
        }
        QThread::msleep(20);
    }
}

ArchiveLock::~ArchiveLock()
{
    m_toucher.reset();
    m_lock->unlock();
}

QString ArchiveLock::lockPath(const QString& archivePath)
{
    return lockPath(archivePath, QStringLiteral("Contatti.lock"));
}

QString ArchiveLock::lockPath(const QString& archivePath, const QString& fileName)
{
    return QFileInfo(ArchiveFile::tempPathFor(archivePath)).dir().filePath(fileName);
}

std::chrono::milliseconds ArchiveLock::waitTime()
{
    return g_waitTime;
}

void ArchiveLock::setWaitTime(std::chrono::milliseconds wait)
{
    g_waitTime = wait;
}
