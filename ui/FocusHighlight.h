#pragma once

#include <QColor>
#include <QList>
#include <QObject>

class QLineEdit;

// The yellow background of the edit box that holds the keyboard focus, and the Enter/Exit moments of the
// boxes. Only moves of the focus between controls of the same window count as Enter and Exit: losing the
// focus because a message box, another window or a menu took the activation is not an Exit, and getting
// it back with the activation is not an Enter. A watched box's text is black.
class FocusHighlight : public QObject
{
    Q_OBJECT

public:
    explicit FocusHighlight(QObject* parent);

    void watch(QLineEdit* box);

    static QColor yellow() { return QColor(255, 255, 0); }
    static QColor white() { return QColor(255, 255, 255); }
    static QColor black() { return QColor(0, 0, 0); }

Q_SIGNALS:
    void entered(QLineEdit* box);
    void exited(QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QLineEdit*> m_boxes;
};

void setBackground(QLineEdit* box, const QColor& colour);
QColor background(const QLineEdit* box);
