#pragma once

#include <QLineEdit>
#include <QSignalBlocker>

// Replaces the text of an edit box from inside its own change handler: the handler is not run again, and the
// caret stays where it was. An unchanged text is left alone, so the box keeps its undo history.
inline void replaceTextKeepingCaret(QLineEdit* box, const QString& text)
{
    if (box->text() == text)
        return;
    const QSignalBlocker detached(box);
    const int caret = box->cursorPosition();
    box->setText(text);
    box->setCursorPosition(caret);
}
