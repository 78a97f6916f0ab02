#include "app/Forms.h"
#include "app/IstanzaUnica.h"
#include "app/Maker.h"
#include "app/Startup.h"
#include "app/TfrmCarnetto.h"
#include "app/TfrmHelpForm.h"
#include "cards/TfrmContatti.h"
#include "support/FakeMessageService.h"
#include "support/FakeShellService.h"
#include "support/ModaleAttesa.h"
#include "ui/ActiveLabel.h"
#include "ui/WindowFrame.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMovie>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <future>
#include <memory>

#include <unistd.h>

namespace {

void release(QWidget* control, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(control, button);
    QTest::mouseRelease(control, button);
}

QWidget* topLevel(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name)
            return w;
    }
    return nullptr;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_forms = std::make_unique<Forms>(m_dir.path());
        frmCarnetto()->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmCarnetto()));
    }
    void cleanup() { m_forms.reset(); }

    void windowsAreCreatedOnceInOrder()
    {
        const QStringList expected = {"frmCarnetto",    "frmContatti", "frmCodFisc",       "frmBakContatti",
                                      "frmExpContatti", "frmIva",      "frmTrovaContatti", "frmInfo",
                                      "frmHelpForm",    "frmSplash"};
        QCOMPARE(m_forms->creationOrder(), expected);
        QCOMPARE(m_forms->helpFile(), m_dir.path() + "/Zettario.hlp");
        // Start-up leaves the archive alone.
        QVERIFY(!QFile::exists(m_dir.filePath("Contatti.pro")));
    }

    void onlyTheMainMenuIsShown()
    {
        QWidgetList visible;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible())
                visible << w;
        }
        QCOMPARE(visible, QWidgetList{frmCarnetto()});
    }

    void framesOfTheWindows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<bool>("minimise");
        QTest::addColumn<int>("help");
        QTest::newRow("menu") << "frmCarnetto"
                              << " Carnetto 4.0" << QSize(783, 505) << true << true << 0;
        QTest::newRow("cards") << "frmContatti"
                               << " Rubrica contatti" << QSize(783, 505) << true << true << 1006;
        QTest::newRow("fiscal") << "frmCodFisc"
                                << " Controllo codice fiscale" << QSize(392, 208) << true << false << 0;
        QTest::newRow("backup") << "frmBakContatti"
                                << " Backup / Ripristino rubrica contatti" << QSize(697, 393) << true << false << 1012;
        QTest::newRow("export") << "frmExpContatti"
                                << " Esportazione rubrica contatti" << QSize(783, 505) << true << true << 1006;
        QTest::newRow("vat") << "frmIva"
                             << " Controllo partita IVA" << QSize(390, 206) << false << false << 1011;
        QTest::newRow("search") << "frmTrovaContatti"
                                << " Ricerca scheda in archivio" << QSize(697, 393) << true << false << 1006;
        QTest::newRow("about") << "frmInfo"
                               << " Informazioni su Carnetto 4.0" << QSize(472, 479) << true << false << 1004;
        QTest::newRow("help") << "frmHelpForm"
                              << " Guida in linea" << QSize(561, 459) << true << false << 0;
        QTest::newRow("credits") << "frmSplash"
                                 << " Carnetto 4.0 - Software by Studio Carnetto" << QSize(591, 356) << true << false
                                 << 1003;
    }

    void framesOfTheWindows()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(bool, fixed);
        QFETCH(bool, minimise);
        QFETCH(int, help);
        QWidget* window = topLevel(name);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->size(), size);
        QCOMPARE(window->minimumSize() == window->maximumSize(), fixed);
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint), minimise);
        QVERIFY(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QCOMPARE(helpContext(window), help);
    }

    // Esc closes no window, whichever control has the keyboard, and the credits window opens nothing on it;
    // the close box still closes them (but the main menu's, which ends the program).
    void escClosesNoWindow_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"frmCarnetto", "frmContatti", "frmCodFisc", "frmBakContatti", "frmExpContatti",
                                 "frmIva", "frmTrovaContatti", "frmInfo", "frmHelpForm", "frmSplash", "frmSincronizza"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void escClosesNoWindow()
    {
        QFETCH(QString, name);
        FakeShellService shell;
        FakeMessageService messages;
        QWidget* window = topLevel(name);
        QVERIFY(window);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QVERIFY(shell.opened.isEmpty());
        if (window != frmCarnetto()) {
            window->close();
            QVERIFY(!window->isVisible());
        }
    }

    void tooltipsOnlyOnTheHintedControls()
    {
        const QHash<QString, QString> hints = {
            {"imgInfo", " Informazioni su... "},
            {"imgGuida", " Guida "},
            {"imgCopyright", " Copyright "},
            {"lblRights", " Visita il sito Internet dell'autore "},
            {"imgAnimata", " Visita il sito Internet dell'autore "},
            {"imgEsci", " Esci "},
            {"imgSincronizza", " Sincronizza con una rubrica in rete "},
        };
        for (QWidget* child : frmCarnetto()->findChildren<QWidget*>()) {
            QCOMPARE(child->toolTip(), hints.value(child->objectName()));
            if (qobject_cast<ActiveLabel*>(child))
                QCOMPARE(child->cursor().shape(), Qt::PointingHandCursor);
        }
    }

    // What a screen reader finds in the main menu: each choice once, as a button with its name (the picture
    // and its caption picture, the credit line and the strip, are one choice each), and no unnamed pictures:
    // what only decorates is left out.
    void theMainMenuForAScreenReader()
    {
        QStringList found;
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            for (int i = 0; i < node->childCount(); ++i) {
                QAccessibleInterface* child = node->child(i);
                const QString name = child->text(QAccessible::Name);
                if (child->childCount() > 0)
                    walk(child);
                else
                    found << QStringLiteral("%1 %2").arg(int(child->role())).arg(name);
            }
        };
        walk(QAccessible::queryAccessibleInterface(frmCarnetto()));
        found.sort();
        const int button = QAccessible::Button;
        QStringList expected;
        for (const char* name :
             {"Backup", "Contatti", "Copyright", "Esci", "Esporta", "Guida", "Informazioni", "Sincronizza"})
            expected << QStringLiteral("%1 %2").arg(button).arg(QLatin1StringView(name));
        expected << QStringLiteral("%1 %2").arg(button).arg(makerCreditLine());
        expected.sort();
        QCOMPARE(found, expected);
    }

    void anyButtonOnTheContactsPictureOpensTheCards_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("button");
        for (const char* control : {"imgContatti", "titContatti"}) {
            QTest::addRow("%s left", control) << control << Qt::LeftButton;
            QTest::addRow("%s right", control) << control << Qt::RightButton;
            QTest::addRow("%s middle", control) << control << Qt::MiddleButton;
        }
    }

    void anyButtonOnTheContactsPictureOpensTheCards()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, button);
        QMovie* firstStrip = frmCarnetto()->strip();
        QVERIFY(firstStrip);

        release(frmCarnetto()->findChild<QWidget*>(control), button);
        QVERIFY(frmContatti()->isVisible());
        QVERIFY(!frmCarnetto()->isVisible());

        frmContatti()->close();
        QVERIFY(!frmContatti()->isVisible());
        QVERIFY(frmCarnetto()->isVisible());
        // Shown again, the menu plays a new strip from its first frame.
        QVERIFY(frmCarnetto()->strip() != firstStrip);
        QCOMPARE(frmCarnetto()->strip()->state(), QMovie::Running);
        QCOMPARE(frmCarnetto()->strip()->currentFrameNumber(), 0);
    }

    // What reaches the screen is the strip's frame of the moment, and it moves on as the strip plays.
    void theStripShowsItsFrames()
    {
        QMovie* strip = frmCarnetto()->strip();
        const auto onScreen = [] {
            const QImage window = frmCarnetto()->screen()->grabWindow(frmCarnetto()->winId()).toImage();
            return window.copy(frmCarnetto()->imgAnimata->geometry()).convertToFormat(QImage::Format_RGB32);
        };
        const QImage before = onScreen();
        QTRY_VERIFY(onScreen() != before);
        strip->setPaused(true);
        QTest::qWait(20); // the last frame's repaint
        QCOMPARE(onScreen(), strip->currentPixmap().toImage().convertToFormat(QImage::Format_RGB32));
    }

    void stripAndCreditLineActOnThePress()
    {
        FakeShellService shell;
        for (QWidget* control :
             {static_cast<QWidget*>(frmCarnetto()->imgAnimata), static_cast<QWidget*>(frmCarnetto()->lblRights)}) {
            shell.opened.clear();
            QTest::mousePress(control, Qt::RightButton);
            QCOMPARE(shell.opened, QStringList{makerWebSite()});
            QTest::mouseRelease(control, Qt::RightButton);
            QCOMPARE(shell.opened.size(), 1);
        }
    }

    void iconsOpenTheirWindowsModally_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("window");
        QTest::newRow("backup picture") << "imgBackup"
                                        << "frmBakContatti";
        QTest::newRow("backup caption") << "titBackup"
                                        << "frmBakContatti";
        QTest::newRow("export picture") << "imgEsporta"
                                        << "frmExpContatti";
        QTest::newRow("export caption") << "titEsporta"
                                        << "frmExpContatti";
        QTest::newRow("about") << "imgInfo"
                               << "frmInfo";
        QTest::newRow("help") << "imgGuida"
                              << "frmHelpForm";
        QTest::newRow("credits") << "imgCopyright"
                                 << "frmSplash";
        QTest::newRow("synchronisation") << "imgSincronizza"
                                         << "frmSincronizza";
    }

    void iconsOpenTheirWindowsModally()
    {
        QFETCH(QString, control);
        QFETCH(QString, window);
        QWidget* button = frmCarnetto()->findChild<QWidget*>(control);
        QVERIFY(button);
        bool menuVisibleBehind = false;
        ModaleAttesa attesa([&](QWidget*) { menuVisibleBehind = frmCarnetto()->isVisible(); });
        release(button, Qt::MiddleButton);
        QCOMPARE(attesa.viste(), 1);
        QVERIFY(attesa.ultima);
        QCOMPARE(attesa.ultima->objectName(), window);
        QVERIFY(menuVisibleBehind);
        QVERIFY(frmCarnetto()->isVisible());
    }

    void helpIconShowsTheMainTopic()
    {
        ModaleAttesa attesa;
        release(frmCarnetto()->imgGuida);
        QCOMPARE(attesa.viste(), 1);
        QCOMPARE(frmHelpForm()->panTitle->text(), QStringLiteral("Uno sguardo ad Carnetto 4.0"));
        const QString text = frmHelpForm()->memTopic->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("Carnetto è un software compatto")));
        QCOMPARE(text.count(QStringLiteral("\n\n")), 6);
        QVERIFY(!text.endsWith(u'\n'));
    }

    void f1ShowsTheTopicOfTheWindow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::newRow("menu") << "frmCarnetto"
                              << "Uno sguardo ad Carnetto 4.0";
        QTest::newRow("cards") << "frmContatti"
                               << "Rubrica contatti";
        QTest::newRow("search") << "frmTrovaContatti"
                                << "Rubrica contatti";
        QTest::newRow("export") << "frmExpContatti"
                                << "Esportazione rubrica contatti";
        QTest::newRow("about") << "frmInfo"
                               << "Uno sguardo ad Carnetto 4.0";
    }

    void f1ShowsTheTopicOfTheWindow()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);
        QWidget* target = topLevel(window);
        QVERIFY(target);
        frmHelpForm()->panTitle->clear();
        ModaleAttesa attesa;
        QTest::keyClick(target, Qt::Key_F1);
        QCOMPARE(attesa.viste(), 1);
        QCOMPARE(attesa.ultima.data(), static_cast<QWidget*>(frmHelpForm()));
        QCOMPARE(frmHelpForm()->panTitle->text(), title);
    }

    void qtsOwnButtonsSpeakItalian()
    {
        installItalianTranslation(*qApp, QCoreApplication::applicationDirPath());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Sì"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&No"));
    }

    void esciAndTheCloseBoxEndTheProgram_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Esci icon") << false;
        QTest::newRow("close box") << true;
    }

    void esciAndTheCloseBoxEndTheProgram()
    {
        QFETCH(bool, closeBox);
        QTimer::singleShot(0, [closeBox] {
            if (closeBox)
                frmCarnetto()->close();
            else
                release(frmCarnetto()->imgEsci, Qt::RightButton);
        });
        // A watchdog, so that a program that does not end fails instead of hanging. It belongs to this
        // test, so it cannot fire into a later one.
        bool ended = true;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&ended] {
            ended = false;
            QApplication::exit(1);
        });
        watchdog.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(ended);
    }

    // A start that finds the folder's name taken hands its file only to a copy of its user answering as one;
    // anything else and it goes on with a window of its own. Another user is not even told the file's name.
    void aSecondStartHandsOverOnlyToItsOwnCopy_data()
    {
        QTest::addColumn<QByteArray>("risposta");
        QTest::addColumn<bool>("altroUtente");
        QTest::newRow("a copy of the user") << QByteArray("ok\n") << false;
        QTest::newRow("another answer") << QByteArray("ok?\n") << false;
        QTest::newRow("another user") << QByteArray("ok\n") << true;
    }
    void aSecondStartHandsOverOnlyToItsOwnCopy()
    {
        QFETCH(QByteArray, risposta);
        QFETCH(bool, altroUtente);
        IstanzaUnica istanza(m_dir.path());
        if (altroUtente) {
#ifdef Q_OS_WIN
            istanza.attendiUtente(1); // any user but this one, which is 0 there
#else
            istanza.attendiUtente(::getuid() + 1);
#endif
        }
        QLocalServer altro;
        altro.setSocketOptions(QLocalServer::AbstractNamespaceOption);
        QVERIFY(altro.listen(IstanzaUnica::nomeServer(m_dir.path())));
        // The start waits for its answer: it runs on a thread of its own while this one answers.
        auto avvio = std::async(std::launch::async, [&] { return istanza.avvia(QStringLiteral("/a.vcf")); });
        QVERIFY(altro.waitForNewConnection(5000));
        QLocalSocket* socket = altro.nextPendingConnection();
        QByteArray letto;
        while (letto.count('\n') < 2 && socket->waitForReadyRead(2000))
            letto += socket->readAll();
        socket->write(risposta);
        socket->waitForBytesWritten(2000);
        QCOMPARE(avvio.get() == IstanzaUnica::Avvio::Consegnato, risposta == "ok\n" && !altroUtente);
        QCOMPARE(letto, altroUtente ? QByteArray() : QByteArray("carnetto 1\n/a.vcf\n"));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Forms> m_forms;
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
