#include "ui/ScreenReader.h"

#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QTest>

#include <memory>

// A hidden control is missing from its parent's accessible children, also when a screen reader had looked at
// the parent before; the parent keeps the role Qt gives it.
class TestScreenReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hiddenChildIsLeftOut_data()
    {
        QTest::addColumn<bool>("frame");
        QTest::addColumn<bool>("askedBefore");
        QTest::newRow("window") << false << false;
        QTest::newRow("panel a reader knew") << true << true;
    }

    void hiddenChildIsLeftOut()
    {
        QFETCH(bool, frame);
        QFETCH(bool, askedBefore);
        const std::unique_ptr<QWidget> parent(frame ? new QFrame : new QWidget);
        auto* picture = new QLabel(parent.get());
        auto* caption = new QLabel(QStringLiteral("Salva"), parent.get());
        if (askedBefore)
            QCOMPARE(QAccessible::queryAccessibleInterface(parent.get())->childCount(), 2);
        hideFromScreenReaders(picture);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(parent.get());
        QCOMPARE(a11y->role(), frame ? QAccessible::Border : QAccessible::Client);
        QCOMPARE(a11y->childCount(), 1);
        QCOMPARE(a11y->child(0)->object(), caption);
        QCOMPARE(a11y->indexOfChild(QAccessible::queryAccessibleInterface(picture)), -1);
    }
};

QTEST_MAIN(TestScreenReader)
#include "TestScreenReader.moc"
