#pragma once

#include "checks/VoceUfficioIva.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>

// 001 to 102 one office each, then 120 and 121, which name the same offices as 101 and 102.
inline constexpr std::size_t kNumeroUfficiIva = 104;

extern const std::array<VoceUfficioIva, kNumeroUfficiIva> UfficiIva;

// The office name for an exact three-character code, or an empty text when the table has no such
// code (000, 103 to 119, 122 to 999, or a text of another length).
QString UfficioIva(QStringView codice3);

// Characters 8 to 10 of a VAT number, the issuing office's code; empty when the text is too short.
QStringView codiceUfficioIva(QStringView partitaIva);
