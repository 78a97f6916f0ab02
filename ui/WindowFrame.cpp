#include "ui/WindowFrame.h"

#include "ui/WindowKeys.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

class CentreWhenFirstShown final : public QObject
{
public:
    explicit CentreWhenFirstShown(QWidget* window) : QObject(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            centreOnDesktop(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void applyFrame(QWidget* window, const WindowFrame& frame)
{
    window->setWindowTitle(frame.caption);
    window->setAccessibleName(frame.caption.trimmed());

    Qt::WindowFlags flags = window->windowFlags() & Qt::WindowType_Mask;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (frame.minimiseButton)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);

    if (frame.border == WindowFrame::Border::Sizeable)
        window->resize(frame.clientSize);
    else
        window->setFixedSize(frame.clientSize);

    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, frame.background);
    // Text that sets no colour of its own is black, as on the background colours the windows name,
    // whatever the desktop's colour scheme: a dark scheme must not put white text on silver.
    palette.setColor(QPalette::WindowText, WindowFrame::black());
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setFont(tahoma8());
    window->setProperty("helpContext", frame.helpContext);
    applyWindowKeys(window);

    if (frame.placement == WindowFrame::Placement::Fixed) {
        window->move(frame.position);
    } else {
        centreOnDesktop(window);
        // Once more when first shown, when the window system may have told how wide its frame is.
        window->installEventFilter(new CentreWhenFirstShown(window));
    }
}

int helpContext(const QWidget* window)
{
    return window->property("helpContext").toInt();
}

void centreOnDesktop(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The whole window, its frame included, as far as the frame is known yet; move() places the frame's corner.
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const QSize outer = window->size().grownBy(frame);
    const QRect free = screen->availableGeometry();
    window->move(free.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

QFont tahoma8()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    return font;
}

QFont verdana(int pointSize, bool bold, bool underline)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}
