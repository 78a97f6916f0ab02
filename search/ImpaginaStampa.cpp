#include "search/ImpaginaStampa.h"

#include "search/ListaContatti.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMargine = 150;
const QString kRigaTrattini(24, u'-');
const QString kRigaChiusura(20, u'_');

} // namespace

int altezzaCarattere(int punti, int dpiVerticali)
{
    return std::abs(int(std::lround(double(punti) * dpiVerticali / 72.0)));
}

QList<VoceStampa> impaginaElenco(const ListaContatti& lista, int dpiVerticali, int altezzaPagina,
                                 const QString& rigaData)
{
    const int h14 = altezzaCarattere(14, dpiVerticali);
    const int h12 = altezzaCarattere(12, dpiVerticali);
    const int h8 = altezzaCarattere(8, dpiVerticali);

    QList<VoceStampa> voci;
    voci.reserve(lista.count() + 5);
    int pagina = 0;
    int y = 2 * h14;
    voci.append({pagina, 14, kMargine, y, kRigaTrattini});
    y += h12;
    voci.append({pagina, 12, kMargine, y, QStringLiteral("Rubrica contatti")});
    y += h12;
    voci.append({pagina, 14, kMargine, y, kRigaTrattini});
    y += 3 * h8;
    for (int i = 0; i < lista.count(); ++i) {
        if (y >= altezzaPagina - 3 * h8) {
            ++pagina;
            y = 2 * h8;
        }
        voci.append({pagina, 8, kMargine, y, lista.riga(i)});
        y += 2 * h8;
    }
    // The date line is the proof of when the list was printed: it must not be lost below the paper's edge.
    if (y + 150 + h8 > altezzaPagina) {
        ++pagina;
        y = 2 * h8;
    }
    voci.append({pagina, 8, kMargine, y + 50, kRigaChiusura});
    voci.append({pagina, 8, kMargine, y + 150, rigaData});
    return voci;
}

QString rigaDataStampa(const QLocale& locale, const QDateTime& quando)
{
    // The long time format of some locales ends with the time zone, which the printed list does not show.
    static const QRegularExpression fusoOrario(QStringLiteral("\\s*t+\\s*"));
    QString formatoOra = locale.timeFormat(QLocale::LongFormat);
    formatoOra.replace(fusoOrario, QStringLiteral(" "));
    return QStringLiteral("Stampa eseguita in data ") + locale.toString(quando.date(), QLocale::ShortFormat) +
           QStringLiteral(" alle ore ") + locale.toString(quando.time(), formatoOra.trimmed());
}
