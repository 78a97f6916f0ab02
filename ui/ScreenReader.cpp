#include "ui/ScreenReader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char kHidden[] = "carnettoHiddenFromScreenReaders";
constexpr char kSkipsChildren[] = "carnettoSkipsHiddenChildren";

bool hidden(const QObject* object)
{
    return object->isWidgetType() && object->property(kHidden).toBool();
}

// A window or panel as Qt presents it (the same role), listing only the children screen readers are to find.
class AccessibleWithoutHidden final : public QAccessibleWidget
{
public:
    AccessibleWithoutHidden(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    int childCount() const override { return int(shown().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> children = shown();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index))
                                                     : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child ? int(shown().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
    }

    // A group box is named by its title, as Qt names it.
    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            if (const auto* box = qobject_cast<const QGroupBox*>(widget()))
                return QString(box->title()).remove(QLatin1Char('&'));
        return text;
    }

private:
    // The children Qt itself would list (widgets that are not windows), less the hidden ones.
    QList<QWidget*> shown() const
    {
        QList<QWidget*> children;
        for (QObject* o : widget()->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->isWindow() && !hidden(w))
                children << w;
        }
        return children;
    }
};

QAccessibleInterface* withoutHidden(const QString& className, QObject* object)
{
    if (!object->isWidgetType() || !object->property(kSkipsChildren).toBool())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // The roles Qt's own factory gives these classes.
    if (className == QLatin1StringView("QWidget"))
        return new AccessibleWithoutHidden(widget, QAccessible::Client);
    if (className == QLatin1StringView("QDialog"))
        return new AccessibleWithoutHidden(widget, QAccessible::Dialog);
    if (className == QLatin1StringView("QFrame"))
        return new AccessibleWithoutHidden(widget, QAccessible::Border);
    if (className == QLatin1StringView("QGroupBox"))
        return new AccessibleWithoutHidden(widget, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void hideFromScreenReaders(QWidget* control)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(withoutHidden);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    control->setProperty(kHidden, true);
    QWidget* parent = control->parentWidget();
    if (!parent || parent->property(kSkipsChildren).toBool())
        return;
    parent->setProperty(kSkipsChildren, true);
    // Should a screen reader already have asked for the parent, its interface lists every child: it goes, and
    // the next question gets the one that skips.
    QAccessibleInterface* known = QAccessible::queryAccessibleInterface(parent);
    if (known && !dynamic_cast<AccessibleWithoutHidden*>(known))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(known));
}
