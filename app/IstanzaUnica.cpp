#include "app/IstanzaUnica.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#if defined(Q_OS_LINUX)
#include <sys/socket.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <windows.h>

#include <sddl.h> // after windows.h
#endif

namespace {

// What a start sends: the greeting, the file (possibly empty), each ended by a line feed; the answer is kRisposta.
constexpr QByteArrayView kSaluto = "carnetto 1\n";
constexpr QByteArrayView kRisposta = "ok\n";
constexpr int kAttesaMs = 5000;

#ifdef Q_OS_LINUX
constexpr auto kOpzioniServer = QLocalServer::AbstractNamespaceOption;
constexpr auto kOpzioniSocket = QLocalSocket::AbstractNamespaceOption;
#else
constexpr auto kOpzioniServer = QLocalServer::UserAccessOption;
constexpr auto kOpzioniSocket = QLocalSocket::NoOptions;
#endif

#ifdef Q_OS_WIN
// The user a process runs as (its token's SID, as bytes); empty when the process cannot be looked at, as
// another user's cannot.
QByteArray sidDelProcesso(DWORD pid)
{
    QByteArray sid;
    HANDLE processo = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!processo)
        return sid;
    HANDLE token = nullptr;
    if (::OpenProcessToken(processo, TOKEN_QUERY, &token)) {
        DWORD lunghezza = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &lunghezza);
        QByteArray dati(qsizetype(lunghezza), Qt::Uninitialized);
        if (lunghezza > 0 && ::GetTokenInformation(token, TokenUser, dati.data(), lunghezza, &lunghezza)) {
            const PSID utente = reinterpret_cast<TOKEN_USER*>(dati.data())->User.Sid;
            if (::IsValidSid(utente))
                sid = QByteArray(static_cast<const char*>(utente), qsizetype(::GetLengthSid(utente)));
        }
        ::CloseHandle(token);
    }
    ::CloseHandle(processo);
    return sid;
}

// The process at the other end of a named pipe, from either end.
DWORD processoDallAltraParte(const QLocalSocket& socket)
{
    const auto pipe = reinterpret_cast<HANDLE>(socket.socketDescriptor());
    ULONG client = 0;
    ULONG server = 0;
    if (!::GetNamedPipeClientProcessId(pipe, &client) || !::GetNamedPipeServerProcessId(pipe, &server))
        return 0;
    return client == ::GetCurrentProcessId() ? server : client;
}
#endif

// The user this process runs as, in the form dellUtente() takes. Windows has no number for it: 0 stands for
// this process's own user (its SID).
uint utenteCorrente()
{
#ifdef Q_OS_LINUX
    return ::getuid();
#else
    return 0;
#endif
}

// An abstract socket can be reached by every user of the machine, and its name taken by any: each end talks
// only to a process of `uid` at the other. A named pipe is open to this user alone (UserAccessOption), but
// another user may have made one first under the same name: there the other end's user (its SID) is checked.
bool dellUtente([[maybe_unused]] const QLocalSocket& socket, [[maybe_unused]] uint uid)
{
#if defined(Q_OS_LINUX)
    ucred credenziali{};
    socklen_t lunghezza = sizeof(credenziali);
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credenziali, &lunghezza) == 0 &&
           credenziali.uid == uid;
#elif defined(Q_OS_WIN)
    if (uid != utenteCorrente())
        return false;
    const DWORD altro = processoDallAltraParte(socket);
    const QByteArray mio = sidDelProcesso(::GetCurrentProcessId());
    return altro != 0 && !mio.isEmpty() && sidDelProcesso(altro) == mio;
#else
    return true;
#endif
}

QString utente()
{
#if defined(Q_OS_LINUX)
    return QString::number(::getuid());
#elif defined(Q_OS_WIN)
    // The SID, not the name: a user name can be changed, hold blanks, or be the same in two domains.
    const QByteArray sid = sidDelProcesso(::GetCurrentProcessId());
    wchar_t* testo = nullptr;
    if (sid.isEmpty() || !::ConvertSidToStringSidW(PSID(sid.constData()), &testo))
        return qEnvironmentVariable("USERNAME");
    const QString risultato = QString::fromWCharArray(testo);
    ::LocalFree(testo);
    return risultato;
#else
    return qEnvironmentVariable("USERNAME", qEnvironmentVariable("USER"));
#endif
}

} // namespace

