#include "checks/ControllaCodFisc.h"

namespace {

// Characters outside "0".."Z" have no value: the lookup refuses them rather than reading past the table.
std::optional<int> valoreCarattere(const TabellaCodFisc& tabella, QChar carattere)
{
    const char16_t codice = carattere.unicode();
    if (codice < kPrimoCarattereCodFisc || codice > kUltimoCarattereCodFisc) {
        return std::nullopt;
    }
    return tabella[codice - kPrimoCarattereCodFisc];
}

} // namespace

std::optional<bool> ControllaCodFisc(QStringView codice)
{
    if (codice.size() != kLunghezzaCodFisc) {
        return std::nullopt;
    }
    int somma = 0;
    for (qsizetype i = 0; i < kLunghezzaCodFisc - 1; ++i) {
        // Position i + 1 counted from 1, so even indexes are the odd positions.
        const TabellaCodFisc& tabella = (i % 2 == 0) ? TabellaDispari : TabellaPari;
        const std::optional<int> valore = valoreCarattere(tabella, codice[i]);
        if (!valore) {
            return false;
        }
        somma += *valore;
    }
    const QChar letteraDiControllo(char16_t(u'A' + somma % 26));
    return codice[kLunghezzaCodFisc - 1] == letteraDiControllo;
}

QString MaiuscoleCodFisc(QStringView testo)
{
    QString maiuscole = testo.toString();
    for (QChar& carattere : maiuscole) {
        if (carattere >= u'a' && carattere <= u'z') {
            carattere = QChar(char16_t(carattere.unicode() - u'a' + u'A'));
        }
    }
    return maiuscole;
}
