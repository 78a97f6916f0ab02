#include "support/TemaScuro.h"
#include "ui/WindowFrame.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <memory>

// What applyFrame() does to any window. The frames of the program's own windows (caption, size, title-bar
// buttons, help context) are checked once, on the real windows, by TestStartup.
class TestWindowFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void borders_data();
    void borders();
    void lookWhateverTheColourScheme_data();
    void lookWhateverTheColourScheme();
    void placementOnScreen_data();
    void placementOnScreen();
};

void TestWindowFrame::borders_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("minimise");

    using B = WindowFrame::Border;
    QTest::newRow("single fixed, minimise") << false << int(B::SingleFixed) << true;
    QTest::newRow("single fixed dialog") << true << int(B::SingleFixed) << false;
    QTest::newRow("sizeable dialog") << true << int(B::Sizeable) << false;
    QTest::newRow("dialog frame") << true << int(B::Dialog) << false;
}

// Only a sizeable border lets the window be resized; no frame ever offers maximise or context help.
void TestWindowFrame::borders()
{
    QFETCH(bool, dialog);
    QFETCH(int, border);
    QFETCH(bool, minimise);

    const QSize size(390, 206);
    std::unique_ptr<QWidget> window(dialog ? new QDialog : new QWidget);
    applyFrame(window.get(), {.caption = QStringLiteral(" Prova"),
                              .clientSize = size,
                              .background = WindowFrame::silver(),
                              .border = WindowFrame::Border(border),
                              .minimiseButton = minimise});

    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(window->isWindow());
    QCOMPARE(flags.testFlag(Qt::Dialog), dialog);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(flags.testFlag(Qt::WindowMinimizeButtonHint), minimise);

    const bool sizeable = WindowFrame::Border(border) == WindowFrame::Border::Sizeable;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->size(), size);
    window->resize(size + QSize(50, 30));
    QCOMPARE(window->size(), sizeable ? size + QSize(50, 30) : size);
}

void TestWindowFrame::lookWhateverTheColourScheme_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<int>("help");
    QTest::newRow("silver") << WindowFrame::silver() << 1011;
    QTest::newRow("navy") << WindowFrame::navy() << 0;
    QTest::newRow("black") << WindowFrame::black() << 1003;
}

// The named background, Tahoma 8 pt, and black for any text that sets no colour of its own, also under a
// dark desktop colour scheme.
void TestWindowFrame::lookWhateverTheColourScheme()
{
    QFETCH(QColor, background);
    QFETCH(int, help);

    const TemaScuro tema;

    QWidget window;
    auto* label = new QLabel(QStringLiteral("Testo"), &window);
    applyFrame(&window, {.caption = QStringLiteral(" Prova"),
                         .clientSize = QSize(200, 100),
                         .background = background,
                         .helpContext = help});
    QCOMPARE(window.windowTitle(), QStringLiteral(" Prova"));
    QCOMPARE(window.accessibleName(), QStringLiteral("Prova"));
    QCOMPARE(helpContext(&window), help);
    QCOMPARE(window.palette().color(QPalette::Window), background);
    QVERIFY(window.autoFillBackground());
    QCOMPARE(window.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(window.font().pointSize(), 8);
    QCOMPARE(label->palette().color(label->foregroundRole()), QColor(Qt::black));
    QCOMPARE(label->palette().color(QPalette::Window), background);
}

void TestWindowFrame::placementOnScreen_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<bool>("fixed");
    QTest::newRow("credits: a dialog at 359, 140") << true << true;
    QTest::newRow("a window centred") << false << false;
    QTest::newRow("a dialog centred") << true << false;
}

// Where the window system puts the window once it is shown (a dialog that was not placed would be centred over
// its parent by Qt), not what the widget remembers of a move before it had a window.
void TestWindowFrame::placementOnScreen()
{
    QFETCH(bool, dialog);
    QFETCH(bool, fixed);
    QWidget parent;
    parent.setGeometry(0, 0, 200, 100);
    parent.show();
    std::unique_ptr<QWidget> window(dialog ? new QDialog(&parent) : new QWidget);
    applyFrame(window.get(),
               {.caption = QStringLiteral(" Prova"),
                .clientSize = QSize(591, 356),
                .background = WindowFrame::black(),
                .border = WindowFrame::Border::Dialog,
                .placement = fixed ? WindowFrame::Placement::Fixed : WindowFrame::Placement::DesktopCentre,
                .position = QPoint(359, 140)});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    if (fixed) {
        QCOMPARE(window->windowHandle()->framePosition(), QPoint(359, 140));
        return;
    }
    // The whole window, frame included (the offscreen platform has one of 2 pixels), as on the desktop.
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offset = window->frameGeometry().center() - free.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

QTEST_MAIN(TestWindowFrame)
#include "TestWindowFrame.moc"
