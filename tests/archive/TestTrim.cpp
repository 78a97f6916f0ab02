#include "archive/Cp1252.h"
#include "archive/Trim.h"

#include <QTest>

class TestTrim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trim_data();
    void trim();
};

void TestTrim::trim_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("vuoto") << QString() << QString();
    QTest::newRow("blank ai lati") << QStringLiteral("  Rossi  ") << QStringLiteral("Rossi");
    QTest::newRow("blank interni restano") << QStringLiteral(" De  Luca ") << QStringLiteral("De  Luca");
    QTest::newRow("tab, CR, LF") << QStringLiteral("\t\r\nVia Roma 1\r\n\t") << QStringLiteral("Via Roma 1");
    QTest::newRow("controlli 1 e 31") << QStringLiteral("\x01x\x1f") << QStringLiteral("x");
    QTest::newRow("NUL") << QString(QString(QChar(0)) + QStringLiteral("x") + QChar(0)) << QStringLiteral("x");
    QTest::newRow("solo blank") << QStringLiteral(" \t\r\n ") << QString();
    QTest::newRow("DEL resta") << QStringLiteral("\x7fx\x7f") << QStringLiteral("\x7fx\x7f");
    QTest::newRow("NBSP resta") << QStringLiteral("\u00a0x\u00a0") << QStringLiteral("\u00a0x\u00a0");
    QTest::newRow("solo NBSP") << QStringLiteral("\u00a0") << QStringLiteral("\u00a0");
    QTest::newRow("C1 resta") << QStringLiteral("\u0085x") << QStringLiteral("\u0085x");
    QTest::newRow("em space resta") << QStringLiteral("\u2003x ") << QStringLiteral("\u2003x");
    QTest::newRow("un carattere") << QStringLiteral("!") << QStringLiteral("!");
}

void TestTrim::trim()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);

    QCOMPARE(Trim(testo), atteso);
    QCOMPARE(TrimView(testo).toString(), atteso);
    // The archive's readers trim the bytes before decoding; it must come to the same text.
    QCOMPARE(fromCp1252(TrimByte(toCp1252(testo))), fromCp1252(toCp1252(atteso)));
}

QTEST_GUILESS_MAIN(TestTrim)
#include "TestTrim.moc"
