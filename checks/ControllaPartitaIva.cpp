#include "checks/ControllaPartitaIva.h"

#include <algorithm>

namespace {

// Only "0".."9": QChar::isDigit would also let through other scripts' digits, which no VAT number holds.
bool cifraAscii(QChar carattere)
{
    return carattere >= u'0' && carattere <= u'9';
}

int valoreCifra(QChar carattere)
{
    return carattere.unicode() - u'0';
}

int cifraDiControllo(QStringView primeDieci)
{
    int somma = 0;
    for (qsizetype i = 0; i < primeDieci.size(); ++i) {
        const int cifra = valoreCifra(primeDieci[i]);
        // Position i + 1 counted from 1: the even positions add the digits of their double.
        if (i % 2 == 0) {
            somma += cifra;
        } else {
            somma += (2 * cifra) / 10 + (2 * cifra) % 10;
        }
    }
    const int resto = somma % 10;
    return resto == 0 ? 0 : 10 - resto;
}

} // namespace

bool carattereAmmessoPartitaIva(QChar carattere)
{
    return carattere == QChar(8) || carattere == QChar(13) || cifraAscii(carattere);
}

bool ControllaPartitaIva(QStringView partitaIva)
{
    if (partitaIva.size() != kLunghezzaPartitaIva || !std::all_of(partitaIva.begin(), partitaIva.end(), cifraAscii)) {
        return false;
    }
    return cifraDiControllo(partitaIva.first(kLunghezzaPartitaIva - 1)) == valoreCifra(partitaIva.back());
}
