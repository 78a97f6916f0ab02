#include "checks/ControllaCodFisc.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The check letter worked out again from the tables as they are published (letters only; a digit
// counts as the letter of the same rank in odd places and as its own value in even places), so a
// slip in the program's 43-entry arrays cannot hide behind the same slip here.
const int valoriDispariLettere[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                      20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};

int valoreRiferimento(QChar c, bool dispari)
{
    int rango = 0;
    if (c >= u'0' && c <= u'9') {
        rango = c.unicode() - u'0';
    } else if (c >= u'A' && c <= u'Z') {
        rango = c.unicode() - u'A';
    } else {
        return 0; // ":" .. "@"
    }
    return dispari ? valoriDispariLettere[rango] : rango;
}

QChar letteraRiferimento(QStringView corpo)
{
    int somma = 0;
    for (int i = 0; i < 15; ++i) {
        somma += valoreRiferimento(corpo[i], i % 2 == 0);
    }
    return QChar(u'A' + somma % 26);
}

QString esito(std::optional<bool> risultato)
{
    if (!risultato) {
        return QStringLiteral("abbandono");
    }
    return *risultato ? QStringLiteral("corretto") : QStringLiteral("errato");
}

// Every character of this body is worth 0 where it stands, so its check letter is "A".
const QString corpoNullo = QStringLiteral("BABABABABABABAB");

} // namespace

class TestControllaCodFisc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codici_data();
    void codici();
    void letteraSbagliata_data();
    void letteraSbagliata();
    void caratteriSenzaValore();
    void caratteriFuoriTabella_data();
    void caratteriFuoriTabella();
    void corpiCasuali();
    void maiuscole_data();
    void maiuscole();
};

void TestControllaCodFisc::codici_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QString>("atteso");
    QTest::addColumn<QString>("attesoInMaiuscole");
    const auto riga = [](const char* titolo, const char* codice, const char* atteso, const char* inMaiuscole) {
        QTest::newRow(titolo) << codice << atteso << inMaiuscole;
    };

    // Check letters worked out by hand from the published tables.
    riga("esempio Rossi Mario", "RSSMRA85T10A562S", "corretto", "corretto");
    riga("esempio Bianchi", "BNCGNN70A41F205Y", "corretto", "corretto");
    riga("esempio Verdi", "VRDLGU63C12H501Z", "corretto", "corretto");
    riga("corpo a valore nullo", "BABABABABABABABA", "corretto", "corretto");
    // Omocodia: letters where digits belong and digits where letters belong change nothing.
    riga("omocodia una cifra", "RSSMRA85T10A56NH", "corretto", "corretto");
    riga("omocodia tutte le cifre", "RSSMRAURTMLARSNL", "corretto", "corretto");
    riga("solo cifre", "123456789012345A", "corretto", "corretto");
    riga("solo zeri", "000000000000000I", "corretto", "corretto");
    riga("solo Z", "ZZZZZZZZZZZZZZZV", "corretto", "corretto");
    riga("controllo di un altro codice", "RSSMRA85T10A562Y", "errato", "errato");
    // The check itself expects capitals; the windows upper-case first.
    riga("minuscole", "rssmra85t10a562s", "errato", "corretto");
    riga("solo il controllo minuscolo", "RSSMRA85T10A562s", "errato", "corretto");
    riga("minuscole errate", "rssmra85t10a562y", "errato", "errato");
    riga("vuoto", "", "abbandono", "abbandono");
    riga("15 caratteri", "RSSMRA85T10A562", "abbandono", "abbandono");
    riga("17 caratteri", "RSSMRA85T10A562SS", "abbandono", "abbandono");
}

void TestControllaCodFisc::codici()
{
    QFETCH(QString, codice);
    QFETCH(QString, atteso);
    QFETCH(QString, attesoInMaiuscole);
    QCOMPARE(esito(ControllaCodFisc(codice)), atteso);
    QCOMPARE(esito(ControllaCodFisc(MaiuscoleCodFisc(codice))), attesoInMaiuscole);
}

void TestControllaCodFisc::letteraSbagliata_data()
{
    QTest::addColumn<QString>("codice");
    const QStringList corretti = {"RSSMRA85T10A562S", "BNCGNN70A41F205Y", "123456789012345A", "ZZZZZZZZZZZZZZZV"};
    for (const QString& corretto : corretti) {
        for (char16_t c = u'0'; c <= u'Z'; ++c) {
            if (c != corretto.back()) {
                const QString codice = corretto.first(15) + QChar(c);
                QTest::newRow(qPrintable(codice)) << codice;
            }
        }
    }
}

