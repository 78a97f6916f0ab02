#include "app/IstanzaUnica.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_LINUX
#include <sys/socket.h>
#include <unistd.h>
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

// An abstract socket can be reached by every user of the machine, and its name taken by any: each end talks
// only to a process of `uid` at the other.
bool dellUtente([[maybe_unused]] const QLocalSocket& socket, [[maybe_unused]] uint uid)
{
#ifdef Q_OS_LINUX
    ucred credenziali{};
    socklen_t lunghezza = sizeof(credenziali);
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credenziali, &lunghezza) == 0 &&
           credenziali.uid == uid;
#else
    return true;
#endif
}

uint utenteCorrente()
{
#ifdef Q_OS_LINUX
    return ::getuid();
#else
    return 0;
#endif
}

QString utente()
{
#ifdef Q_OS_LINUX
    return QString::number(::getuid());
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
