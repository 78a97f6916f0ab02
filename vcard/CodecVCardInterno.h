#pragma once

// What the vCard reader and writer share, for those two files only.

#include "archive/TestiScheda.h"

#include <QChar>

#include <array>

namespace codecvcard {

// A character's code, from a byte of a record (Windows-1252) or from a QString alike.
inline char16_t codice(char c)
{
    return static_cast<unsigned char>(c);
}

inline char16_t codice(QChar c)
{
    return c.unicode();
}

// How a value is escaped (RFC 6350, 3.4): a text escapes backslash, comma and line break; a field of a compound
// value (N, ADR, ORG) its semicolons too; a URI only its commas, which readers such as python-vobject and khard
// take for the end of a URL otherwise (a URI has neither backslashes nor line breaks). What a web
// field holds that no URI could (a line break, a backslash before one of "\\,;:", which a reader would take for
// an escape that some writers put in URIs) is dropped or escaped so that the field comes back as it was.
enum class Escape { Testo, Composto, Uri };

// What the writer does with each ASCII character, one table per kind of value.
enum Azione : unsigned char { Copia, Escape_, ACapo, Scarta, Barra };

constexpr std::array<Azione, 128> creaAzioni(Escape escape)
{
    std::array<Azione, 128> t{};
    for (int c = 0; c < 128; ++c) {
        if (c == '\r' || c == '\n')
            t[c] = escape == Escape::Uri ? Scarta : ACapo;
        else if ((c < 32 && c != '\t') || c == 127)
            t[c] = Scarta; // none can be typed into a card; never written raw into the file
        else if (escape == Escape::Uri && c == '\\')
            t[c] = Barra;
        else if (c == ',' || (escape != Escape::Uri && c == '\\'))
            t[c] = Escape_;
        else if (escape == Escape::Composto && c == ';')
            t[c] = Escape_;
        else
            t[c] = Copia;
    }
    return t;
}

constexpr std::array<std::array<Azione, 128>, 3> kAzioni = {creaAzioni(Escape::Testo), creaAzioni(Escape::Composto),
                                                            creaAzioni(Escape::Uri)};

// A telephone number that a reader would take for a tel: URI (RFC 3966: the scheme, then no blank), as the writer
// writes it: the characters it drops do not count. "Tel: 06 123" typed into a card is no URI.
template <typename Vista> bool sembraUriTel(Vista testo)
{
    static constexpr char kSchema[] = "tel:";
    int k = 0;
    for (qsizetype i = 0; i < testo.size(); ++i) {
        char16_t c = codice(testo[i]);
        if (c < 0x80 && kAzioni[int(Escape::Testo)][c] == Scarta)
            continue;
        if (c <= ' ')
            return false;
        if (k < 4) {
            if (c >= 'A' && c <= 'Z')
                c += 'a' - 'A';
            if (c != kSchema[k++])
                return false;
        }
    }
    return k == 4;
}

// A text up to its first line break.
template <typename Vista> Vista primaRiga(Vista testo)
{
    for (qsizetype i = 0; i < testo.size(); ++i) {
        if (codice(testo[i]) == '\r' || codice(testo[i]) == '\n')
            return testo.first(i);
    }
    return testo;
}

} // namespace codecvcard