void TestControllaCodFisc::letteraSbagliata()
{
    QFETCH(QString, codice);
    QCOMPARE(esito(ControllaCodFisc(codice)), QStringLiteral("errato"));
}

void TestControllaCodFisc::caratteriSenzaValore()
{
    // Each of ":" .. "@" in each of the 15 places of a real code must add 0 to the sum.
    const QString corpo = QStringLiteral("RSSMRA85T10A562");
    for (char16_t c = u':'; c <= u'@'; ++c) {
        for (int posizione = 0; posizione < 15; ++posizione) {
            QString variante = corpo;
            variante[posizione] = QChar(c);
            const QChar lettera = letteraRiferimento(variante);
            const QChar altra = QChar(u'A' + (lettera.unicode() - u'A' + 1) % 26);
            QVERIFY2(ControllaCodFisc(QString(variante + lettera)) == true, qPrintable(variante + lettera));
            QVERIFY2(ControllaCodFisc(QString(variante + altra)) == false, qPrintable(variante + altra));
        }
        QString nullo = corpoNullo;
        nullo[0] = QChar(c);
        QCOMPARE(esito(ControllaCodFisc(QString(nullo + u'A'))), QStringLiteral("corretto"));
    }
}

void TestControllaCodFisc::caratteriFuoriTabella_data()
{
    QTest::addColumn<QString>("codice");
    // Each stranger replaces a character worth 0, so a lookup that counted it as 0 (or cut it down
    // to one byte: "Ł" to "?", "ĺ" to ":") would wrongly report the code correct.
    const QString estranei = QStringLiteral(" -/[_az\u00C8\u00E8\u0141\u013A\uFF21");
    for (const QChar estraneo : estranei) {
        for (int posizione : {0, 1, 14}) {
            QString codice = corpoNullo + u'A';
            codice[posizione] = estraneo;
            QTest::addRow("U+%04X al posto %d", estraneo.unicode(), posizione + 1) << codice;
        }
    }
}

void TestControllaCodFisc::caratteriFuoriTabella()
{
    QFETCH(QString, codice);
    QCOMPARE(esito(ControllaCodFisc(codice)), QStringLiteral("errato"));
}

void TestControllaCodFisc::corpiCasuali()
{
    const QString alfabeto = QStringLiteral("0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QRandomGenerator caso(20240501);
    for (int n = 0; n < 2000; ++n) {
        QString corpo;
        for (int i = 0; i < 15; ++i) {
            corpo += alfabeto[caso.bounded(int(alfabeto.size()))];
        }
        const QChar lettera = letteraRiferimento(corpo);
        QVERIFY2(ControllaCodFisc(QString(corpo + lettera)) == true, qPrintable(corpo + lettera));
        QVERIFY2(ControllaCodFisc(QString(corpo + QChar(u'A' + (lettera.unicode() - u'A' + 13) % 26))) == false,
                 qPrintable(corpo));
    }
}

void TestControllaCodFisc::maiuscole_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");
    const auto riga = [](const char* titolo, const QString& testo, const QString& atteso) {
        QTest::newRow(titolo) << testo << atteso;
    };
    riga("codice minuscolo", "rssmra85t10a562s", "RSSMRA85T10A562S");
    riga("misto", "RsSmRa85t10A562s", "RSSMRA85T10A562S");
    riga("vuoto", "", "");
    riga("confini di a-z", "`az{", "`AZ{");
    riga("cifre e segni", "09 -:@", "09 -:@");
    // toUpper would turn these into capitals, and "ß" into "SS", changing the length.
    riga("accentate", "\u00E0\u00E8\u00EC\u00F2\u00F9\u00E9", "\u00E0\u00E8\u00EC\u00F2\u00F9\u00E9");
    riga("sharp s e y dieresi", "a\u00DF\u00FFb", "A\u00DF\u00FFB");
}

void TestControllaCodFisc::maiuscole()
{
    QFETCH(QString, testo);
    QFETCH(QString, atteso);
    QCOMPARE(MaiuscoleCodFisc(testo), atteso);
}

QTEST_APPLESS_MAIN(TestControllaCodFisc)
#include "TestControllaCodFisc.moc"
