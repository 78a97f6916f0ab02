#include "ui/FocusHighlight.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// Three watched boxes and a button, in that tab order.
struct FocusWindow
{
    FocusWindow()
    {
        form.resize(300, 200);
        for (int i = 0; i < 3; ++i) {
            boxes[i] = new QLineEdit(&form);
            boxes[i]->setGeometry(10, 10 + 40 * i, 200, 25);
        }
        button = new QPushButton(QStringLiteral("OK"), &form);
        button->setGeometry(220, 10, 60, 25);
        highlight = new FocusHighlight(&form);
        for (QLineEdit* box : boxes)
            highlight->watch(box);
    }

    QStringList colours() const
    {
        QStringList out;
        for (QLineEdit* box : boxes)
            out << (background(box) == FocusHighlight::yellow()  ? QStringLiteral("Y")
                    : background(box) == FocusHighlight::white() ? QStringLiteral("w")
                                                                 : background(box).name());
        return out;
    }

    QWidget form;
    QLineEdit* boxes[3];
    QPushButton* button;
    FocusHighlight* highlight;
};

bool activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// "entered 1", "exited 0" ... in the order the signals came.
struct Moments
{
    explicit Moments(FocusWindow& w)
    {
        QObject::connect(w.highlight, &FocusHighlight::entered, [&w, this](QLineEdit* box) {
            log << QStringLiteral("entered %1").arg(std::find(w.boxes, w.boxes + 3, box) - w.boxes);
        });
        QObject::connect(w.highlight, &FocusHighlight::exited, [&w, this](QLineEdit* box) {
            log << QStringLiteral("exited %1").arg(std::find(w.boxes, w.boxes + 3, box) - w.boxes);
        });
    }
    QStringList take() { return std::exchange(log, {}); }
    QStringList log;
};

} // namespace

class TestFocusHighlight : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void whiteWhenWatched();
    void tabMovesTheYellowBox();
    void focusOutReasons_data();
    void focusOutReasons();
    void anotherWindowTakingActivation();
    void focusMovedWhileInactive();
};

void TestFocusHighlight::whiteWhenWatched()
{
    FocusWindow w;
    QCOMPARE(w.colours(), QStringList({"w", "w", "w"}));
}

void TestFocusHighlight::tabMovesTheYellowBox()
{
    FocusWindow w;
    Moments moments(w);
    QVERIFY(activate(&w.form));
    QTRY_COMPARE(QApplication::focusWidget(), w.boxes[0]);
    QCOMPARE(w.colours(), QStringList({"Y", "w", "w"}));
    moments.take();

    QTest::keyClick(w.boxes[0], Qt::Key_Tab);
    QCOMPARE(w.colours(), QStringList({"w", "Y", "w"}));
    QCOMPARE(moments.take(), QStringList({"exited 0", "entered 1"}));

    QTest::keyClick(w.boxes[1], Qt::Key_Tab);
    QTest::keyClick(w.boxes[2], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.button);
    QCOMPARE(w.colours(), QStringList({"w", "w", "w"}));
    QCOMPARE(moments.take(), QStringList({"exited 1", "entered 2", "exited 2"}));

    QTest::keyClick(w.button, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(w.colours(), QStringList({"w", "w", "Y"}));
    QCOMPARE(moments.take(), QStringList({"entered 2"}));

    QTest::mouseClick(w.boxes[0], Qt::LeftButton);
    QCOMPARE(w.colours(), QStringList({"Y", "w", "w"}));
    QCOMPARE(moments.take(), QStringList({"exited 2", "entered 0"}));
}

void TestFocusHighlight::focusOutReasons_data()
{
    QTest::addColumn<Qt::FocusReason>("reason");
    QTest::addColumn<bool>("exit");
    QTest::newRow("tab") << Qt::TabFocusReason << true;
    QTest::newRow("backtab") << Qt::BacktabFocusReason << true;
    QTest::newRow("mouse") << Qt::MouseFocusReason << true;
    QTest::newRow("program") << Qt::OtherFocusReason << true;
    QTest::newRow("shortcut") << Qt::ShortcutFocusReason << true;
    // A message box, another window or a menu took the activation: not a move inside the window.
    QTest::newRow("activation") << Qt::ActiveWindowFocusReason << false;
    QTest::newRow("popup") << Qt::PopupFocusReason << false;
}

void TestFocusHighlight::focusOutReasons()
{
    QFETCH(Qt::FocusReason, reason);
    QFETCH(bool, exit);

    FocusWindow w;
    Moments moments(w);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(w.boxes[1], &in);
    QCOMPARE(moments.take(), QStringList{"entered 1"});

    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(w.boxes[1], &out);
    QCOMPARE(w.colours(), exit ? QStringList({"w", "w", "w"}) : QStringList({"w", "Y", "w"}));
    QCOMPARE(moments.take(), exit ? QStringList{"exited 1"} : QStringList{});

    // Getting the focus back with the activation is no Enter either, but the box is yellow.
    QFocusEvent back(QEvent::FocusIn, reason);
    QApplication::sendEvent(w.boxes[1], &back);
    QCOMPARE(w.colours(), QStringList({"w", "Y", "w"}));
    QCOMPARE(moments.take(), exit ? QStringList{"entered 1"} : QStringList{});
}

void TestFocusHighlight::anotherWindowTakingActivation()
{
    FocusWindow w;
    QVERIFY(activate(&w.form));
    w.boxes[2]->setFocus(Qt::TabFocusReason);
    QCOMPARE(w.colours(), QStringList({"w", "w", "Y"}));
    Moments moments(w);

    QWidget other;
    other.resize(100, 100);
    QVERIFY(activate(&other));
    QVERIFY(!w.boxes[2]->hasFocus());
    QCOMPARE(w.colours(), QStringList({"w", "w", "Y"}));

    QVERIFY(activate(&w.form));
    QTRY_VERIFY(w.boxes[2]->hasFocus());
    QCOMPARE(w.colours(), QStringList({"w", "w", "Y"}));
    QCOMPARE(moments.take(), QStringList{});
}

void TestFocusHighlight::focusMovedWhileInactive()
{
    FocusWindow w;
    QVERIFY(activate(&w.form));
    w.boxes[0]->setFocus(Qt::TabFocusReason);
    QWidget other;
    other.resize(100, 100);
    QVERIFY(activate(&other));

    // The program moves the focus while another window is active; the box that gets it when the window
    // is active again is the one yellow box.
    w.boxes[1]->setFocus(Qt::OtherFocusReason);
    QVERIFY(activate(&w.form));
    QTRY_VERIFY(w.boxes[1]->hasFocus());
    QCOMPARE(w.colours(), QStringList({"w", "Y", "w"}));
}

QTEST_MAIN(TestFocusHighlight)
#include "TestFocusHighlight.moc"
