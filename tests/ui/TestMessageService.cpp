#include "ui/ApplicationTitle.h"
#include "ui/MessageService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Waits in the box's own event loop until the real message box is up, then hands it to the test.
void whenBoxShows(const std::function<void(QMessageBox*)>& action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        action(box);
    });
    timer->start();
}

struct SeenBox
{
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

SeenBox look(QMessageBox* box)
{
    return {box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
            box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton};
}

} // namespace

class TestMessageService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayText_data();
    void displayText();
    void realMessageBox();
    void realQuestion_data();
    void realQuestion();
};

void TestMessageService::displayText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("no break") << "Codice fiscale CORRETTO."
                              << "Codice fiscale CORRETTO.";
    QTest::newRow("CR LF") << "a\r\nb"
                           << "a\nb";
    QTest::newRow("LF CR") << "a\n\rb"
                           << "a\nb";
    QTest::newRow("CR LF twice") << "a\r\n\r\nb"
                                 << "a\n\nb";
    QTest::newRow("LF CR twice") << "a\n\r\n\rb"
                                 << "a\n\nb";
    QTest::newRow("lone CR") << "a\rb"
                             << "a\nb";
    QTest::newRow("lone LF") << "a\nb"
                             << "a\nb";
    QTest::newRow("two LF") << "a\n\nb"
                            << "a\n\nb";
    QTest::newRow("two CR") << "a\r\rb"
                            << "a\n\nb";
    QTest::newRow("at both ends") << "\r\na\n\r"
                                  << "\na\n";
    QTest::newRow("pair then lone CR") << "a\r\n\rb"
                                       << "a\n\nb";
    QTest::newRow("only breaks") << "\n\r\n\r"
                                 << "\n\n";
    QTest::newRow("VAT result") << "Il numero di Partita IVA è CORRETTO.\r\n\r\nE' stato rilasciato dall'Ufficio IVA "
                                   "del Comune di Forlì."
                                << "Il numero di Partita IVA è CORRETTO.\n\nE' stato rilasciato dall'Ufficio IVA del "
                                   "Comune di Forlì.";
}

void TestMessageService::displayText()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(MessageService::displayText(text), shown);
}

void TestMessageService::realMessageBox()
{
    MessageService::setCurrent(nullptr);
    SeenBox seen;
    whenBoxShows([&](QMessageBox* box) {
        seen = look(box);
        box->button(QMessageBox::Ok)->click();
    });
    MessageService::current().showMessage(nullptr, QStringLiteral("uno\r\n\r\ndue"));
    QCOMPARE(seen.caption, applicationTitle());
    QCOMPARE(seen.text, QStringLiteral("uno\n\ndue"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMessageService::realQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
}

void TestMessageService::realQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, yes);

    MessageService::setCurrent(nullptr);
    SeenBox seen;
    whenBoxShows([&](QMessageBox* box) {
        seen = look(box);
        box->button(QMessageBox::StandardButton(answer))->click();
    });
    const bool result = MessageService::current().askYesNo(nullptr, QStringLiteral(" Elimina"),
                                                           QStringLiteral("Eliminare la scheda?\n\rSicuro?"));
    QCOMPARE(result, yes);
    QCOMPARE(seen.caption, QStringLiteral(" Elimina"));
    QCOMPARE(seen.text, QStringLiteral("Eliminare la scheda?\nSicuro?"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(seen.defaultButton, QMessageBox::Yes);
}

QTEST_MAIN(TestMessageService)
#include "TestMessageService.moc"
