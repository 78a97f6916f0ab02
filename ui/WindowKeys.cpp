#include "ui/WindowKeys.h"

#include <QKeyEvent>
#include <QPushButton>

bool handleWindowKey(QWidget* window, QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->ignore();
        return true;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    auto* button = qobject_cast<QPushButton*>(window->focusWidget());
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    event->accept();
    button->click();
    return true;
}
