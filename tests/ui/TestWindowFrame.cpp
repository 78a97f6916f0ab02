#include "ui/WindowFrame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

class TestWindowFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frames_data();
    void frames();
    void fixedPlacement();
    void centredOnTheFreeArea();
};

void TestWindowFrame::frames_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("minimise");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("help");

    using B = WindowFrame::Border;
    QTest::newRow("main menu") << false << int(B::SingleFixed) << true << QSize(783, 505) << WindowFrame::silver() << 0;
    QTest::newRow("fixed dialog") << true << int(B::SingleFixed) << false << QSize(392, 208) << WindowFrame::silver()
                                  << 0;
    QTest::newRow("sizeable dialog") << true << int(B::Sizeable) << false << QSize(390, 206) << WindowFrame::silver()
                                     << 1011;
    QTest::newRow("dialog frame") << true << int(B::Dialog) << false << QSize(697, 393) << WindowFrame::silver()
                                  << 1012;
    QTest::newRow("navy help window") << true << int(B::SingleFixed) << false << QSize(561, 459) << WindowFrame::navy()
                                      << 0;
    QTest::newRow("black splash") << true << int(B::Dialog) << false << QSize(591, 356) << WindowFrame::black() << 1003;
}

void TestWindowFrame::frames()
{
    QFETCH(bool, dialog);
    QFETCH(int, border);
    QFETCH(bool, minimise);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    QFETCH(int, help);

    std::unique_ptr<QWidget> window(dialog ? new QDialog : new QWidget);
    applyFrame(window.get(), {.caption = QStringLiteral(" Prova"),
                              .clientSize = size,
                              .background = colour,
                              .border = WindowFrame::Border(border),
                              .minimiseButton = minimise,
                              .helpContext = help});

    QCOMPARE(window->windowTitle(), QStringLiteral(" Prova"));
    QCOMPARE(window->size(), size);
    QCOMPARE(helpContext(window.get()), help);
    QCOMPARE(window->palette().color(QPalette::Window), colour);
    QVERIFY(window->autoFillBackground());
    QCOMPARE(window->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(window->font().pointSize(), 8);

    const Qt::WindowFlags flags = window->windowFlags();
    QCOMPARE(window->isWindow(), true);
    QCOMPARE(flags.testFlag(Qt::Dialog), dialog);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(flags.testFlag(Qt::WindowMinimizeButtonHint), minimise);

    const bool sizeable = WindowFrame::Border(border) == WindowFrame::Border::Sizeable;
    QCOMPARE(window->minimumSize() == size && window->maximumSize() == size, !sizeable);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(size + QSize(50, 30));
    QCOMPARE(window->size(), sizeable ? size + QSize(50, 30) : size);
}

void TestWindowFrame::fixedPlacement()
{
    QDialog window;
    applyFrame(&window, {.caption = QStringLiteral(" Splash"),
                         .clientSize = QSize(591, 356),
                         .background = WindowFrame::black(),
                         .border = WindowFrame::Border::Dialog,
                         .placement = WindowFrame::Placement::Fixed,
                         .position = QPoint(359, 140)});
    QCOMPARE(window.pos(), QPoint(359, 140));
}

void TestWindowFrame::centredOnTheFreeArea()
{
    QWidget window;
    applyFrame(
        &window,
        {.caption = QStringLiteral(" Centro"), .clientSize = QSize(392, 208), .background = WindowFrame::silver()});
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offset = window.geometry().center() - free.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

QTEST_MAIN(TestWindowFrame)
#include "TestWindowFrame.moc"
