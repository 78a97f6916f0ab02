#include "ui/FocusHighlight.h"

#include <QFocusEvent>
#include <QLineEdit>

void setBackground(QLineEdit* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

QColor background(const QLineEdit* box)
{
    return box->palette().color(QPalette::Base);
}

FocusHighlight::FocusHighlight(QObject* parent) : QObject(parent) {}

void FocusHighlight::watch(QLineEdit* box)
{
    m_boxes.append(box);
    // Black on white or yellow whatever the desktop's colour scheme; a box with text of another colour
    // sets it after this.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, black());
    box->setPalette(palette);
    setBackground(box, white());
    box->installEventFilter(this);
}

namespace {

bool isActivationChange(const QFocusEvent* event)
{
    return event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
}

} // namespace

bool FocusHighlight::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box)
        return false;
    if (event->type() == QEvent::FocusIn) {
        // Whatever the reason, the box that has the focus is the one yellow box of its window.
        for (QLineEdit* other : std::as_const(m_boxes)) {
            if (other != box && other->window() == box->window())
                setBackground(other, white());
        }
        setBackground(box, yellow());
        if (!isActivationChange(static_cast<QFocusEvent*>(event)))
            Q_EMIT entered(box);
    } else if (event->type() == QEvent::FocusOut) {
        if (!isActivationChange(static_cast<QFocusEvent*>(event))) {
            setBackground(box, white());
            Q_EMIT exited(box);
        }
    }
    return false;
}
