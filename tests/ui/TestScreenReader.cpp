#include "ui/ScreenReader.h"

#include <QAccessible>
#include <QFrame>
#include <QGroupBox>
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
        QTest::addColumn<QString>("parentClass");
        QTest::addColumn<bool>("askedBefore");
        QTest::addColumn<int>("role");
        QTest::newRow("window") << QStringLiteral("QWidget") << false << int(QAccessible::Client);
        QTest::newRow("panel a reader knew") << QStringLiteral("QFrame") << true << int(QAccessible::Border);
        QTest::newRow("group box a reader knew, named by its title")
            << QStringLiteral("QGroupBox") << true << int(QAccessible::Grouping);
    }

    void hiddenChildIsLeftOut()
    {
        QFETCH(QString, parentClass);
        QFETCH(bool, askedBefore);
        QFETCH(int, role);
        const std::unique_ptr<QWidget> parent(parentClass == QLatin1String("QFrame") ? new QFrame
                                              : parentClass == QLatin1String("QGroupBox")
                                                  ? new QGroupBox(QStringLiteral("&Comandi"))
                                                  : new QWidget);
        auto* picture = new QLabel(parent.get());
        auto* caption = new QLabel(QStringLiteral("Salva"), parent.get());
        if (askedBefore)
            QCOMPARE(QAccessible::queryAccessibleInterface(parent.get())->childCount(), 2);
        hideFromScreenReaders(picture);
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(parent.get());
        QCOMPARE(int(a11y->role()), role);
        if (parentClass == QLatin1String("QGroupBox"))
            QCOMPARE(a11y->text(QAccessible::Name), QStringLiteral("Comandi"));
        QCOMPARE(a11y->childCount(), 1);
        QCOMPARE(a11y->child(0)->object(), caption);
        QCOMPARE(a11y->indexOfChild(QAccessible::queryAccessibleInterface(picture)), -1);
    }
};

QTEST_MAIN(TestScreenReader)
#include "TestScreenReader.moc"
