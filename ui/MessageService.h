#pragma once

#include "ui/ServiceSlot.h"

#include <QString>
#include <QStringList>

class QWidget;

// Every message box of the program goes through here, so that tests can answer them and see what was asked.
class MessageService : public ServiceSlot<MessageService>
{
public:
    virtual ~MessageService() = default;

    // The message boxes of Qt.
    static MessageService& realService();

    // A modal box with the application title as caption, the text and a single OK button.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // A modal Yes/No question with its own caption, no icon, Yes as the default button. True for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A modal question with its own caption and a button per choice, the first the default. The index of the
    // choice made; closing the box counts as the last choice.
    virtual int choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& choices) = 0;
    // The application's standard error report, for failures an operation does not catch itself.
    virtual void reportError(QWidget* parent, const QString& text) = 0;

    // The program's texts carry Windows line breaks in several spellings ("\r\n", "\n\r"); each pair,
    // and each lone CR or LF, is shown as one line break.
    static QString displayText(const QString& text);
};
