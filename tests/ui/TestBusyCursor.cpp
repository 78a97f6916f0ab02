#include "ui/BusyCursor.h"

#include <QTest>

#include <stdexcept>

namespace {

bool busy()
{
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

int leaveEarly(bool early, bool& busyInside)
{
    const BusyCursor hourglass;
    busyInside = busy();
    if (early)
        return 1;
    return 2;
}

void failInside(bool& busyInside)
{
    const BusyCursor hourglass;
    busyInside = busy();
    throw std::runtime_error("archivio non leggibile");
}

} // namespace

class TestBusyCursor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QVERIFY(!QApplication::overrideCursor()); }
    void everyPathOut_data();
    void everyPathOut();
    void exception();
    void nested();
};

void TestBusyCursor::everyPathOut_data()
{
    QTest::addColumn<bool>("early");
    QTest::newRow("early return") << true;
    QTest::newRow("end of scope") << false;
}

void TestBusyCursor::everyPathOut()
{
    QFETCH(bool, early);
    bool busyInside = false;
    QCOMPARE(leaveEarly(early, busyInside), early ? 1 : 2);
    QVERIFY(busyInside);
    QVERIFY(!QApplication::overrideCursor());
}

void TestBusyCursor::exception()
{
    bool busyInside = false;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, failInside(busyInside));
    QVERIFY(busyInside);
    QVERIFY(!QApplication::overrideCursor());
}

void TestBusyCursor::nested()
{
    QApplication::setOverrideCursor(Qt::PointingHandCursor);
    {
        const BusyCursor outer;
        {
            const BusyCursor inner;
            QVERIFY(busy());
        }
        QVERIFY(busy());
    }
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QApplication::restoreOverrideCursor();
}

QTEST_MAIN(TestBusyCursor)
#include "TestBusyCursor.moc"
