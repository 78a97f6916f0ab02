#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "sync/AutenticazioneHttp.h"
#include "sync/PercorsoDav.h"

#include <atomic>
#include <memory>
#include <optional>

class QNetworkAccessManager;

// One HTTP exchange with the server: its status (0 when no answer came at all) and what a CardDAV client needs
// of the answer. `errore` is the Italian message for anything but success, empty otherwise.
struct RispostaHttp
{
    int stato = 0;
    QByteArray corpo;
    QByteArray etag;
    QUrl url; // where the answer came from, after redirects
    QString errore;
    bool riuscita() const { return errore.isEmpty(); }
};

struct Rubrica
{
    QUrl url;
    QString nome;
    bool syncCollection = false; // the server lists changes since a token (RFC 6578)
};

struct VoceRemota
{
    QString href;    // the path, in the canonical form of PercorsoDav.h, directly inside the address book
    QByteArray etag; // empty when the server gave none
};

struct SchedaRemota
{
    QString href;
    QByteArray etag; // empty when the server gave none
    QByteArray vcard;
    bool illeggibile = false; // too big to be taken: `vcard` is empty and the contact is to be left alone
};

// What the address book holds, or what changed in it since a token.
struct ElencoRemoto
{
    QList<VoceRemota> voci; // every contact, or those new and changed since the token
    QStringList rimossi;    // with a token: the contacts deleted since
    bool completo = true;   // false: only the changes since the token
    QByteArray token;       // to ask for the next changes; empty where the server has none
    int rifiutati = 0;      // hrefs left out: outside the address book
    QString errore;
};

// A CardDAV client (RFC 6352) on Qt Network: discovery of the address books (RFC 6764), listing with
// sync-collection (RFC 6578) or PROPFIND, addressbook-multiget, and writes guarded by ETags. Requests are
// made one at a time and waited for, in the calling thread's own event loop; annulla() may be called from
// any thread.
//
// The credentials go only to the scheme, host and port of the first address the client is given (discovery's,
// or the stored address book's): a redirect elsewhere is refused. They go as Digest (RFC 7616) to a server that
// asks for it, else as Basic, and only over HTTPS, or plain HTTP to this computer, or to the one host:port the
// person allowed plain HTTP to. Every answer is bounded in size (limiteRisposta) and in time: the transfer
// timeout counts silence, the deadline counts the whole request. A server certificate the system does not trust
// is refused, its SHA-256 fingerprint kept in certificatoRifiutato(), unless it is the one accettaCertificato()
// named.
class ClientCardDav
{
public:
    static constexpr qint64 kLimiteRisposta = 64 * 1024 * 1024;
    static constexpr qsizetype kLimiteVCard = 1024 * 1024;
    static constexpr int kScadenza = 10 * 60 * 1000;

    ClientCardDav(const QString& utente, const QString& password);
    ~ClientCardDav();
    ClientCardDav(const ClientCardDav&) = delete;
    ClientCardDav& operator=(const ClientCardDav&) = delete;

    // Plain HTTP to another computer would show the password to the network.
    static bool richiedeConferma(const QUrl& url);
    // Plain HTTP allowed to this "host:port" only (hostPorta() of PercorsoDav.h); empty: to none.
    void permettiHttpPer(const QString& hostPorta) { m_httpPermessoPer = hostPorta; }
    void setTimeout(int millisecondi) { m_timeout = millisecondi; }
    void setScadenza(int millisecondi) { m_scadenza = millisecondi; }
    void setLimiteRisposta(qint64 byte) { m_limite = byte; }
    // The server certificate to take although the system does not trust it, by its SHA-256 fingerprint (hex,
    // with or without colons); empty: only trusted ones.
    void accettaCertificato(const QByteArray& sha256);
    QByteArray certificatoAccettato() const { return m_certificato; } // "AB:CD:…", or empty
    // The fingerprint ("AB:CD:…") of the last certificate refused, empty when none was.
    QByteArray certificatoRifiutato() const { return m_rifiutato; }
    static QByteArray impronta(const QByteArray& der);
    // Stops the request under way, and every later one, with the message messaggioAnnullata().
    void annulla() { m_annullato = true; }
    bool annullato() const { return m_annullato; }
    int richieste() const { return m_richieste; }
    // The hrefs of multiget answers left out because they are outside the address book.
    int rifiutati() const { return m_rifiutatiScaricando; }

    // The address books found from an address: an address book's own, or a server's (through
    // /.well-known/carddav, the principal and its address-book home). `errore` says why none were found.
    QList<Rubrica> scopri(const QUrl& indirizzo, QString* errore);
    Rubrica leggiRubrica(const QUrl& url, QString* errore);

    ElencoRemoto elenca(const Rubrica& rubrica, const QByteArray& token);
    // The vCards of the contacts named, in as few requests as the server takes.
    QList<SchedaRemota> scarica(const QUrl& rubrica, const QStringList& href, QString* errore);
    // Writes a contact: over the version `etag` names, or as a new one when `etag` is empty (If-None-Match: *).
    RispostaHttp metti(const QUrl& url, const QByteArray& vcard, const QByteArray& etag);
    RispostaHttp togli(const QUrl& url, const QByteArray& etag);

    RispostaHttp richiesta(const QByteArray& metodo, const QUrl& url, const QByteArray& corpo = {},
                           const QList<std::pair<QByteArray, QByteArray>>& intestazioni = {});

    static QString messaggioAnnullata();

private:
    RispostaHttp propfind(const QUrl& url, int profondita, const QByteArray& proprieta);
    RispostaHttp scambio(const QByteArray& metodo, const QUrl& url, const QByteArray& corpo,
                         const QList<std::pair<QByteArray, QByteArray>>& intestazioni, const QByteArray& autorizzazione,
                         QList<QByteArray>* sfide);
    QByteArray autorizzazione(const QByteArray& metodo, const QUrl& url);

    std::unique_ptr<QNetworkAccessManager> m_rete;
    QString m_utente;
    QString m_password;
    QUrl m_origine;                      // where the credentials may go
    std::optional<SfidaDigest> m_digest; // the server's last Digest challenge
    quint32 m_nc = 0;
    QString m_httpPermessoPer;
    QByteArray m_certificato;
    QByteArray m_rifiutato;
    int m_timeout = 30000;
    int m_scadenza = kScadenza;
    qint64 m_limite = kLimiteRisposta;
    int m_richieste = 0;
    int m_rifiutatiScaricando = 0;
    std::atomic<bool> m_annullato{false};
};
