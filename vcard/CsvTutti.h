#pragma once

#include "vcard/ScambioVCard.h"

#include <QString>

class QIODevice;

// The CSV of the export window's "Tutti" view, as the window writes it right after it opens: a header line of the
// standard captions, then one line per card with its running number. For the command line, which has no window.
// Stand-in until the export library offers the same bytes; the command line is its only caller.
EsitoScambio csvTutti(const QString& appDir, QIODevice& out);

// csvTutti into a file, through salvaFile().
EsitoScambio esportaCsvTutti(const QString& appDir, const QString& percorso);
