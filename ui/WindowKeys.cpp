#include "ui/WindowKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Sees the key presses that reach the window itself: those sent to it, and those its controls let pass.
class WindowKeys final : public QObject
{
public:
    explicit WindowKeys(QWidget* window) : QObject(window) { setObjectName(name()); }

    static QString name() { return QStringLiteral("carnettoWindowKeys"); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Cancel))
            return true;
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto* button = qobject_cast<QPushButton*>(static_cast<QWidget*>(watched)->focusWidget());
        if (!button || !button->isEnabled() || !button->isVisible())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void applyWindowKeys(QWidget* window)
{
    if (!window->findChild<QObject*>(WindowKeys::name(), Qt::FindDirectChildrenOnly))
        window->installEventFilter(new WindowKeys(window));
}
