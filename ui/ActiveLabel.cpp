#include "ui/ActiveLabel.h"

#include "ui/Pictures.h"
#include "ui/WindowFrame.h"

#include <QMouseEvent>

ActiveLabel::ActiveLabel(QWidget* parent) : QLabel(parent)
{
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
