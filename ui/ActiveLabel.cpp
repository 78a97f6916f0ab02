#include "ui/ActiveLabel.h"

#include "ui/Pictures.h"
#include "ui/WindowFrame.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

// To a screen reader an icon button is a push button named by its caption, whose press action does what
// a click does; not a picture next to a label.
class AccessibleActiveLabel final : public QAccessibleWidget
{
public:
    explicit AccessibleActiveLabel(ActiveLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const auto* label = static_cast<const ActiveLabel*>(widget());
            return label->accessibleName().isEmpty() ? label->text() : label->accessibleName();
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() && widget()->isEnabled())
            static_cast<ActiveLabel*>(widget())->press();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* activeLabelAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1StringView("ActiveLabel"))
        return new AccessibleActiveLabel(static_cast<ActiveLabel*>(object));
    return nullptr;
}

} // namespace

ActiveLabel::ActiveLabel(QWidget* parent) : QLabel(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(activeLabelAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

ActiveLabel* ActiveLabel::picture(QWidget* parent, const QString& objectName, const QString& pictureName,
                                  const QString& accessibleName)
{
    auto* label = new ActiveLabel(parent);
    label->setObjectName(objectName);
    label->setAccessibleName(accessibleName);
    const QPixmap pixmap = loadPicture(pictureName);
    label->setPixmap(pixmap);
    label->resize(pixmap.size());
    return label;
}

ActiveLabel* ActiveLabel::caption(QWidget* parent, const QString& objectName, const QString& text)
{
    auto* label = new ActiveLabel(parent);
    label->setObjectName(objectName);
    label->setText(text);
    label->setAccessibleName(text);
    label->setFont(verdana(8, false, true));
    label->adjustSize();
    return label;
}

void ActiveLabel::press()
{
    Q_EMIT mouseReleased(Qt::LeftButton);
}

void ActiveLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT mousePressed(event->button());
}

void ActiveLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT mouseReleased(event->button());
}

void ActiveLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    Q_EMIT mouseMoved();
}
