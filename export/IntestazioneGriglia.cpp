#include "export/IntestazioneGriglia.h"

#include <QPainter>

IntestazioneGriglia::IntestazioneGriglia(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setMouseTracking(true);
}

void IntestazioneGriglia::paintEvent(QPaintEvent* event)
{
    // The stretch of header beyond the last section belongs to no cell: the grid's white.
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    painter.end();
    QHeaderView::paintEvent(event);
}

void IntestazioneGriglia::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->save();
    painter->setClipRect(rect);
    painter->fillRect(rect, celeste());
    painter->setPen(lineaGriglia());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(Qt::black);
    painter->setFont(font());
    const QString testo = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->drawText(rect.adjusted(2, 2, -1, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, testo);
    painter->restore();
}
