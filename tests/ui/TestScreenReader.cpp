#include "ui/ScreenReader.h"

#include <QAccessible>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QTest>

#include <memory>

// A hidden control is missing from its parent's accessible children, whatever the parent and whether a screen
// reader had looked at the parent before; the parent keeps the role Qt gives it.
class TestScreenReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void hiddenChildIsLeftOut_data()
    {
        QTest::addColumn<int>("kind"); // 0 widget, 1 frame, 2 dialog
        QTest::addColumn<bool>("askedBefore");
        QTest::addColumn<int>("role");
        QTest::newRow("window") << 0 << false << int(QAccessible::Client);
        QTest::newRow("window a reader knew") << 0 << true << int(QAccessible::Client);
        QTest::newRow("panel a reader knew") << 1 << true << int(QAccessible::Border);
        QTest::newRow("dialog") << 2 << false << int(QAccessible::Dialog);
    }

    void hiddenChildIsLeftOut()
    {
        QFETCH(int, kind);
        QFETCH(bool, askedBefore);
        QFETCH(int, role);
        std::unique_ptr<QWidget> parent(kind == 0   ? new QWidget
                                        : kind == 1 ? static_cast<QWidget*>(new QFrame)
                                                    : new QDialog);
        auto* picture = new QLabel(parent.get());
        auto* caption = new QLabel(QStringLiteral("Salva"), parent.get());
        if (askedBefore)
            QCOMPARE(QAccessible::queryAccessibleInterface(parent.get())->childCount(), 2);
        hideFromScreenReaders(picture);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(parent.get());
        QCOMPARE(int(a11y->role()), role);
        QCOMPARE(a11y->childCount(), 1);
        QCOMPARE(a11y->child(0)->object(), caption);
        QCOMPARE(a11y->indexOfChild(a11y->child(0)), 0);
        QCOMPARE(a11y->indexOfChild(QAccessible::queryAccessibleInterface(picture)), -1);
    }
};

QTEST_MAIN(TestScreenReader)
#include "TestScreenReader.moc"
