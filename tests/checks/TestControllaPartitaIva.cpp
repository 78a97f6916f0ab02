#include "checks/ControllaPartitaIva.h"
#include "checks/UfficiIva.h"

#include <QTest>

namespace {

// Check digits worked out by hand with the published rule.
const QStringList numeriCorretti = {"01234560157", "00743110157", "12345671015", "99999991203", "00000000000",
                                    "55555551039", "87654320404", "00000009993", "11111111214"};

} // namespace

class TestControllaPartitaIva : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numeri_data();
    void numeri();
    void cifraCambiata_data();
    void cifraCambiata();
    void carattereAmmesso_data();
    void carattereAmmesso();
    void codiceUfficio_data();
    void codiceUfficio();
};

void TestControllaPartitaIva::numeri_data()
{
    QTest::addColumn<QString>("partitaIva");
    QTest::addColumn<bool>("atteso");
    for (const QString& numero : numeriCorretti) {
        QTest::newRow(qPrintable(numero)) << numero << true;
    }
    QTest::newRow("vuoto") << "" << false;
    QTest::newRow("10 cifre") << "0123456015" << false;
    QTest::newRow("12 cifre") << "012345601570" << false;
    QTest::newRow("12 cifre con le prime 11 giuste") << "000000000000" << false;
    QTest::newRow("lettera finale") << "0123456015A" << false;
    QTest::newRow("lettera iniziale") << "A1234560157" << false;
    QTest::newRow("spazio interno") << "01234 60157" << false;
    QTest::newRow("segno meno") << "-0000000000" << false;
    // Digits of other scripts are digits to QChar::isDigit, but no VAT number holds them.
    QTest::newRow("cifre arabe") << QString(11, QChar(0x0660)) << false;
    QTest::newRow("cifre a tutta larghezza") << QString(11, QChar(0xFF10)) << false;
    QTest::newRow("cifra in apice") << QStringLiteral("0000000000\u00B2") << false;
}

void TestControllaPartitaIva::numeri()
{
    QFETCH(QString, partitaIva);
    QFETCH(bool, atteso);
    QCOMPARE(ControllaPartitaIva(partitaIva), atteso);
}

void TestControllaPartitaIva::cifraCambiata_data()
{
    // The rule catches any single changed digit: in even places doubling and adding the digits maps
    // 0..9 onto 0..9 one to one. Covers the 11th digit and every one of the first ten.
    QTest::addColumn<QString>("partitaIva");
    for (const QString& numero : numeriCorretti) {
        for (int posizione = 0; posizione < 11; ++posizione) {
            for (char16_t cifra = u'0'; cifra <= u'9'; ++cifra) {
                if (numero[posizione] != cifra) {
                    QString cambiato = numero;
                    cambiato[posizione] = QChar(cifra);
                    QTest::newRow(qPrintable(cambiato)) << cambiato;
                }
            }
        }
    }
}

void TestControllaPartitaIva::cifraCambiata()
{
    QFETCH(QString, partitaIva);
    QVERIFY(!ControllaPartitaIva(partitaIva));
}

// The key rule that both VAT boxes (the card's and the check window's) apply to each typed character.
void TestControllaPartitaIva::carattereAmmesso_data()
{
    QTest::addColumn<QChar>("carattere");
    QTest::addColumn<bool>("ammesso");
    for (char16_t cifra = u'0'; cifra <= u'9'; ++cifra)
        QTest::newRow(qPrintable(QString(QChar(cifra)))) << QChar(cifra) << true;
    QTest::newRow("backspace") << QChar(8) << true;
    QTest::newRow("invio") << QChar(13) << true;
    QTest::newRow("a capo") << QChar(10) << false;
    QTest::newRow("tab") << QChar(9) << false;
    QTest::newRow("esc") << QChar(27) << false;
    QTest::newRow("ctrl+c") << QChar(3) << false;
    QTest::newRow("ctrl+v") << QChar(22) << false;
    QTest::newRow("ctrl+x") << QChar(24) << false;
    QTest::newRow("canc") << QChar(127) << false;
    QTest::newRow("spazio") << QChar(u' ') << false;
    QTest::newRow("meno") << QChar(u'-') << false;
    QTest::newRow("lettera") << QChar(u'a') << false;
    QTest::newRow("barra prima dello zero") << QChar(u'/') << false;
    QTest::newRow("due punti dopo il nove") << QChar(u':') << false;
    QTest::newRow("cifra araba") << QChar(0x0660) << false;
    QTest::newRow("cifra a tutta larghezza") << QChar(0xFF11) << false;
    QTest::newRow("apice due") << QChar(0x00B2) << false;
}

void TestControllaPartitaIva::carattereAmmesso()
{
    QFETCH(QChar, carattere);
    QFETCH(bool, ammesso);
    QCOMPARE(carattereAmmessoPartitaIva(carattere), ammesso);
}

// The issuing office's code: characters 8 to 10 of the number, whatever they are.
void TestControllaPartitaIva::codiceUfficio_data()
{
    QTest::addColumn<QString>("partitaIva");
    QTest::addColumn<QString>("codice");
    QTest::newRow("015") << "00743110157"
                         << "015";
    QTest::newRow("120") << "12345671205"
                         << "120";
    QTest::newRow("000") << "00000000000"
                         << "000";
    QTest::newRow("lettere") << "1234567ABC5"
                             << "ABC";
    QTest::newRow("dieci caratteri") << "0074311015"
                                     << "015";
    QTest::newRow("nove caratteri") << "007431101"
                                    << "";
    QTest::newRow("vuoto") << ""
                           << "";
}

void TestControllaPartitaIva::codiceUfficio()
{
    QFETCH(QString, partitaIva);
    QFETCH(QString, codice);
    QCOMPARE(codiceUfficioIva(partitaIva).toString(), codice);
}

QTEST_APPLESS_MAIN(TestControllaPartitaIva)
#include "TestControllaPartitaIva.moc"
