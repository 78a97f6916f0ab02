#pragma once

#include "archive/GiornaleArchivio.h"
#include "archive/TSchedaContatto.h"
#include "archive/TestiScheda.h"
#include "sync/StatoSync.h"

#include <QHash>
#include <QList>

// How a contact stands on one side since the last synchronisation.
enum class Lato { Invariata, Cambiata, Eliminata };

// What to do with one contact.
enum class Decisione {
    Niente,
    Carica,        // the card here goes to the server, over the contact there
    Scarica,       // the server's contact comes here, over the card
    EliminaServer, // the card was deleted here: the contact goes from the server
    EliminaQui,    // the contact was deleted on the server: the card goes from here
    Aggiorna,      // both sides changed to the same content: only the state learns it
    Dimentica,     // gone from both sides
    Conflitto,     // changed on both sides, differently: the person settles it
    CaricaNuova,   // changed here, deleted on the server: it goes back as a new contact
    ScaricaNuova,  // deleted here, changed on the server: it comes back as a new card
};

// The decision for a contact the state knows. `uguali`: the two sides now hold the same content (asked only
// when both changed).
Decisione decidi(Lato locale, Lato remoto, bool uguali);

// A card of the archive as the synchronisation reads it.
struct SchedaLocale
{
    qint64 indice;
    TSchedaContatto byte;
    TestiScheda testi;
    QByteArray identita; // identitaRecord() of its bytes
};

// Which card of the archive each entry of the state now is.
//
// This program's own edits are known exactly: each entry knows the identity its card had at the last
// synchronisation, and the journal of this program's writes since (a card replaced, removed or appended) leads it
// to the card as it is now, whatever changed in it. What no journal explains (another program on the same stick,
// a restore, a state from another folder) is found by content: an unchanged card by its texts, an edited one by
// likeness (the same name and company, or most texts the same), never across a complete change of name.
struct Abbinamento
{
    QList<int> localeDellaVoce; // per entry: the index into the cards, or -1 (deleted here)
    QList<int> voceDellaLocale; // per card: the entry, or -1 (new here)
    QList<bool> cambiata;       // per entry: its card's texts differ from those synchronised last
    QList<bool> indovinata;     // per entry: changed or deleted here by a guess, not known from the journal
    // Entries whose card changed or went by a guess: when they are most of the state, the archive is probably
    // not the one the state describes (a restore, a Contatti.sync copied from another folder).
    int indovinate() const;
};
Abbinamento abbina(const QList<VoceSync>& voci, const QList<SchedaLocale>& locali,
                   const QList<OperazioneGiornale>& giornale = {});

// The name a card goes by, for telling people apart: surname, first name and company, case folded; empty for a
// card with none of them.
QString chiaveNome(const TestiScheda& testi);

// Whether two cards can be one contact edited: not when the name changed completely (surname and first name both,
// or the company of a card without them).
bool stessaPersonaPossibile(const TestiScheda& a, const TestiScheda& b);
