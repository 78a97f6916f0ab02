#pragma once

#include <QString>

// The one message for any failed archive operation. The sentences are parted by LF CR LF CR, in that order.
QString messaggioErroreArchivio();

// Another writer kept the archive's write lock for the whole wait; nothing was written.
QString messaggioArchivioOccupato();
