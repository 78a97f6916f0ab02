#include "archive/Cp1252.h"

#include <QTest>

class TestCp1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ogniByteTornaUguale();
    void decodifica_data();
    void decodifica();
    void codifica_data();
    void codifica();
    void codificaInBuffer();
};

// Whatever another tool left in the archive survives a load and a save unchanged.
void TestCp1252::ogniByteTornaUguale()
{
    QByteArray tutti(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        tutti[i] = char(i);
    const QString testo = fromCp1252(tutti);
    QCOMPARE(testo.size(), 256);
    QCOMPARE(toCp1252(testo), tutti);
    for (int i = 0; i < 256; ++i)
        QVERIFY2(!testo.at(i).isSurrogate() && testo.at(i) != QChar::ReplacementCharacter,
                 qPrintable(QString::number(i)));
}

void TestCp1252::decodifica_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codice");

    QTest::newRow("NUL") << 0x00 << 0x0000;
    QTest::newRow("A") << 0x41 << 0x0041;
    QTest::newRow("DEL") << 0x7F << 0x007F;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("0x81 indefinito") << 0x81 << 0x0081;
    QTest::newRow("virgoletta bassa") << 0x82 << 0x201A;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("0x8D indefinito") << 0x8D << 0x008D;
    QTest::newRow("0x8F indefinito") << 0x8F << 0x008F;
    QTest::newRow("0x90 indefinito") << 0x90 << 0x0090;
    QTest::newRow("apostrofo tipografico") << 0x92 << 0x2019;
    QTest::newRow("trattino lungo") << 0x97 << 0x2014;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("0x9D indefinito") << 0x9D << 0x009D;
    QTest::newRow("Y dieresi") << 0x9F << 0x0178;
    QTest::newRow("NBSP") << 0xA0 << 0x00A0;
    QTest::newRow("a grave") << 0xE0 << 0x00E0;
    QTest::newRow("y dieresi") << 0xFF << 0x00FF;
}

void TestCp1252::decodifica()
{
    QFETCH(int, byte);
    QFETCH(int, codice);
    const QString testo = fromCp1252(QByteArray(1, char(byte)));
    QCOMPARE(testo.size(), 1);
    QCOMPARE(int(testo.at(0).unicode()), codice);
}

void TestCp1252::codifica_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QByteArray>("atteso");

    QTest::newRow("vuoto") << QString() << QByteArray();
    QTest::newRow("ascii") << QStringLiteral("Via Roma, 1") << QByteArray("Via Roma, 1");
    QTest::newRow("accentate") << QStringLiteral("àèéìòù") << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9");
    QTest::newRow("maiuscole accentate") << QStringLiteral("ÀÈÉÌÒÙ") << QByteArray("\xC0\xC8\xC9\xCC\xD2\xD9");
    QTest::newRow("euro") << QStringLiteral("5 €") << QByteArray("5 \x80");
    QTest::newRow("oe e Y dieresi") << QStringLiteral("œŸ") << QByteArray("\x9C\x9F");
    QTest::newRow("trade mark") << QStringLiteral("™") << QByteArray("\x99");
    QTest::newRow("polacco") << QStringLiteral("Łódź")
                             << QByteArray("?\xF3"
                                           "d?");
    QTest::newRow("sotto i caratteri speciali") << QStringLiteral("\u0151") << QByteArray("?");
    QTest::newRow("sopra i caratteri speciali") << QStringLiteral("\u2123") << QByteArray("?");
    QTest::newRow("C1 senza byte proprio") << QStringLiteral("\u0080\u0085\u009f") << QByteArray("???");
    QTest::newRow("C1 dei byte indefiniti") << QStringLiteral("\u0081\u009d") << QByteArray("\x81\x9D");
    QTest::newRow("cinese") << QStringLiteral("北京") << QByteArray("??");
    QTest::newRow("emoji, un carattere") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("surrogato isolato") << QString(QString(QChar(0xD83D)) + QChar('x')) << QByteArray("?x");
    QTest::newRow("surrogato in fondo") << QString(QStringLiteral("x") + QChar(0xD83D)) << QByteArray("x?");
    QTest::newRow("punto interrogativo vero") << QStringLiteral("?") << QByteArray("?");
}

void TestCp1252::codifica()
{
    QFETCH(QString, testo);
    QTEST(toCp1252(testo), "atteso");
}

// The fixed-buffer encoder writes nothing past the characters it returns.
void TestCp1252::codificaInBuffer()
{
    const QString testo = QStringLiteral("\U0001F600\U0001F600€");
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 'Z');
    QCOMPARE(toCp1252(testo, buffer), qsizetype(3));
    QCOMPARE(QByteArray(buffer, 8), QByteArray("??\x80ZZZZZ"));
}

QTEST_GUILESS_MAIN(TestCp1252)
#include "TestCp1252.moc"
