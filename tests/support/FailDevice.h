#pragma once

#include "archive/ArchiveDevice.h"

#include <QString>

#include <algorithm>
#include <limits>

// A file that fails the way a full disk, a pulled stick or a write-protected one does, the same for root as
// for a normal user: writes past a number of bytes fail (the bytes before the limit land), forcing the data to
// the disk or closing can fail, and opening for writing can be refused (nothing is then created). Hand one to
// ArchiveFile, or hand the code under test an ArchiveFile::DeviceFactory that makes them.
class FailDevice : public ArchiveDevice
{
public:
    using ArchiveDevice::ArchiveDevice;

    struct Faults
    {
        qint64 writesAfter = std::numeric_limits<qint64>::max();
        bool atClose = false;
        bool atSync = false;
        bool writeProtected = false;
    };

    // Writes fail once this many bytes have been written through the device.
    void failWritesAfter(qint64 bytes) { m_faults.writesAfter = bytes; }
    void failAtClose(bool fail = true) { m_faults.atClose = fail; }
    void failAtSync(bool fail = true) { m_faults.atSync = fail; }
    // Opening for writing fails as on a locked stick; opening for reading works.
    void refuseWriting(bool refuse = true) { m_faults.writeProtected = refuse; }
    void setFaults(const Faults& faults) { m_faults = faults; }

    qint64 bytesWritten() const { return m_written; }
    // Counts each request to force the data to the disk in *counter, which must outlive the device (the
    // device itself usually belongs to the ArchiveFile under test).
    void countSyncsIn(int* counter) { m_syncCounter = counter; }

    bool open(OpenMode mode) override
    {
        if (m_faults.writeProtected && (mode & QIODevice::WriteOnly)) {
            setErrorString(QStringLiteral("Supporto protetto da scrittura (simulato)"));
            return false;
        }
        return ArchiveDevice::open(mode);
    }

    bool syncToDisk() override
    {
        if (m_syncCounter)
            ++*m_syncCounter;
        if (!m_faults.atSync)
            return ArchiveDevice::syncToDisk();
        setErrorString(QStringLiteral("Errore di scrittura sul disco (simulato)"));
        return false;
    }

    bool closeFile() override
    {
        const bool ok = ArchiveDevice::closeFile();
        if (!m_faults.atClose)
            return ok;
        setErrorString(QStringLiteral("Errore simulato alla chiusura"));
        return false;
    }

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (m_written >= m_faults.writesAfter) {
            setErrorString(QStringLiteral("Spazio esaurito sul dispositivo (simulato)"));
            return -1;
        }
        const qint64 n = ArchiveDevice::writeData(data, std::min(len, m_faults.writesAfter - m_written));
        if (n > 0)
            m_written += n;
        return n;
    }

private:
    Faults m_faults;
    qint64 m_written = 0;
    int* m_syncCounter = nullptr;
};
