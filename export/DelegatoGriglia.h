#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Draws the cells of the export grid: light blue on odd grid rows, light yellow on even ones, each outlined in its
// own fill colour, black text 2 pixels in from the left and top and cut at the cell's edges. A selected cell looks
// like any other; only the cell holding the keyboard focus gets the dotted focus frame.
class DelegatoGriglia : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QColor azzurro() { return QColor(223, 235, 255); }
    static QColor giallino() { return QColor(249, 255, 225); }
    // The fill of a cell of grid row `riga` (row 1 is the first data row).
    static QColor sfondo(int riga) { return riga % 2 == 1 ? azzurro() : giallino(); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
