#include "search/StampaElenco.h"

#include "search/ImpaginaStampa.h"
#include "search/ListaContatti.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

bool stampaElenco(PrinterService::Printer& stampante, const ListaContatti& lista, const QString& rigaData,
                  QString* errore)
{
    auto fallisce = [&] {
        if (errore)
            *errore = stampante.errorString();
        return false;
    };
    QPaintDevice* foglio = stampante.device();
    QPainter painter;
    if (!painter.begin(foglio))
        return fallisce();
    const QList<VoceStampa> voci = impaginaElenco(lista, foglio->logicalDpiY(), foglio->height(), rigaData);

    QFont carattere(QStringLiteral("Courier New"));
    carattere.setStyleHint(QFont::TypeWriter);
    carattere.setBold(false);
    carattere.setUnderline(false);
    painter.setPen(QColor(0, 0, 0));
    int pagina = 0;
    int punti = 0;
    qreal ascesa = 0;
    for (const VoceStampa& voce : voci) {
        if (voce.pagina != pagina) {
            if (!stampante.newPage()) {
                painter.end();
                return fallisce();
            }
            pagina = voce.pagina;
        }
        if (voce.punti != punti) {
            punti = voce.punti;
            carattere.setPointSize(punti);
            painter.setFont(carattere);
            ascesa = QFontMetricsF(carattere, foglio).ascent();
        }
        // The layout places the top of each text; QPainter writes on the baseline.
        painter.drawText(QPointF(voce.x, voce.y + ascesa), voce.testo);
    }
    if (!painter.end())
        return fallisce();
    return true;
}
