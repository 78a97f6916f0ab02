#include "ui/HoverHints.h"

#include "ui/ActiveLabel.h"

#include <QEvent>
#include <QMouseEvent>

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

HoverHints::HoverHints(QLabel* hintLine, Reset reset, QObject* parent)
    : QObject(parent), m_hintLine(hintLine), m_reset(reset)
{
}

void HoverHints::addPair(ActiveLabel* picture, ActiveLabel* caption, const QString& hint)
{
    m_captions.append(caption);
    setTextColour(caption, black());
    connect(picture, &ActiveLabel::mouseMoved, this, [this, caption, hint] { mark(caption, hint); });
    connect(caption, &ActiveLabel::mouseMoved, this, [this, caption, hint] { mark(caption, hint); });
}

void HoverHints::addHintOnly(QWidget* widget, const QString& hint)
{
    if (auto* label = qobject_cast<ActiveLabel*>(widget)) {
        connect(label, &ActiveLabel::mouseMoved, this, [this, hint] { m_hintLine->setText(hint); });
        return;
    }
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    m_hintOnly.insert(widget, hint);
}

void HoverHints::addResetArea(QWidget* area)
{
    area->setMouseTracking(true);
    area->installEventFilter(this);
    m_resetAreas.append(area);
}

void HoverHints::reset()
{
    for (const QPointer<ActiveLabel>& caption : std::as_const(m_captions)) {
        if (caption)
            setTextColour(caption, black());
    }
    // An empty text rather than clear(), which a screen reader would not hear about.
    if (m_reset == Reset::Always || !m_hintLine->text().isEmpty())
        m_hintLine->setText(QString());
}

void HoverHints::mark(ActiveLabel* caption, const QString& hint)
{
    setTextColour(caption, red());
    m_hintLine->setText(hint);
}

bool HoverHints::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove)
        return false;
    const auto hint = m_hintOnly.constFind(watched);
    if (hint != m_hintOnly.constEnd()) {
        m_hintLine->setText(*hint);
        return false;
    }
    auto* area = qobject_cast<QWidget*>(watched);
    if (area && m_resetAreas.contains(area)) {
        // A movement that a child did not take reaches its parent too; only the bare area clears the marks.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!area->childAt(at))
            reset();
    }
    return false;
}
