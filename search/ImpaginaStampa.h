#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

class ListaContatti;

// One text of the printed list: its page (from 0), its font size in points and the top-left corner of its
// text in printer device pixels, from the top-left corner of the printable area.
struct VoceStampa
{
    int pagina = 0;
    int punti = 0;
    int x = 0;
    int y = 0;
    QString testo;

    bool operator==(const VoceStampa&) const = default;
};

// The character height of the print font at `punti` points on a printer of `dpiVerticali` dots per inch.
int altezzaCarattere(int punti, int dpiVerticali);

// The printed list, in the order of printing: two rules around the title at the top of the first page, the
// list lines one under the other (a new page, without title, when a line would start within three line
// heights of the bottom), then a closing rule and the date line under the last list line. When the date line
// would run past the bottom of the printable area, the two go to the top of a new page instead.
QList<VoceStampa> impaginaElenco(const ListaContatti& lista, int dpiVerticali, int altezzaPagina,
                                 const QString& rigaData);

// "Stampa eseguita in data <short date> alle ore <time>", with the date and the time (hours, minutes and
// seconds, no time zone) as `locale` writes them.
QString rigaDataStampa(const QLocale& locale, const QDateTime& quando);
