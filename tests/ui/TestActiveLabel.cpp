#include "ui/ActiveLabel.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

// Movement as the window system delivers it: to the window, which finds the widget under the pointer.
void pointerTo(QWidget* widget, QPoint at)
{
    QWindow* window = widget->window()->windowHandle();
    QTest::mouseMove(window, widget->mapTo(widget->window(), at));
}

} // namespace

class TestActiveLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void releaseAndPressOfAnyButton_data();
    void releaseAndPressOfAnyButton();
    void releaseGoesToTheLabelThatGotThePress();
    void moveWithoutButton();
    void handCursorAndNoFocus();
    void aPushButtonToScreenReaders();
};

void TestActiveLabel::releaseAndPressOfAnyButton_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("left") << Qt::LeftButton << Qt::KeyboardModifiers();
    QTest::newRow("right") << Qt::RightButton << Qt::KeyboardModifiers();
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers();
    QTest::newRow("left with shift") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestActiveLabel::releaseAndPressOfAnyButton()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    QWidget window;
    window.resize(200, 100);
    auto* label = new ActiveLabel(&window);
    label->setGeometry(10, 10, 60, 30);
    QSignalSpy pressed(label, &ActiveLabel::mousePressed);
    QSignalSpy released(label, &ActiveLabel::mouseReleased);

    QTest::mousePress(label, button, modifiers, QPoint(5, 5));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.at(0).at(0).value<Qt::MouseButton>(), button);
    QCOMPARE(released.count(), 0);

    // The release acts wherever the pointer is by then.
    QTest::mouseRelease(label, button, modifiers, QPoint(50, 25));
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.at(0).at(0).value<Qt::MouseButton>(), button);
    QCOMPARE(pressed.count(), 1);
}

void TestActiveLabel::releaseGoesToTheLabelThatGotThePress()
{
    QWidget window;
    window.resize(200, 100);
    auto* first = new ActiveLabel(&window);
    first->setGeometry(10, 10, 40, 30);
    auto* second = new ActiveLabel(&window);
    second->setGeometry(100, 10, 40, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy firstReleased(first, &ActiveLabel::mouseReleased);
    QSignalSpy secondReleased(second, &ActiveLabel::mouseReleased);

    QWindow* handle = window.windowHandle();
    QTest::mousePress(handle, Qt::RightButton, {}, QPoint(20, 20));
    QTest::mouseRelease(handle, Qt::RightButton, {}, QPoint(110, 20));
    QCOMPARE(firstReleased.count(), 1);
    QCOMPARE(secondReleased.count(), 0);
}

void TestActiveLabel::moveWithoutButton()
{
    QWidget window;
    window.resize(200, 100);
    auto* label = new ActiveLabel(&window);
    label->setGeometry(10, 10, 60, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy moved(label, &ActiveLabel::mouseMoved);

    pointerTo(&window, QPoint(150, 80));
    QCOMPARE(moved.count(), 0);
    pointerTo(label, QPoint(5, 5));
    pointerTo(label, QPoint(20, 10));
    QCOMPARE(moved.count(), 2);
    pointerTo(&window, QPoint(150, 80));
    QCOMPARE(moved.count(), 2);
}

void TestActiveLabel::handCursorAndNoFocus()
{
    QWidget window;
    ActiveLabel* picture = ActiveLabel::picture(&window, QStringLiteral("imgProva"), QStringLiteral("non-esiste"),
                                                QStringLiteral("Prova"));
    ActiveLabel* caption = ActiveLabel::caption(&window, QStringLiteral("lblProva"), QStringLiteral("Salva"));
    for (ActiveLabel* label : {picture, caption}) {
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        QVERIFY(label->hasMouseTracking());
    }
    // A picture missing from the resources leaves an empty picture, not a failure.
    QCOMPARE(picture->objectName(), QStringLiteral("imgProva"));
    QCOMPARE(picture->accessibleName(), QStringLiteral("Prova"));
    QCOMPARE(caption->text(), QStringLiteral("Salva"));
    QCOMPARE(caption->accessibleName(), QStringLiteral("Salva"));
    QVERIFY(caption->font().underline());
    QCOMPARE(caption->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(caption->font().pointSize(), 8);
}

// A screen reader sees a push button named by the caption (or the picture's name), whose press action acts
// like a release of the left button.
void TestActiveLabel::aPushButtonToScreenReaders()
{
    QWidget window;
    ActiveLabel* picture = ActiveLabel::picture(&window, QStringLiteral("imgProva"), QStringLiteral("non-esiste"),
                                                QStringLiteral("Prova"));
    ActiveLabel* caption = ActiveLabel::caption(&window, QStringLiteral("lblProva"), QStringLiteral("Salva"));
    for (ActiveLabel* label : {picture, caption}) {
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(label);
        QVERIFY(a11y);
        QCOMPARE(a11y->role(), QAccessible::Button);
        QCOMPARE(a11y->text(QAccessible::Name), label == picture ? QStringLiteral("Prova") : QStringLiteral("Salva"));
        QAccessibleActionInterface* actions = a11y->actionInterface();
        QVERIFY(actions);
        QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});

        QSignalSpy released(label, &ActiveLabel::mouseReleased);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(released.count(), 1);
        QCOMPARE(released.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(released.count(), 1);
        label->setEnabled(false);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(released.count(), 1);
    }
}

QTEST_MAIN(TestActiveLabel)
#include "TestActiveLabel.moc"
