#pragma once

#include "archive/TSchedaContatto.h"

#include <QString>

#include <functional>

// Maps a line of the search list back to its card: reads the archive from the first record to the last,
// builds each record's line and hands every record whose line equals `riga` (both trimmed, case-sensitive)
// to `carica`, as its bytes, with its 1-based position. The scan always runs to the end, so when several cards give the
// same line the last one handed over is the latest in the file. The archive is opened for reading only; a
// missing one is created empty. False when the archive failed, after whatever was handed over before.
bool caricaSchedeDellaRiga(const QString& appDir, const QString& riga,
                           const std::function<void(const TSchedaContatto& scheda, qint64 posizione)>& carica);
