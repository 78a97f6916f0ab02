#pragma once

#include "ui/MessageService.h"

#include <QList>
#include <QString>

#include <functional>

// Records every message box the program asks for and answers Yes/No questions from a queue, so that no
// modal box ever blocks a test. Installed for its lifetime.
class FakeMessageService final : public MessageService
{
public:
    enum class Kind { Message, Question, Choice, Error };
    struct Entry
    {
        Kind kind;
        QString caption;
        QString text;
    };

    FakeMessageService() { MessageService::setCurrent(this); }
    ~FakeMessageService() override { MessageService::setCurrent(nullptr); }

    void showMessage(QWidget*, const QString& text) override { record(Kind::Message, {}, text); }
    bool askYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        record(Kind::Question, caption, text);
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    int choose(QWidget*, const QString& caption, const QString& text, const QStringList&) override
    {
        record(Kind::Choice, caption, text);
        return choices.isEmpty() ? 0 : choices.takeFirst();
    }
    void reportError(QWidget*, const QString& text) override { record(Kind::Error, {}, text); }

    QStringList texts() const
    {
        QStringList out;
        for (const Entry& e : entries)
            out << e.text;
        return out;
    }
    QString lastText() const { return entries.isEmpty() ? QString() : entries.constLast().text; }
    void clear() { entries.clear(); }

    QList<Entry> entries;
    QList<bool> answers;                // the next Yes/No answers; Yes once it runs out
    QList<int> choices;                 // the next choices made; the first once it runs out
    std::function<void()> whileShowing; // runs while a box is "on screen", to look at the program then

private:
    void record(Kind kind, const QString& caption, const QString& text)
    {
        entries.append({kind, caption, text});
        if (whileShowing)
            whileShowing();
    }
};
