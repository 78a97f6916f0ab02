#pragma once

#include <QApplication>
#include <QColor>
#include <QPalette>

// A dark desktop colour scheme (light text on dark surfaces) for the life of the object; the palette from
// before comes back at the end. A window that leaves a colour to the theme shows it then.
class TemaScuro
{
public:
    TemaScuro() : m_prima(QApplication::palette())
    {
        QPalette scuro;
        scuro.setColor(QPalette::Window, QColor(40, 40, 40));
        scuro.setColor(QPalette::WindowText, Qt::white);
        scuro.setColor(QPalette::Base, QColor(20, 20, 20));
        scuro.setColor(QPalette::Text, Qt::white);
        scuro.setColor(QPalette::Button, QColor(50, 50, 50));
        scuro.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(scuro);
    }
    ~TemaScuro() { QApplication::setPalette(m_prima); }
    TemaScuro(const TemaScuro&) = delete;
    TemaScuro& operator=(const TemaScuro&) = delete;

private:
    QPalette m_prima;
};
