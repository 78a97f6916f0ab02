#pragma once

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
};

// Which card of the archive each entry of the state now is. A card whose content is unchanged is found by it;
// what is left is paired by likeness (the same name and company, or most texts the same), so that a card edited
// here, by this program or another, stays the same contact. An archive replaced by another one (a restore)
// pairs what it can and leaves the rest new and deleted, which the caller's safety question then catches.
struct Abbinamento
{
    QList<int> localeDellaVoce; // per entry: the index into the cards, or -1 (deleted here)
    QList<int> voceDellaLocale; // per card: the entry, or -1 (new here)
    QList<bool> cambiata;       // per entry: paired by likeness, so changed here
};
Abbinamento abbina(const QList<VoceSync>& voci, const QList<SchedaLocale>& locali);
