#pragma once

#include "archive/TestiScheda.h"
#include "sync/ClientCardDav.h"
#include "sync/StatoSync.h"

#include <QString>
#include <QStringList>

#include <functional>

// A contact changed on both sides since the last synchronisation, differently.
struct Conflitto
{
    TestiScheda qui;
    TestiScheda server;
};

enum class SceltaConflitto {
    Qui,      // the card here goes to the server
    Server,   // the server's contact comes here
    Entrambe, // both are kept, as two cards and two contacts
    Lascia,   // nothing now: both sides keep their own version, and the next synchronisation asks again
};

struct RiepilogoSync
{
    int inviati = 0;
    int ricevuti = 0;
    int eliminati = 0;
    int conflitti = 0; // met, whether settled or left
    int conflittiLasciati = 0;
    // Contacts of the server that could not be taken (not a card, too large, not delivered): left alone on both
    // sides and tried again next time; named by their file on the server.
    QStringList illeggibili;
    // Writes the server refused because the contact changed there meanwhile: the next synchronisation sees both.
    int rifiutati = 0;
    // Stopped at a question before anything changed (most of a side would go or looks changed), answered no or
    // left for the window.
    bool fermataAllaDomanda = false;
    QString domanda;
    // It went through every contact, whatever it left (conflicts, contacts skipped, writes refused).
    bool finita = false;
    QString errore; // why the synchronisation stopped or did not finish everything; empty when it did
    bool riuscita() const { return errore.isEmpty(); }
    // "Inviati N, ricevuti N, eliminati N, conflitti N"
    QString testo() const;
};

// One synchronisation of the archive in a folder with one address book. Per contact it compares each side with
// the state of the last synchronisation (StatoSync) and decides (decidi()): new on one side goes to the other,
// changed on one side is copied over, deleted on one side and unchanged on the other is deleted there, changed
// on both is a conflict for the person. Writes on the server are guarded by ETags, the archive is changed in
// one step under its write lock, and the state is written after each stretch of work, so that whatever stops
// the synchronisation (a cancel, a server that goes away) leaves both sides consistent and the next one
// finishes the job without losing or doubling a card.
class Sincronizzazione
{
public:
    struct Domande
    {
        // Each conflict met; unset, every conflict is left.
        std::function<SceltaConflitto(const Conflitto&)> conflitto;
        // A question before something drastic (most of a side would be deleted); unset, the answer is no.
        std::function<bool(const QString& domanda)> conferma;
        // Progress: steps done of all, and what is being done.
        std::function<void(int fatti, int totale, const QString& passo)> avanzamento;
        // Another synchronisation of this folder is under way: called every so often while it lasts; false gives
        // up. Unset, the synchronisation gives up at once.
        std::function<bool()> attendi;
    };

    Sincronizzazione(const QString& appDir, ClientCardDav& client, StatoSync stato);

    RiepilogoSync esegui(const Domande& domande);
    const StatoSync& stato() const { return m_stato; }

private:
    QString m_appDir;
    ClientCardDav& m_client;
    StatoSync m_stato;
};
