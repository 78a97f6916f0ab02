#pragma once

#include <QObject>

#include <functional>

class QLineEdit;

// Shows each typed character to a handler before the edit box acts on it; the handler may drop it.
// Backspace, Enter, Esc and the control characters of shortcuts (Ctrl+V is character 22) arrive as the
// characters they produce, so a dropped Ctrl+V pastes nothing. Keys that produce no character (arrows,
// Delete, Home) and Tab, which moves the focus, are not shown to the handler. Text that an input method
// commits (compose sequences, dead keys handled by the input method, a virtual keyboard) is typed text
// too: each of its characters goes through the handler, and only those it lets through reach the box.
class KeyPressFilter : public QObject
{
    Q_OBJECT

public:
    // Returns true to let the character through.
    using Handler = std::function<bool(QChar)>;

    KeyPressFilter(QLineEdit* box, Handler handler);

    // The character a key press produces, or a null QChar when it produces none.
    static QChar typedCharacter(const class QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool filterCommit(QObject* box, const class QInputMethodEvent* event);

    Handler m_handler;
    bool m_resending = false;
};
