#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <memory>

#ifdef Q_OS_WIN
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QHostAddress>
#include <QTcpSocket>
#include <QtEndian>

#include <windows.h>
#endif

// A Linux program the tests start beside them: a CardDAV server, openssl, the misbehaving server. On Linux a
// QProcess. A Windows test runs under Wine, which cannot start, watch or stop a Linux process: there the
// program is started through tests/support/avviatore.py (CARNETTO_AVVIATORE=PORT:KEY, set by make test-windows),
// and `percorso` turns the test's own file names into the ones the Linux program opens.
class ProcessoDiProva
{
public:
    ~ProcessoDiProva() { kill(); }

    // Whether the program can be started here.
    static bool disponibile(const QString& nome)
    {
#ifdef Q_OS_WIN
        return !qEnvironmentVariableIsEmpty("CARNETTO_AVVIATORE") &&
               QFile::exists(QStringLiteral("Z:/usr/bin/") + nome);
#else
        return !QStandardPaths::findExecutable(nome).isEmpty();
#endif
    }
    // A file of the Linux computer, by its Linux name.
    static bool esiste(const QString& percorsoLinux)
    {
#ifdef Q_OS_WIN
        return QFile::exists(QStringLiteral("Z:") + percorsoLinux);
#else
        return QFile::exists(percorsoLinux);
#endif
    }
    // The name the started program knows this file or folder of the test by.
    static QString percorso(const QString& file)
    {
#ifdef Q_OS_WIN
        using Funzione = char*(CDECL*)(LPCWSTR);
        const auto nomeUnix = reinterpret_cast<Funzione>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        char* nome = nomeUnix ? nomeUnix(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(file).utf16())) : nullptr;
        if (!nome)
            return file;
        const QString out = QString::fromUtf8(nome);
        HeapFree(GetProcessHeap(), 0, nome);
        return out;
#else
        return file;
#endif
    }

    // Starts `nome` with these arguments; `ambiente` adds to the test's environment; `unito` merges its errors
    // into its output (otherwise they are dropped).
    void start(const QString& nome, const QStringList& argomenti, const QMap<QString, QString>& ambiente = {},
               const QString& cartella = {}, bool unito = true)
    {
#ifdef Q_OS_WIN
        const QString avviatore = qEnvironmentVariable("CARNETTO_AVVIATORE");
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->connectToHost(QHostAddress::LocalHost, avviatore.section(u':', 0, 0).toUShort());
        QJsonObject env;
        for (auto it = ambiente.cbegin(); it != ambiente.cend(); ++it)
            env.insert(it.key(), it.value());
        const QJsonObject richiesta{{QStringLiteral("chiave"), avviatore.section(u':', 1)},
                                    {QStringLiteral("programma"), nome},
                                    {QStringLiteral("argomenti"), QJsonArray::fromStringList(argomenti)},
                                    {QStringLiteral("ambiente"), env},
                                    {QStringLiteral("cartella"), cartella},
                                    {QStringLiteral("unito"), unito}};
        m_socket->write(QJsonDocument(richiesta).toJson(QJsonDocument::Compact) + '\n');
#else
        m_processo = std::make_unique<QProcess>();
        m_processo->setProcessChannelMode(unito ? QProcess::MergedChannels : QProcess::SeparateChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto it = ambiente.cbegin(); it != ambiente.cend(); ++it)
            env.insert(it.key(), it.value());
        m_processo->setProcessEnvironment(env);
        if (!cartella.isEmpty())
            m_processo->setWorkingDirectory(cartella);
        m_processo->start(QStandardPaths::findExecutable(nome), argomenti);
#endif
    }

#ifdef Q_OS_WIN
    bool waitForStarted(int ms)
    {
        while (!m_avviato && !m_finito && attendi(ms)) {
        }
        return m_avviato;
    }
    bool inEsecuzione()
    {
        attendi(0);
        return m_avviato && !m_finito;
    }
    bool canReadLine()
    {
        attendi(0);
        return m_uscita.contains('\n');
    }
    bool waitForReadyRead(int ms)
    {
        const qsizetype prima = m_uscita.size();
        while (m_uscita.size() == prima && !m_finito && attendi(ms)) {
        }
        return m_uscita.size() > prima;
    }
    QByteArray readLine()
    {
        const qsizetype fine = m_uscita.indexOf('\n');
        const QByteArray riga = m_uscita.left(fine < 0 ? m_uscita.size() : fine + 1);
        m_uscita.remove(0, riga.size());
        return riga;
    }
    QByteArray readAll()
    {
        attendi(0);
        return std::exchange(m_uscita, {});
    }
    void closeWriteChannel() { ordina("chiudi\n"); }
    void kill()
    {
        if (m_socket && !m_finito && ordina("uccidi\n"))
            waitForFinished(5000);
        m_socket.reset();
    }
    bool waitForFinished(int ms)
    {
        while (!m_finito && attendi(ms)) {
        }
        return m_finito;
    }
    int exitCode() const { return m_codice; }
#else
    bool waitForStarted(int ms) { return m_processo->waitForStarted(ms); }
    bool inEsecuzione() { return m_processo && m_processo->state() == QProcess::Running; }
    bool canReadLine() { return m_processo->canReadLine(); }
    bool waitForReadyRead(int ms) { return m_processo->waitForReadyRead(ms); }
    QByteArray readLine() { return m_processo->readLine(); }
    QByteArray readAll() { return m_processo->readAll(); }
    void closeWriteChannel() { m_processo->closeWriteChannel(); }
    void kill()
    {
        if (m_processo && m_processo->state() != QProcess::NotRunning) {
            m_processo->kill();
            m_processo->waitForFinished(5000);
        }
    }
    bool waitForFinished(int ms) { return m_processo->waitForFinished(ms); }
    int exitCode() const { return m_processo->exitStatus() == QProcess::NormalExit ? m_processo->exitCode() : -1; }
#endif

private:
#ifdef Q_OS_WIN
    bool ordina(const char* ordine)
    {
        if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
            return false;
        m_socket->write(ordine);
        return m_socket->waitForBytesWritten(5000);
    }
    // Takes in what the launcher sent, waiting up to `ms` for something; false when nothing came.
    bool attendi(int ms)
    {
        if (!m_socket)
            return false;
        if (m_socket->state() == QAbstractSocket::ConnectingState && !m_socket->waitForConnected(ms))
            return false;
        const bool arrivato = m_socket->bytesAvailable() > 0 || m_socket->waitForReadyRead(ms);
        m_ricevuto += m_socket->readAll();
        while (m_ricevuto.size() >= 5) {
            const quint32 n = qFromBigEndian<quint32>(m_ricevuto.constData() + 1);
            if (quint32(m_ricevuto.size() - 5) < n)
                break;
            const char tipo = m_ricevuto.at(0);
            const QByteArray dati = m_ricevuto.mid(5, n);
            m_ricevuto.remove(0, 5 + n);
            if (tipo == 'a')
                m_avviato = true;
            else if (tipo == 'o')
                m_uscita += dati;
            else if (tipo == 'x' || tipo == 'e') {
                m_codice = tipo == 'x' ? dati.toInt() : -1;
                m_uscita += tipo == 'e' ? dati : QByteArray();
                m_finito = true;
            }
        }
        if (m_socket->state() != QAbstractSocket::ConnectedState && m_socket->bytesAvailable() == 0)
            m_finito = true;
        return arrivato;
    }

    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_ricevuto;
    QByteArray m_uscita;
    bool m_avviato = false;
    bool m_finito = false;
    int m_codice = -1;
#else
    std::unique_ptr<QProcess> m_processo;
#endif
};
