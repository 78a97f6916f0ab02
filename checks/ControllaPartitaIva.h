#pragma once

#include <QStringView>

inline constexpr qsizetype LunghezzaPartitaIva = 11;

// True when the text is exactly 11 ASCII digits and the 11th is the check digit of the first ten.
// Any other text, whatever its length or characters, is simply a no.
bool ControllaPartitaIva(QStringView partitaIva);
