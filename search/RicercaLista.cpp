#include "search/RicercaLista.h"

#include "search/ListaContatti.h"

QString chiaveRicerca(QStringView testo)
{
    QString chiave = testo.toString();
    for (QChar& c : chiave) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return chiave;
}

EsitoRicerca passoRicerca(const ListaContatti& lista, QStringView chiave, QStringView ultimaChiave, int selezionata)
{
    const int n = lista.count();
    if (n == 0)
        return {};
    const int inizio = selezionata >= 0 && selezionata < n ? selezionata : 0;
    int trovata = -1;
    if (chiave != ultimaChiave) {
        trovata = lista.primaConChiave(chiave, 0, n);
    } else {
        // The walk goes on after the selected line and comes round to it last.
        trovata = lista.primaConChiave(chiave, inizio + 1, n);
        if (trovata < 0)
            trovata = lista.primaConChiave(chiave, 0, inizio + 1);
    }
    if (trovata < 0)
        return {inizio, false};
    return {trovata, true};
}
