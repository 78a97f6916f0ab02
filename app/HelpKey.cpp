#include "app/HelpKey.h"

#include "app/HelpTopics.h"
#include "app/TfrmHelpForm.h"
#include "ui/HelpContext.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

HelpKey::HelpKey(TfrmHelpForm* help, QObject* parent) : QObject(parent), m_help(help)
{
    qApp->installEventFilter(this);
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (!widget->isWindow() && !widget->hasFocus()))
        return false;
    QWidget* window = widget->window();
    if (window == m_help)
        return true;
    m_help->showTopic(helpTopicText(helpTopic(window)));
    return true;
}
