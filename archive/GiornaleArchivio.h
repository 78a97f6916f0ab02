#pragma once

#include "archive/TSchedaContatto.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The journal of this program's own changes to the archive, in Contatti.giornale beside it, kept only in a
// folder that is synchronised (one with Contatti.sync). A synchronisation pairs the archive's cards with the
// contacts it synchronised last time; a card changed here is known by the identity of its bytes before and
// after, instead of by its likeness to another.
//
// One line per change, written by the writer that made it, under the archive's write lock and only once the
// archive holds the change:
//     S <before> <after>    a record replaced
//     R <before>            a record removed
//     A <after>             a record appended
// each identity 32 lowercase hex digits (identitaRecord). A synchronisation reads the journal, takes what it
// explains into its own state and removes that much from the head (consumaGiornale); the synchronisation's
// own writes to the archive are not in it.

// The identity of a record: the first 16 bytes of its 1148 bytes' BLAKE2b-256, in hex (BLAKE2b is more than
// twice as fast as SHA-256 here, which an import of 100,000 cards feels). Equal records (two copies of one
// card) share it.
QByteArray identitaRecord(const TSchedaContatto& scheda);

struct OperazioneGiornale
{
    enum class Tipo { Sostituita, Rimossa, Aggiunta };
    Tipo tipo;
    QByteArray prima; // Sostituita, Rimossa: the identity of the record before
    QByteArray dopo;  // Sostituita, Aggiunta: the identity of the record after

    bool operator==(const OperazioneGiornale&) const = default;
};

// Whether the folder keeps a journal: it is synchronised. A writer asks once, under its lock, before it works
// out the identities.
bool giornaleAttivo(const QString& appDir);

// Appends the operations in one write, in a synchronised folder only; elsewhere does nothing and returns true.
// The caller holds the archive's write lock and has already written the archive. Never follows a link and
// writes into nothing but a regular file; when the write fails, the journal is cut back to its whole lines
// and false comes back: the change is in the archive all the same, and the synchronisation then finds that
// card by likeness, as without a journal.
bool registraNelGiornale(const QString& appDir, const QList<OperazioneGiornale>& operazioni);

struct Giornale
{
    QList<OperazioneGiornale> operazioni;
    qint64 fine = 0;     // bytes of the lines taken, to hand to consumaGiornale
    bool integro = true; // false: a damaged or unknown line (or a journal that is no regular file) stopped the
                         // reading; nothing after it can be trusted
};

// The journal as it stands; a missing one is empty and whole. Read it under the archive's write lock to see
// it together with the archive it explains.
Giornale leggiGiornale(const QString& appDir);

// Takes the archive's write lock and removes the first `fine` bytes (what a synchronisation took into its
// state), keeping the lines appended since; the file goes when nothing is left. False when the lock cannot be
// had or the journal cannot be rewritten: it is then as it was.
bool consumaGiornale(const QString& appDir, qint64 fine);

// The archive was replaced whole (a restore): no line explains its cards any more, and the journal goes. The
// caller holds the archive's write lock.
void azzeraGiornale(const QString& appDir);
