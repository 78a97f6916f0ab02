#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Removes every character of code 32 or below (blank, tab, CR, LF and the other controls) from both ends.
// Unlike QString::trimmed it keeps the no-break blank and everything else from code 128 up.
QString Trim(QStringView testo);

// The trimmed part of `testo`, without a copy.
QStringView TrimView(QStringView testo);

// The same rule on Windows-1252 bytes: the code page keeps codes 0..32 where they are, so trimming before or
// after decoding gives the same text.
QByteArrayView TrimByte(QByteArrayView byte);
