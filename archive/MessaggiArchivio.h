#pragma once

#include <QString>

// The one message for any failed archive operation. The sentences are parted by LF CR LF CR, in that order.
QString messaggioErroreArchivio();

// Another writer kept the archive's write lock for the whole wait; nothing was written.
QString messaggioArchivioOccupato();

// A lock file beside the archive (`nomeFile`) is not a regular file: `natura` says what it is ("è una cartella").
QString messaggioBloccoNonNormale(const QString& nomeFile, const QString& natura);
// A lock file beside the archive that this user cannot read: perhaps another user's.
QString messaggioBloccoIlleggibile(const QString& nomeFile);
