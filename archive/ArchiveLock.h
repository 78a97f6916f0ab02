#pragma once

#include <QString>

#include <chrono>
#include <memory>

class QLockFile;

// The write lock beside the archive, held for the length of one write: whoever changes Contatti.pro (a window,
// the command line, another copy of the program, another computer sharing the folder) takes it first, so
// writers take turns. Reading takes no lock: replacements are renames and a record is written in one call, so
// a reader always sees whole records.
//
// A lock whose holder died is taken over. On this computer a dead holder shows at once (its process is gone);
// a lock left by another computer counts as dead once it is kStaleAge old, and a live holder keeps its lock
// younger than that by touching it while it writes, however long the write takes (a slow stick).
//
// The same machinery serves the other locks beside the archive (BloccoSincronizzazione): give the lock file's
// path and how long to wait.
class ArchiveLock
{
public:
    enum class State {
        Held,     // the lock is ours until the object goes
        Busy,     // another writer kept it for the whole wait: write nothing
        Unlocked, // the folder takes no lock file (write-protected, full): nobody can hold one, so the write
                  // goes on, and fails by itself if the folder takes no archive either
        Guasto,   // the lock file is something no program can hold or release (a folder, a FIFO, a link, a file
                  // this user cannot read): write nothing, and show problema(), which says what to do
    };

    static constexpr std::chrono::milliseconds kStaleAge{8000};
    static constexpr std::chrono::milliseconds kTouchEvery{2000};

    // Waits up to waitTime() for the lock of the archive at `archivePath`.
    explicit ArchiveLock(const QString& archivePath);
    // Waits up to `wait` (0: tries once) for the lock file `lockFile`.
    ArchiveLock(const QString& lockFile, std::chrono::milliseconds wait);
    ~ArchiveLock();
    ArchiveLock(const ArchiveLock&) = delete;
    ArchiveLock& operator=(const ArchiveLock&) = delete;

    State state() const { return m_state; }
    bool busy() const { return m_state == State::Busy; }
    bool guasto() const { return m_state == State::Guasto; }
    // For Guasto: what is wrong with the lock file and what to do, in the user's words. Empty otherwise.
    QString problema() const { return m_problema; }

    // Beside the file the archive really is, as its temporary file: a symbolic link elsewhere leads every
    // writer to the same lock.
    static QString lockPath(const QString& archivePath);
    // Another lock file of that name in the same folder.
    static QString lockPath(const QString& archivePath, const QString& fileName);

    // How long a writer waits for a busy lock; tests shorten it.
    static std::chrono::milliseconds waitTime();
    static void setWaitTime(std::chrono::milliseconds wait);

private:
    class Toucher;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<Toucher> m_toucher;
    State m_state = State::Busy;
    QString m_problema;
};
