#include "ui/MessageService.h"

#include "ui/ApplicationTitle.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtMessageService final : public MessageService
{
public:
    void showMessage(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, applicationTitle(), displayText(text), QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    bool askYesNo(QWidget* parent, const QString& caption, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, caption, displayText(text), QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    int choose(QWidget* parent, const QString& caption, const QString& text, const QStringList& choices) override
    {
        QMessageBox box(QMessageBox::NoIcon, caption, displayText(text), QMessageBox::NoButton, parent);
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton*> buttons;
        for (const QString& choice : choices)
            buttons << box.addButton(choice, QMessageBox::AcceptRole);
        if (!buttons.isEmpty()) {
            box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
            box.setEscapeButton(buttons.last());
        }
        box.exec();
        const int chosen = int(buttons.indexOf(box.clickedButton()));
        return chosen < 0 ? int(choices.size()) - 1 : chosen;
    }

    void reportError(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::Critical, applicationTitle(), displayText(text), QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
};

} // namespace

MessageService& MessageService::realService()
{
    static QtMessageService service;
    return service;
}

QString MessageService::displayText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            out += c;
            continue;
        }
        out += u'\n';
        const QChar partner = c == u'\r' ? u'\n' : u'\r';
        if (i + 1 < text.size() && text.at(i + 1) == partner)
            ++i;
    }
    return out;
}
