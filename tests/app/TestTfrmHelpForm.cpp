#include "app/HelpTopics.h"
#include "app/TfrmHelpForm.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The keys of the help window, while it is shown modally as every Guida icon shows it.
class TestTfrmHelpForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tasti_data();
    void tasti();
};

void TestTfrmHelpForm::tasti_data()
{
    QTest::addColumn<QByteArray>("controllo"); // where the key is pressed
    QTest::addColumn<int>("tasto");
    QTest::addColumn<bool>("chiude");

    // No cancel button, so Esc closes nothing, as in the check windows.
    QTest::newRow("esc sul testo") << QByteArray("memTopic") << int(Qt::Key_Escape) << false;
    QTest::newRow("esc su OK") << QByteArray("cmdOK") << int(Qt::Key_Escape) << false;
    QTest::newRow("invio su OK") << QByteArray("cmdOK") << int(Qt::Key_Return) << true;
    QTest::newRow("tastierino su OK") << QByteArray("cmdOK") << int(Qt::Key_Enter) << true;
    QTest::newRow("spazio su OK") << QByteArray("cmdOK") << int(Qt::Key_Space) << true;
}

void TestTfrmHelpForm::tasti()
{
    QFETCH(QByteArray, controllo);
    QFETCH(int, tasto);
    QFETCH(bool, chiude);

    QTemporaryDir dir;
    TfrmHelpForm help(dir.path());
    bool apertaDopoIlTasto = false;
    bool chiusaDalTest = false;
    QTimer::singleShot(0, &help, [&] {
        QWidget* w = help.findChild<QWidget*>(QLatin1StringView(controllo));
        if (tasto == Qt::Key_Space) {
            QTest::keyClick(w, Qt::Key(tasto));
        } else {
            QTest::keyPress(w, Qt::Key(tasto));
            QTest::keyRelease(w, Qt::Key(tasto));
        }
        apertaDopoIlTasto = help.isVisible();
        if (apertaDopoIlTasto) {
            chiusaDalTest = true;
            help.done(QDialog::Rejected);
        }
    });
    help.showTopic({QStringLiteral("Titolo"), {QStringLiteral("Paragrafo.")}});
    QCOMPARE(apertaDopoIlTasto, !chiude);
    QCOMPARE(chiusaDalTest, !chiude);
}

QTEST_MAIN(TestTfrmHelpForm)
#include "TestTfrmHelpForm.moc"
