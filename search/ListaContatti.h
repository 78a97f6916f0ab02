#pragma once

#include "archive/RigaLista.h"
#include "archive/TSchedaContatto.h"

#include <QList>
#include <QString>
#include <QStringView>

// The search list: one list line per card of the archive, sorted ascending with letter case ignored. It is a
// snapshot taken when the search window opens and holds no record numbers; a line is mapped back to its card
// by building the lines again. Every line has the same length, so the lines lie back to back in one buffer,
// and a second buffer holds them with the letters A to Z lowered, built once for all the searches.
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
    QString riga(int i) const { return rigaView(i).toString(); }
    QStringView rigaView(int i) const { return QStringView(m_righe).sliced(qsizetype(i) * kLarghezza, kLarghezza); }

    // The first line in [da, a) that contains `chiave` (already lowered as chiaveRicerca() does), or -1.
    int primaConChiave(QStringView chiave, int da, int a) const;

private:
    // Sorts the lines of `grezze` (count() lines back to back, in file order) into the list.
    void ordina(const QString& grezze, int count);

    QString m_righe;
    QString m_minuscole;
    int m_count = 0;
};
