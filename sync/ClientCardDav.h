#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <atomic>
#include <memory>

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
    QString href; // the path, as the server names the contact
    QByteArray etag;
};

struct SchedaRemota
{
    QString href;
    QByteArray etag;
    QByteArray vcard;
    bool illeggibile = false; // too large to take: `vcard` is empty
};

// What the address book holds, or what changed in it since a token.
struct ElencoRemoto
{
    QList<VoceRemota> voci; // every contact, or those new and changed since the token
    QStringList rimossi;    // with a token: the contacts deleted since
    bool completo = true;   // false: only the changes since the token
    QByteArray token;       // to ask for the next changes; empty where the server has none
    QString errore;
};

// A CardDAV client (RFC 6352) on Qt Network: discovery of the address books (RFC 6764), listing with
// sync-collection (RFC 6578) or PROPFIND, addressbook-multiget, and writes guarded by ETags. Requests are
// made one at a time and waited for, in the calling thread's own event loop; annulla() may be called from
// any thread. HTTP Basic authentication goes only over HTTPS, or plain HTTP to this computer, or once the
// person has allowed plain HTTP to that server.
class ClientCardDav
{
public:
    ClientCardDav(const QString& utente, const QString& password);
    ~ClientCardDav();
    ClientCardDav(const ClientCardDav&) = delete;
    ClientCardDav& operator=(const ClientCardDav&) = delete;

    // Plain HTTP to another computer would show the password to the network.
    static bool richiedeConferma(const QUrl& url);
    void permettiHttp(bool permesso) { m_httpPermesso = permesso; }
    void setTimeout(int millisecondi) { m_timeout = millisecondi; }
    // Stops the request under way, and every later one, with the message messaggioAnnullata().
    void annulla() { m_annullato = true; }
    bool annullato() const { return m_annullato; }
    int richieste() const { return m_richieste; }

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

    std::unique_ptr<QNetworkAccessManager> m_rete;
    QByteArray m_credenziali;
    bool m_httpPermesso = false;
    int m_timeout = 30000;
    int m_richieste = 0;
    std::atomic<bool> m_annullato{false};
};
