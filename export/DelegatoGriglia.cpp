#include "export/DelegatoGriglia.h"

#include "export/ModelloGriglia.h"

#include <QApplication>
#include <QPainter>

void DelegatoGriglia::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QColor fondo = sfondo(ModelloGriglia::rigaGriglia(index));
    const QRect r = option.rect;
    painter->save();
    painter->setClipRect(r);
    painter->fillRect(r, fondo);
    painter->setPen(fondo);
    painter->drawRect(r.adjusted(0, 0, -1, -1));
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    painter->drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(option.widget);
        focus.rect = r.adjusted(1, 1, -1, -1);
        focus.backgroundColor = fondo;
        const QStyle* stile = option.widget ? option.widget->style() : QApplication::style();
        stile->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}
