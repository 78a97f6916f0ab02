#include "app/HelpKey.h"

#include "app/Forms.h"
#include "app/HelpTopics.h"
#include "app/TfrmHelpForm.h"
#include "export/TfrmExpContatti.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

HelpKey::HelpKey(QObject* parent) : QObject(parent)
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
    TfrmHelpForm* help = frmHelpForm();
    if (window == help)
        return true;
    const int context = window->property("helpContext").toInt();
    if (window == frmExpContatti())
        help->showTopic(exportHelpTopic());
    else if (context == 1006)
        help->showTopic(cardHelpTopic());
    else
        help->showTopic(mainHelpTopic());
    return true;
}
