#pragma once

#include <QFile>

#include <limits>

// A file that fails the way a full disk or a pulled stick does, the same for root and for a normal user:
// writes past a number of bytes fail (the bytes before it land), and closing can be made to fail.
// Code under test that writes through a QFile it is handed can be given one of these instead.
class FailDevice : public QFile
{
public:
    using QFile::QFile;

    // Writes fail once this many bytes have been written through the device.
    void failWritesAfter(qint64 bytes) { m_writeLimit = bytes; }
    void failAtClose(bool fail = true) { m_failClose = fail; }
    // For code that forces its data to disk through the device: whether that should fail.
    void failAtSync(bool fail = true) { m_failSync = fail; }
    bool syncFails() const { return m_failSync; }

    qint64 bytesWritten() const { return m_written; }

    void close() override
    {
        QFile::close();
        if (m_failClose)
            setErrorString(QStringLiteral("Errore simulato alla chiusura"));
    }

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (m_written >= m_writeLimit) {
            setErrorString(QStringLiteral("Spazio esaurito sul dispositivo (simulato)"));
            return -1;
        }
        const qint64 n = QFile::writeData(data, std::min(len, m_writeLimit - m_written));
        if (n > 0)
            m_written += n;
        return n;
    }

private:
    qint64 m_writeLimit = std::numeric_limits<qint64>::max();
    qint64 m_written = 0;
    bool m_failClose = false;
    bool m_failSync = false;
};
