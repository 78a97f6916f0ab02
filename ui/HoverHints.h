#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class ActiveLabel;
class QLabel;
class QWidget;

// The hover marks of a window: the caption of the icon under the pointer turns red and the hint line
// describes it; moving over the window's background or the icons' group box turns every caption black
// and empties the hint line. The marks are display state only and change with the pointer alone.
class HoverHints : public QObject
{
    Q_OBJECT

public:
    enum class Reset {
        WhenNotEmpty, // the hint line is emptied only when it holds text
        Always,
    };

    HoverHints(QLabel* hintLine, Reset reset, QObject* parent);

    // An icon button: picture and caption are twins; both mark the caption and show the hint.
    void addPair(ActiveLabel* picture, ActiveLabel* caption, const QString& hint);
    // A picture without caption, or a small push button: only the hint line changes.
    void addHintOnly(QWidget* widget, const QString& hint);
    // The window's background or the icons' group box: movement over it clears the marks.
    void addResetArea(QWidget* area);

    void reset();

    static QColor red() { return QColor(255, 0, 0); }
    static QColor black() { return QColor(0, 0, 0); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mark(ActiveLabel* caption, const QString& hint);

    QLabel* m_hintLine;
    Reset m_reset;
    QList<QPointer<ActiveLabel>> m_captions;
    QHash<QObject*, QString> m_hintOnly;
    QList<QWidget*> m_resetAreas;
};

void setTextColour(QWidget* widget, const QColor& colour);
QColor textColour(const QWidget* widget);
