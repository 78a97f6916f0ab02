#pragma once

#include "archive/TSchedaContatto.h"

#include <QList>
#include <QString>

// Many changes to the archive made as one: records replaced, records removed and records appended, each
// replacement and removal only over the very record expected there. The archive is rewritten through
// Contatti.tmp and one rename under the write lock, so it holds either every change or none, and a card that
// another program changed meanwhile is never overwritten.
struct ModificheArchivio
{
    struct Sostituzione
    {
        qint64 indice;
        TSchedaContatto attesa;
        TSchedaContatto nuova;
    };
    struct Rimozione
    {
        qint64 indice;
        TSchedaContatto attesa;
    };
    QList<Sostituzione> sostituzioni;
    QList<Rimozione> rimozioni;
    QList<TSchedaContatto> aggiunte; // after the last record, in this order

    bool vuote() const { return sostituzioni.isEmpty() && rimozioni.isEmpty() && aggiunte.isEmpty(); }
};

enum class EsitoModifiche {
    Fatte,
    Occupato, // another writer kept the lock: nothing written
    Guasto,   // the lock file is broken (ArchiveLock::State::Guasto): nothing written; `problema` says what to do
    Cambiato, // a record is no longer the one expected: nothing written
    Errore,   // the archive failed: it is as it was
};

// A missing archive counts as an empty one, and is created by appending. The synchronisation's own writer: it
// keeps no journal (GiornaleArchivio), since the synchronisation records what it wrote in its own state.
EsitoModifiche applicaModifiche(const QString& appDir, const ModificheArchivio& modifiche, QString* problema = nullptr);
