#pragma once

#include "archive/ArchiveLock.h"

#include <QString>

// One synchronisation at a time per folder: held for the whole synchronisation, in Contatti.synclock beside
// the archive, apart from the short write lock (Contatti.lock) that each write takes inside it. Taken by the
// window and the command line alike, and by another computer sharing the folder; a lock left by a program that
// died is taken over as ArchiveLock's is, and the holder keeps it fresh for as long as it synchronises.
class BloccoSincronizzazione
{
public:
    // Tries once, without waiting; the caller may try again.
    explicit BloccoSincronizzazione(const QString& appDir);

    // True when the synchronisation may go on: the lock is ours, or the folder takes no lock file at all
    // (write-protected), where no synchronisation can write either.
    bool preso() const;
    // Why not: another synchronisation holds it, or the lock file is broken. Empty when preso().
    QString problema() const;

    static QString percorso(const QString& appDir);

private:
    ArchiveLock m_blocco;
};

// Another synchronisation of this folder is running.
QString messaggioSincronizzazioneInCorso();
