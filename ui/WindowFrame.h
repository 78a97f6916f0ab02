#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

class QWidget;

// How a window of the program looks from outside: caption, fixed client size, border, title-bar buttons,
// background and placement. Every window is set up through applyFrame(), none by hand; it also gives the
// window the keys all windows share (WindowKeys.h).
struct WindowFrame
{
    enum class Border { SingleFixed, Sizeable, Dialog };
    enum class Placement { DesktopCentre, Fixed };

    QString caption;
    QSize clientSize;
    QColor background;
    Border border = Border::SingleFixed;
    bool minimiseButton = false;
    Placement placement = Placement::DesktopCentre;
    QPoint position;     // with Placement::Fixed
    int helpContext = 0; // 0: none

    static QColor silver() { return QColor(192, 192, 192); }
    static QColor navy() { return QColor(0, 0, 128); }
    static QColor black() { return QColor(0, 0, 0); }
};

void applyFrame(QWidget* window, const WindowFrame& frame);
// The help-context number a window carries (0 when it has none).
int helpContext(const QWidget* window);
// Puts the window in the middle of the primary screen's free area.
void centreOnDesktop(QWidget* window);
// The windows' base font, Tahoma 8 pt, and the font of controls that carry text, Verdana 8 pt.
QFont tahoma8();
QFont verdana(int pointSize, bool bold = false, bool underline = false);
