#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Looks at each modal window that opens while it lives, from inside that window's own event loop, and then
// closes it; so a test can drive an action that runs exec() and see what it opened.
class ModaleAttesa
{
public:
    explicit ModaleAttesa(std::function<void(QWidget*)> guarda = {}) : m_guarda(std::move(guarda))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { controlla(); });
        m_timer.start(10);
    }
    ModaleAttesa(const ModaleAttesa&) = delete;
    ModaleAttesa& operator=(const ModaleAttesa&) = delete;

    int viste() const { return m_viste; }
    // The last modal window seen: null again once it has been destroyed.
    QPointer<QWidget> ultima;

private:
    void controlla()
    {
        QWidget* modale = QApplication::activeModalWidget();
        if (!modale)
            return;
        ++m_viste;
        ultima = modale;
        if (m_guarda)
            m_guarda(modale);
        modale->close();
    }

    std::function<void(QWidget*)> m_guarda;
    QTimer m_timer;
    int m_viste = 0;
};
