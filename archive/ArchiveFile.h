#pragma once

#include "archive/ArchiveDevice.h"
#include "archive/TSchedaContatto.h"

#include <QString>

#include <functional>
#include <memory>

// The archive, or the temporary file of a deletion, as a file of whole records. An operation opens it, works
// by record index and closes it before returning; nothing is cached between operations, so a change made by
// another program (or a restore) is seen by the next one. The destructor closes the file on every path.
class ArchiveFile
{
public:
    static constexpr qint64 kRecordSize = sizeof(TSchedaContatto);

    enum class Access {
        OpenOrCreate, // read and write; a missing file is created empty
        ExistingOnly, // read and write; a missing file stays missing
        ReadOnly,     // read only, so a write-protected archive can still be read; a missing file is created
    };

    struct Counters
    {
        int recordsRead = 0;
        int recordsWritten = 0;
        int opens = 0;
    };

    // Makes the device for a path; tests pass one that hands out failing devices. An empty factory makes
    // plain ArchiveDevices.
    using DeviceFactory = std::function<std::unique_ptr<ArchiveDevice>(const QString& path)>;

    static QString archivePath(const QString& appDir);
    static QString tempPath(const QString& appDir);
    // Where the temporary file that is to replace `archivePath` belongs: beside the file the archive really is,
    // which is another folder when Contatti.pro is a symbolic link. A rename can only replace a file on its
    // own file system.
    static QString tempPathFor(const QString& archivePath);

    explicit ArchiveFile(const QString& path, const DeviceFactory& makeDevice = {});
    explicit ArchiveFile(std::unique_ptr<ArchiveDevice> device);
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Never empties an existing file.
    bool open(Access access);
    // Creates the file empty, in place of one left over from before. Never follows a symbolic link: a leftover
    // link goes itself, and the file is made with O_EXCL, so a link planted meanwhile fails the creation. A
    // folder of that name fails it too, and stays.
    bool create();
    bool isOpen() const { return m_file->isOpen(); }

    // Complete records only: the bytes of an incomplete last record are not counted.
    qint64 recordCount() const;
    // Any index from 0 to recordCount(); one further would leave a gap in the file at the next write.
    bool seek(qint64 index);
    // False on a short read, an incomplete last record included.
    bool read(TSchedaContatto& scheda);
    // Writes at the current index, extending the file when it equals recordCount().
    bool write(const TSchedaContatto& scheda);
    qint64 currentIndex() const;
    // True when record `index` is there and is byte for byte `expected`: a writer checks the record a person
    // loaded before it overwrites or deletes it, since another program may have changed the archive meanwhile.
    // Leaves the current index after the record.
    bool holds(qint64 index, const TSchedaContatto& expected);

    // Records are written out in blocks, so a failed write may only show here: a false return is a failed
    // write. Closing a closed file does nothing.
    bool close();
    // Forces the written records to the disk, for a file about to be renamed over the archive. A failure
    // stays a failure until close().
    bool sync();
    QString errorString() const;

    // Appends records first .. first+count-1 of `source` at this file's current index, as reading each from
    // `source` and writing it here would, and leaves this file's index after them. Between two plain files the
    // kernel moves the bytes (copy_file_range) without them passing through the program; where it refuses
    // (another file system, an old kernel, a file system that cannot) and for any device that is not a plain
    // ArchiveDevice (a test's failing one, say), the records go through the buffer instead. The counters count
    // the records read and written either way. False when a record is missing from `source` or a write fails.
    bool copyRecordsFrom(ArchiveFile& source, qint64 first, qint64 count);

    // How the kernel copies bytes between two open files: copy_file_range's contract with explicit offsets
    // (bytes copied, 0 at the end of the source, -1 with errno set). Null where the system has no such call;
    // tests and benchmarks swap it for a refusing one, or null to copy through the buffer.
    using KernelCopy = qint64 (*)(int sourceFd, qint64 sourceOffset, int targetFd, qint64 targetOffset, qint64 length);
    static KernelCopy systemKernelCopy();
    static KernelCopy kernelCopy();
    static void setKernelCopy(KernelCopy copy);
    // Copies `length` bytes at `from` in one open file to `to` in another through the kernel copy in use. The
    // bytes it copied: all of them, or fewer where the kernel refused or the source ended (the caller's own
    // copy then takes over and finds out which); -1, with errno set, on a failure that copy would not get
    // round either (a full disk, an I/O error).
    static qint64 kernelCopyBytes(int sourceFd, qint64 from, int targetFd, qint64 to, qint64 length);

    static const Counters& counters();
    static void resetCounters();

    // Puts a complete, synced temporary file in the archive's place in one rename, so that the archive holds
    // either its old or its new content whatever happens. What the user set on the archive stays: the new
    // file takes the old one's permission bits, and when `archivePath` is a symbolic link the file it points
    // to is replaced and the link stays a link. A temporary file made at tempPathFor() is renamed straight
    // into place; one on another disk than that file is first copied beside it (and forced to the disk) as
    // Contatti.tmp. On failure both files stay as they were.
    static bool replaceWith(const QString& tempPath, const QString& archivePath);

private:
    bool openWith(QIODevice::OpenMode mode);
    bool fillReadBuffer(qint64 pos);
    bool flushWrites();
    void dropReadBuffer();
    bool fail();
    qint64 kernelCopyFrom(ArchiveFile& source, qint64 first, qint64 count);

    std::unique_ptr<ArchiveDevice> m_file;
    QString m_error;
    // QFile's own 16 KB buffer costs a copy more and far more system calls than ours on a whole-file copy.
    // Reads fill m_readBuffer ahead only once they run in sequence, so browsing asks the system for one
    // record; writes gather in m_writeBuffer while they stay contiguous. Both live only while the file is open.
    QByteArray m_readBuffer;
    qint64 m_readStart = 0;
    QByteArray m_writeBuffer;
    qint64 m_writeStart = 0;
    qint64 m_pos = 0;
    // Records lost in a failed block write or sync stay a failure until close(), whoever saw the first report.
    bool m_writeFailed = false;
};
