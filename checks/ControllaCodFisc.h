#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

// Both tables are indexed by character code from "0" to "Z"; the seven characters between "9" and
// "A" have no published value and count 0.
inline constexpr char16_t kPrimoCarattereCodFisc = u'0';
inline constexpr char16_t kUltimoCarattereCodFisc = u'Z';
inline constexpr std::size_t kDimensioneTabellaCodFisc = kUltimoCarattereCodFisc - kPrimoCarattereCodFisc + 1;

// std::to_array sizes each table from its list, so a missing or extra value does not compile.
using TabellaCodFisc = std::array<std::uint8_t, kDimensioneTabellaCodFisc>;

// Values of the characters in odd positions (1st, 3rd, ... 15th). A digit is worth what the letter
// of the same rank is worth ("0" as "A", "9" as "J").
inline constexpr TabellaCodFisc TabellaDispari = std::to_array<std::uint8_t>({
    1,  0,  5,  7,  9,  13, 15, 17, 19, 21,                            // 0 .. 9
    0,  0,  0,  0,  0,  0,  0,                                         // : .. @
    1,  0,  5,  7,  9,  13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, // A .. R
    12, 14, 16, 10, 22, 25, 24, 23,                                    // S .. Z
});

// Values of the characters in even positions (2nd, 4th, ... 14th): digits by value, letters by rank.
inline constexpr TabellaCodFisc TabellaPari = std::to_array<std::uint8_t>({
    0,  1,  2,  3,  4,  5,  6,  7,  8, 9,                                 // 0 .. 9
    0,  0,  0,  0,  0,  0,  0,                                            // : .. @
    0,  1,  2,  3,  4,  5,  6,  7,  8, 9, 10, 11, 12, 13, 14, 15, 16, 17, // A .. R
    18, 19, 20, 21, 22, 23, 24, 25,                                       // S .. Z
});

inline constexpr qsizetype kLunghezzaCodFisc = 16;

// std::nullopt when the text is not exactly 16 characters long: the caller abandons silently then,
// which is not the same as a wrong code. The text must already be in capitals; a character that
// neither table holds (a blank, a lower-case or accented letter) makes the code wrong.
std::optional<bool> ControllaCodFisc(QStringView codice);

// Capitals for a-z only: QString::toUpper would also change accented letters and turn "ß" into two
// characters, which would shift the caret and the length that the check relies on.
QString MaiuscoleCodFisc(QStringView testo);
