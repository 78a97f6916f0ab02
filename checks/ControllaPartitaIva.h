#pragma once

#include <QChar>
#include <QStringView>

inline constexpr qsizetype kLunghezzaPartitaIva = 11;

// True when the text is exactly 11 ASCII digits and the 11th is the check digit of the first ten.
// Any other text, whatever its length or characters, is simply a no.
bool ControllaPartitaIva(QStringView partitaIva);

// The key rule of every box that takes a VAT number: a typed character passes when it is backspace (8),
// Enter (13) or a digit "0" to "9"; anything else, the control characters of copy, cut and paste
// included, is refused.
bool carattereAmmessoPartitaIva(QChar carattere);
