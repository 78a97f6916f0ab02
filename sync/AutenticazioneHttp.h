#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// HTTP authentication (RFC 7235): the challenges of WWW-Authenticate, and the answer to a Digest one
// (RFC 7616, qop=auth, MD5 and SHA-256 with their -sess forms). Plain functions, with nothing of the network.

struct SfidaHttp
{
    QByteArray schema;                                  // lower case: "basic", "digest", ...
    QList<std::pair<QByteArray, QByteArray>> parametri; // names in lower case, values unquoted
    QByteArray parametro(const QByteArray& nome) const;
};

// Every challenge of the WWW-Authenticate headers given (several per header allowed).
QList<SfidaHttp> leggiSfide(const QList<QByteArray>& intestazioni);

struct SfidaDigest
{
    QByteArray realm;
    QByteArray nonce;
    QByteArray opaque;
    QByteArray algoritmo; // as the server wrote it: "MD5", "SHA-256", "MD5-sess", "SHA-256-sess"
    bool qop = false;     // qop=auth offered (without it, the old form of RFC 2069)
    bool stale = false;   // the nonce expired, the password was right
};

// The strongest Digest challenge this client can answer among those given (SHA-256 before MD5), or none.
bool sfidaDigestMigliore(const QList<SfidaHttp>& sfide, SfidaDigest* scelta);

// The Authorization header that answers `sfida` for one request. `nc` counts the uses of the nonce, from 1.
QByteArray rispostaDigest(const SfidaDigest& sfida, const QString& utente, const QString& password,
                          const QByteArray& metodo, const QByteArray& uri, quint32 nc, const QByteArray& cnonce);
// Only the "response" value of that header, in hex.
QByteArray calcoloDigest(const SfidaDigest& sfida, const QString& utente, const QString& password,
                         const QByteArray& metodo, const QByteArray& uri, quint32 nc, const QByteArray& cnonce);
