#include "archive/ArchiveLock.h"

#include "archive/ArchiveFile.h"

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

} // namespace

// Keeps the lock file's time fresh while the lock is held, so that another computer never takes a live lock
// for a dead one during a long write.
class ArchiveLock::Toucher
{
public:
    explicit Toucher(const QString& path)
        : m_thread([this, path] {
              std::unique_lock lock(m_mutex);
              while (!m_cv.wait_for(lock, kTouchEvery, [this] { return m_stop; })) {
                  QFile file(path);
                  if (file.open(QIODevice::ReadOnly))
                      file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
              }
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

ArchiveLock::ArchiveLock(const QString& archivePath) : m_lock(std::make_unique<QLockFile>(lockPath(archivePath)))
{
    // Age alone would take a live lock from a writer of this computer in the middle of a long write; QLockFile
    // still sees at once that a holder of this computer is gone.
    m_lock->setStaleLockTime(0);
    const QDeadlineTimer deadline(g_waitTime);
    for (;;) {
        if (m_lock->tryLock(0)) {
            m_state = State::Held;
            m_toucher = std::make_unique<Toucher>(lockPath(archivePath));
            return;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            m_state = State::Unlocked;
            return;
        }
        if (foreignAndOld(*m_lock, lockPath(archivePath)) && m_lock->removeStaleLockFile())
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
    return QFileInfo(ArchiveFile::tempPathFor(archivePath)).dir().filePath(QStringLiteral("Contatti.lock"));
}

std::chrono::milliseconds ArchiveLock::waitTime()
{
    return g_waitTime;
}

void ArchiveLock::setWaitTime(std::chrono::milliseconds wait)
{
    g_waitTime = wait;
}
