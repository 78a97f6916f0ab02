#pragma once

#include <QFile>

// The file under an ArchiveFile. Besides reading and writing, two steps can fail that the write calls never
// see: forcing the written bytes to the disk, and closing (a full disk or a pulled stick may only show there).
// Both go through these hooks, so a test can hand ArchiveFile a device that fails them on demand, the same
// for root as for any other user.
class ArchiveDevice : public QFile
{
public:
    using QFile::QFile;

    // Forces the bytes written so far to the disk. False, with errorString() saying why, when it cannot.
    virtual bool syncToDisk();
    // Closes the file. False, with errorString() saying why, when the system reports an error on closing.
    virtual bool closeFile();
};
