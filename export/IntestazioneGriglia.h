#pragma once

#include <QColor>
#include <QHeaderView>

// The fixed cells of the export grid, row 0 and column 0, drawn as cells rather than as buttons: sky blue, black
// text 2 pixels in from the left and top, the grid lines between them.
class IntestazioneGriglia : public QHeaderView
{
    Q_OBJECT

public:
    IntestazioneGriglia(Qt::Orientation orientation, QWidget* parent = nullptr);

    static QColor celeste() { return QColor(166, 202, 240); }
    static QColor lineaGriglia() { return QColor(128, 128, 128); }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;
};
