#pragma once

#include <QLabel>

// A picture or a caption that works as a button: it reports the press and the release of any mouse
// button and every movement over it (tracking is on, so no button needs to be held), and shows the hand.
// Screen readers see it as a push button named by its caption, with a press action that acts as a release.
class ActiveLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ActiveLabel(QWidget* parent = nullptr);

    // A picture button: the picture named in the resources (see picture()), its accessible name and size.
    static ActiveLabel* picture(QWidget* parent, const QString& objectName, const QString& pictureName,
                                const QString& accessibleName);
    // A caption button: underlined Verdana 8 pt text.
    static ActiveLabel* caption(QWidget* parent, const QString& objectName, const QString& text);

    // What a screen reader's press action does: the same as releasing the left button over the label.
    void press();

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button);
    void mouseReleased(Qt::MouseButton button);
    void mouseMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
