#pragma once

#include "archive/RigaLista.h"
#include "archive/TSchedaContatto.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// The search list: one list line per card of the archive, sorted ascending with letter case ignored. It is a
// snapshot taken when the search window opens and holds no record numbers; a line is mapped back to its card
// by building the lines again. Every line has the same length, so the lines lie back to back in one buffer, in
// the order of the file and in the archive's one-byte code page; a second buffer holds them in list order with
// the letters A to Z lowered, built once for all the searches.
class ListaContatti
{
public:
    static constexpr int kLarghezza = kLunghezzaRigaLista;

    // Reads the whole archive once, opened for reading only (a missing archive is created empty). False on
    // any failure, with the list left empty.
    bool leggi(const QString& appDir);
    static ListaContatti daSchede(const QList<TSchedaContatto>& schede);

    void svuota();
    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    // Line i of the list, as built, trailing blanks included.
    QString riga(int i) const;

    // The first line in [daRiga, aRiga) that contains `chiave` (already lowered as chiaveRicerca() does), or -1.
    int primaConChiave(QStringView chiave, int daRiga, int aRiga) const;

private:
    // Sorts `righe` (`count` lines back to back, in file order) into the list.
    void ordina(QByteArray righe, int count);

    QByteArray m_righe;
    std::vector<int> m_ordine; // for each place in the list, the line's place in m_righe
    QByteArray m_minuscole;
    int m_count = 0;
};
