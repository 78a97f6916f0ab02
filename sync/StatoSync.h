#pragma once

#include "archive/TestiScheda.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// One contact as it stood on both sides after the last synchronisation: the server's name for it (href), its
// version there (ETag; empty where the server keeps none), its UID, and the card's texts, which is what the
// archive held. The archive has no identifier of its own: `locale` is the identity of the card's record as the
// last synchronisation saw it (identitaRecord()), which the journal of this program's edits carries forward to
// the card as it is now; kEliminataQui when the card was deleted here and the server has not deleted it yet.
struct VoceSync
{
    QString uid;
    QString href;
    QByteArray etag;
    TestiScheda campi;
    QByteArray locale;

    static constexpr const char* kEliminataQui = "-";
};

// What a folder remembers of its synchronisation, in Contatti.sync beside the archive, so that it travels with
// the stick: the account (never the password), the address book, the server's token for the next changes, and
// a VoceSync per card. Written through a temporary file and a rename: an interruption leaves the old state or
// the new one, and the next synchronisation finishes the job either way.
struct StatoSync
{
    QString server; // the address the person gave, without user name or password
    QUrl rubrica;   // the address book, likewise
    QString nomeRubrica;
    bool syncCollection = false;
    QString utente;
    QString httpPermessoPer; // "host:port" the person allowed plain http to, or empty
    QByteArray token;
    QList<VoceSync> voci;
    QByteArray certificato; // SHA-256 ("AB:CD:…") of the server certificate the person accepted, or empty

    static QString percorso(const QString& appDir);
    // Nothing, with `errore` empty, when the folder has never been synchronised; nothing with a reason when the
    // file cannot be read or is not a state file.
    static std::optional<StatoSync> leggi(const QString& appDir, QString* errore);
    bool scrivi(const QString& appDir, QString* errore) const;
    // A damaged state set aside as Contatti.sync.danneggiato, so that the next synchronisation starts afresh
    // (matching the two sides by content) and the file is still there to look at.
    static bool accantona(const QString& appDir);
};

// Whether two addresses name the same address book, whatever their form: letter case of scheme and host, a
// default port written out, percent-encoding, a final slash.
bool stessaRubrica(const QUrl& a, const QUrl& b);

// The identity of a card's content, as the state compares it: the sixteen texts, a web address that is only
// its preset scheme counting as none.
TestiScheda normalizza(const TestiScheda& testi);
QByteArray impronta(const TestiScheda& testi);
