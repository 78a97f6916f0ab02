#pragma once

#include <QString>
#include <QStringView>

class ListaContatti;

// The key of a search: the text with the letters A to Z lowered and nothing else changed. Accented capitals
// keep their case and blanks at either end stay part of the key.
QString chiaveRicerca(QStringView testo);

struct EsitoRicerca
{
    int riga = -1; // the line to select afterwards: the one found, or the selection the search started from
    bool trovata = false;
};

// One click of "Trova" over a list that is not empty. A new key is looked for from the first line on; the
// same key again goes on after the selected line (`selezionata`, -1 for none, which counts as the first
// line), wraps from the last line to the first, and tests the selected line last. An empty key is found
// nowhere.
EsitoRicerca passoRicerca(const ListaContatti& lista, QStringView chiave, QStringView ultimaChiave, int selezionata);
