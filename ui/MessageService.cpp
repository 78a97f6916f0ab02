#include "ui/MessageService.h"

#include "ui/ApplicationTitle.h"

#include <QApplication>
#include <QMessageBox>

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
