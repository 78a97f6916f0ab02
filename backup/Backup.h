#pragma once

#include "backup/CopiaFile.h"

#include <QString>

// The two operations of the backup window, without the window.
namespace Backup {

// The name a backup is written under: the chosen one, with ".bkc" appended unless it already ends in
// ".bkc" (letter case counts, so "copia.BKC" becomes "copia.BKC.bkc").
QString nomeBackup(const QString& scelto);

// Copies the archive of the program in appDir to the backup file chosen. False, with the archive untouched
// and no backup file made, when anything fails, a missing archive included.
bool creaBackup(const QString& appDir, const QString& scelto, const DispositivoCopia& dispositivo = {});

enum class Ripristino {
    Riuscito,
    Fallito,  // anything failed, the archive chosen as its own source included
    Occupato, // another writer kept the archive's write lock
    Guasto,   // the archive's lock file is broken; `problema` receives what to do
};

// Puts the backup chosen in the archive's place, under the archive's write lock. Unless it succeeds, the
// archive keeps its old content. A restored archive empties the journal of the folder's own changes: none of
// them explains its cards.
Ripristino ripristinaBackup(const QString& appDir, const QString& scelto, const DispositivoCopia& dispositivo = {},
                            QString* problema = nullptr);

QString messaggioBackupRiuscito();
QString messaggioBackupFallito();
QString messaggioRipristinoRiuscito();
QString messaggioRipristinoFallito();

} // namespace Backup
