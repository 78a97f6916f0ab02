#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1252, the one byte encoding of the archive and of the CSV files. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) travel as the control characters of the same code, so any byte
// read comes back unchanged when written. A character the code page cannot hold is written as '?', one per
// character (a surrogate pair is one character).
QByteArray toCp1252(QStringView testo);
QString fromCp1252(QByteArrayView byte);

// Encodes into `out`, which must hold at least testo.size() bytes; returns the number of bytes written. For
// callers that fill a fixed buffer and must not allocate.
qsizetype toCp1252(QStringView testo, char* out);
