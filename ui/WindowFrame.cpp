#include "ui/WindowFrame.h"

#include "ui/WindowKeys.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

    if (frame.placement == WindowFrame::Placement::Fixed)
        window->move(frame.position);
    else
        centreOnDesktop(window);
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
    const QRect free = screen->availableGeometry();
    window->move(free.center() - QPoint(window->width() / 2, window->height() / 2));
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