IstanzaUnica::IstanzaUnica(const QString& cartella, QObject* parent)
    : QObject(parent), m_nome(nomeServer(cartella)), m_server(new QLocalServer(this)), m_utente(utenteCorrente())
{
    m_server->setSocketOptions(kOpzioniServer);
    connect(m_server, &QLocalServer::newConnection, this, &IstanzaUnica::leggiRichiesta);
}

IstanzaUnica::~IstanzaUnica() = default;

void IstanzaUnica::attendiUtente(uint uid)
{
    m_utente = uid;
}

QString IstanzaUnica::nomeServer(const QString& cartella)
{
    // The same folder reached through a link or another spelling is the same archive.
    const QString canonica = QFileInfo(cartella).canonicalFilePath();
    const QByteArray impronta =
        QCryptographicHash::hash((canonica.isEmpty() ? cartella : canonica).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QStringLiteral("carnetto-%1-%2").arg(utente(), QString::fromLatin1(impronta));
}

IstanzaUnica::Avvio IstanzaUnica::avvia(const QString& file)
{
    // Two starts at once both find no one listening; the one that loses the race to listen hands over to the
    // other on the next round.
    for (int tentativo = 0; tentativo < 3; ++tentativo) {
        switch (consegna(file)) {
        case Consegna::Presa:
            return Avvio::Consegnato;
        case Consegna::Estranea:
            // Someone else holds the name: this copy runs alone and leaves the name to them. The archive's write
            // lock still keeps two writers apart.
            return Avvio::DaSola;
        case Consegna::NessunoAscolta:
            break;
        }
        if (m_server->listen(m_nome))
            return Avvio::Prima;
        if (m_server->serverError() != QAbstractSocket::AddressInUseError)
            return Avvio::DaSola;
        // A socket file whose copy died (where names are files): no one answered on it, so it is taken over.
        if (!(kOpzioniServer & QLocalServer::AbstractNamespaceOption)) {
            QLocalServer::removeServer(m_nome);
            if (m_server->listen(m_nome))
                return Avvio::Prima;
        }
    }
    return Avvio::DaSola;
}

IstanzaUnica::Consegna IstanzaUnica::consegna(const QString& file) const
{
    QLocalSocket socket;
    socket.setSocketOptions(kOpzioniSocket);
    socket.connectToServer(m_nome);
    if (!socket.waitForConnected(kAttesaMs))
        return Consegna::NessunoAscolta;
    // The file's name goes only to a copy of this user's, and only one that answers as a copy does took it.
    if (!dellUtente(socket, m_utente))
        return Consegna::Estranea;
    socket.write(kSaluto.toByteArray() + file.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(kAttesaMs))
        return Consegna::Estranea;
    // The running copy answers once it has the request; one busy with a long write answers when it is done.
    QByteArray risposta;
    while (risposta.size() < kRisposta.size() && socket.waitForReadyRead(kAttesaMs))
        risposta += socket.read(kRisposta.size() - risposta.size());
    return risposta == kRisposta ? Consegna::Presa : Consegna::Estranea;
}

void IstanzaUnica::leggiRichiesta()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!dellUtente(*socket, m_utente)) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { leggi(socket); });
        leggi(socket); // what arrived before the connection was taken
    }
}

void IstanzaUnica::leggi(QLocalSocket* socket)
{
    const QByteArray ricevuto = socket->peek(socket->bytesAvailable());
    if (!ricevuto.startsWith(kSaluto) || ricevuto.count('\n') < 2) {
        // Not a start of this program, or a request that never ends.
        if (ricevuto.size() > 64 * 1024 || (ricevuto.size() >= kSaluto.size() && !ricevuto.startsWith(kSaluto)))
            socket->abort();
        return;
    }
    socket->readAll();
    socket->write(kRisposta.toByteArray());
    socket->flush();
    const QByteArray resto = ricevuto.mid(kSaluto.size());
    // Acted on from the event loop, not inside the socket's signal: what the request opens (a question, an
    // import) runs loops of its own, and the start that sent it ends meanwhile, taking the socket with it.
    QMetaObject::invokeMethod(
        this, [this, file = QString::fromUtf8(resto.left(resto.indexOf('\n')))] { Q_EMIT richiesta(file); },
        Qt::QueuedConnection);
}
