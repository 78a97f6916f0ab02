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
// The line in the archive's own Windows-1252 bytes, one byte per character: what a list of 100,000 lines keeps,
// at half the memory of the decoded text.
void scriviRigaListaCp1252(const TSchedaContatto& scheda, char* out);
