#pragma once

#include "archive/ArchiveFile.h"
#include "archive/TestiScheda.h"

#include <QString>

// The card window's archive operations as plain functions. Each opens Contatti.pro, works by record
// index and closes it before returning; the window keeps only the position text, and hands it in.
// `dispositivi` makes the files the operation opens; tests pass one that fails on demand.

enum class Scorrimento { Prima, Precedente, Successiva, Ultima };

struct EsitoScorrimento
{
    enum Tipo {
        Mostra,        // `scheda` holds the card to show
        NessunaScheda, // the archive is empty
        Niente,        // already at the first or last card: nothing to do, nothing to say
        Errore,        // the archive failed
    };
    Tipo tipo = Niente;
    TSchedaContatto scheda{};
    QString posizione; // the position text after the step, whatever the outcome
};

EsitoScorrimento scorri(const QString& appDir, Scorrimento direzione, const QString& posizione,
                        const ArchiveFile::DeviceFactory& dispositivi = {});

// What a save or a deletion did. Both write only under the archive's write lock (ArchiveLock), and only over
// the record the person loaded: when another program has changed, moved or removed it since, nothing is
// written and the card to show instead comes back.
struct EsitoScrittura
{
    enum Tipo {
        Aggiunta,   // a new card, now at `posizione`, written as `scheda`
        Modificata, // the card at `posizione` overwritten with `scheda`
        Eliminata,
        Occupato, // another writer kept the lock: nothing written
        Guasto,   // the lock file is broken: nothing written; `messaggio` says what is wrong and what to do
        Cambiata, // the record on screen is no longer in the archive as it was loaded: nothing written;
                  // `scheda` is the record at that position now, or the first card when the position is gone,
                  // at `posizione`; an empty position when the archive has no card left
        Errore,   // the archive failed
    };
    Tipo tipo = Errore;
    QString posizione; // as handed in, unless the outcome says otherwise
    TSchedaContatto scheda{};
    QString messaggio; // Guasto
};

// The minimum a card needs to be saved: a surname, a first name or a company.
bool haContenutoMinimo(const TestiScheda& testi);

// An empty position appends the card at the end of the archive as it is at that moment; a position overwrites
// that record in place, provided it still holds `caricata`, the record that was loaded at that position. In a
// synchronised folder the change goes into the journal (GiornaleArchivio), as a deletion's does.
EsitoScrittura salva(const QString& appDir, const TestiScheda& testi, const QString& posizione,
                     const TSchedaContatto& caricata, const ArchiveFile::DeviceFactory& dispositivi = {});

// Rewrites the archive without the record whose position text equals `posizione`, provided it still holds
// `caricata`, through Contatti.tmp. The archive holds its old content until the complete temporary file,
// forced to the disk, is renamed over it; a symbolic link stays a link and the permission bits stay
// (ArchiveFile::replaceWith). On failure no Contatti.tmp made by this deletion is left behind.
EsitoScrittura elimina(const QString& appDir, const QString& posizione, const TSchedaContatto& caricata,
                       const ArchiveFile::DeviceFactory& dispositivi = {});
