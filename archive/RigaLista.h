#pragma once

#include "archive/TSchedaContatto.h"

#include <QChar>
#include <QString>

// The fixed-column line that stands for one card in the search list and on the printed list: surname, first
// name, company, fiscal code, VAT number, city and telephone, each trimmed and padded with blanks or cut to
// its column, between the literal labels. Every line is exactly kLunghezzaRigaLista characters long, trailing
// blanks included, so a list of them can lie back to back in one buffer.
inline constexpr int kLunghezzaRigaLista = 162;

QString rigaLista(const TSchedaContatto& scheda);

// The same line written into out[0] .. out[kLunghezzaRigaLista - 1], for callers that build many lines into
// one buffer and must not allocate for each.
void scriviRigaLista(const TSchedaContatto& scheda, QChar* out);
