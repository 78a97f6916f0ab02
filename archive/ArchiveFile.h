#pragma once

#include "archive/TSchedaContatto.h"

#include <QFile>
#include <QString>

// The archive, or the temporary file of a deletion, as a file of whole records. An operation opens it, works
// by record index and closes it before returning; nothing is cached between operations, so a change made by
// another program (or a restore) is seen by the next one. The destructor closes the file on every path.
class ArchiveFile
{
public:
    static constexpr qint64 kRecordSize = sizeof(TSchedaContatto);

    enum class Apertura {
        ApriOCrea,     // read and write; a missing file is created empty
        SoloEsistente, // read and write; a missing file stays missing
        Lettura,       // read only, so a write-protected archive can still be read; a missing file is created
    };

    struct Counters
    {
        int recordsRead = 0;
        int recordsWritten = 0;
        int opens = 0;
    };

    static QString archivePath(const QString& appDir);
    static QString tempPath(const QString& appDir);

    explicit ArchiveFile(QString path);
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Never empties an existing file.
    bool open(Apertura apertura);
    // Creates the file empty, emptying one left over from before.
    bool create();
    bool isOpen() const { return m_file.isOpen(); }

    // Complete records only: the bytes of an incomplete last record are not counted.
    qint64 recordCount() const;
    // Any index from 0 to recordCount(); one further would leave a gap in the file at the next write.
    bool seek(qint64 index);
    // False on a short read, an incomplete last record included.
    bool read(TSchedaContatto& scheda);
    // Writes at the current index, extending the file when it equals recordCount().
    bool write(const TSchedaContatto& scheda);
    qint64 currentIndex() const;

    // Records are written out in blocks, so a failed write may only show here: a false return is a failed
    // write. Closing a closed file does nothing.
    bool close();
    // Forces the written records to the disk, for a file about to be renamed over the archive.
    bool sync();
    QString errorString() const;

    static const Counters& counters();
    static void resetCounters();

    // Puts a complete, flushed temporary file in the archive's place in one rename, so that the archive holds
    // either its old or its new content whatever happens. On failure both files stay as they were.
    static bool replaceWith(const QString& tempPath, const QString& archivePath);

private:
    bool apri(QIODevice::OpenMode modo);
    bool riempi(qint64 posizione);
    bool svuotaScrittura();
    void dimenticaLettura();
    bool fallisce();

    QFile m_file;
    QString m_errore;
    // QFile's own 16 KB buffer costs a copy more and far more system calls than ours on a whole-file copy.
    // Reads fill m_lettura ahead only once they run in sequence, so browsing asks the system for one record;
    // writes gather in m_scrittura while they stay contiguous. Both live only while the file is open.
    QByteArray m_lettura;
    qint64 m_inizioLettura = 0;
    QByteArray m_scrittura;
    qint64 m_inizioScrittura = 0;
    qint64 m_posizione = 0;
    // Records lost in a failed block write stay a failure until close(), whoever saw the first report.
    bool m_scritturaFallita = false;
};
