#include "ui/KeyPressFilter.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

KeyPressFilter::KeyPressFilter(QLineEdit* box, Handler handler) : QObject(box), m_handler(std::move(handler))
{
    box->installEventFilter(this);
}

QChar KeyPressFilter::typedCharacter(const QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return QChar(key - Qt::Key_A + 1);
    if (key == Qt::Key_Backspace)
        return QChar(8);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return QChar(13);
    // Esc types character 27 into an edit box of a window without a cancel button; Tab never reaches
    // the box, the window takes it to move the focus.
    if (key == Qt::Key_Escape)
        return QChar(27);
    const QString text = event->text();
    if (text.isEmpty() || key == Qt::Key_Delete || key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return {};
    return text.at(0);
}

bool KeyPressFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::InputMethod)
        return filterCommit(watched, static_cast<QInputMethodEvent*>(event));
    if (event->type() != QEvent::KeyPress)
        return false;
    const QChar typed = typedCharacter(static_cast<QKeyEvent*>(event));
    if (typed.isNull())
        return false;
    return !m_handler(typed);
}

bool KeyPressFilter::filterCommit(QObject* box, const QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty() || m_resending)
        return false;
    QString kept;
    for (const QChar c : commit) {
        if (m_handler(c))
            kept += c;
    }
    if (kept == commit)
        return false;
    // The box still gets the event, so the input method's state (the text being composed) stays in step;
    // only the refused characters are missing from what it commits.
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    m_resending = true;
    QCoreApplication::sendEvent(box, &filtered);
    m_resending = false;
    return true;
}
