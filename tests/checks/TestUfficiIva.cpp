#include "checks/ControllaPartitaIva.h"
#include "checks/MessaggiControlli.h"
#include "checks/UfficiIva.h"

#include <QSet>
#include <QStringList>
#include <QTest>

class TestUfficiIva : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabella();
    void ogniUfficio_data();
    void ogniUfficio();
    void ufficio_data();
    void ufficio();
    void messaggioCorretta_data();
    void messaggioCorretta();
};

void TestUfficiIva::tabella()
{
    QCOMPARE(UfficiIva.size(), std::size_t(104));
    QSet<QString> codici;
    for (const VoceUfficioIva& voce : UfficiIva) {
        QVERIFY2(!codici.contains(voce.codice.toString()), qPrintable(voce.codice.toString()));
        codici.insert(voce.codice.toString());
        QVERIFY2(!voce.nome.isEmpty(), qPrintable(voce.codice.toString()));
    }
    // 001 to 102 with none missing; 120 and 121 are the only others.
    for (int n = 1; n <= 102; ++n) {
        QVERIFY2(codici.contains(QStringLiteral("%1").arg(n, 3, 10, QChar(u'0'))), qPrintable(QString::number(n)));
    }
    QVERIFY(codici.contains(QStringLiteral("120")));
    QVERIFY(codici.contains(QStringLiteral("121")));
}

// Every code against its name, typed here from the published table (not copied from the code), four offices
// a line as that table lists them: a misspelt name shows as a failing row.
void TestUfficiIva::ogniUfficio_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QString>("nome");
    // clang-format off
    const QStringList nomi = {
        "Torino", "Vercelli", "Novara", "Cuneo",
        "Asti", "Alessandria", "Aosta", "Imperia",
        "Savona", "Genova 1", "La Spezia", "Varese",
        "Como", "Sondrio", "Milano 1", "Bergamo",
        "Brescia 1", "Pavia", "Cremona", "Mantova",
        "Bolzano", "Trento", "Verona", "Vicenza",
        "Belluno", "Treviso", "Venezia", "Padova",
        "Rovigo", "Udine", "Gorizia", "Trieste",
        "Piacenza", "Parma", "Reggio Emilia", "Modena",
        "Bologna 1", "Ferrara", "Ravenna", QStringLiteral("Forl\u00EC"),
        "Pesaro", "Ancona", "Macerata", "Ascoli Piceno",
        "Massa Carrara", "Lucca", "Pistoia", "Firenze 1",
        "Livorno", "Pisa", "Arezzo", "Siena",
        "Grosseto", "Perugia", "Terni", "Viterbo",
        "Rieti", "Roma 1", "Latina", "Frosinone",
        "Caserta", "Benevento", "Napoli 1", "Avellino",
        "Salerno", "Aquila", "Teramo", "Pescara",
        "Chieti", "Campobasso", "Foggia", "Bari",
        "Taranto", "Brindisi", "Lecce", "Potenza",
        "Matera", "Cosenza", "Catanzaro", "Reggio Calabria",
        "Trapani", "Palermo", "Messina", "Agrigento",
        "Caltanissetta", "Enna", "Catania", "Ragusa",
        "Siracusa", "Sassari", "Nuoro", "Cagliari",
        "Pordenone", "Isernia", "Oristano", "Monza (Milano 2)",
        "Prato (Firenze 2)", "Brescia 2", "Chiavari (Genova 2)", "Roma 2",
        "Bologna 2", "Napoli 2",
    };
    // clang-format on
    QCOMPARE(nomi.size(), 102);
    for (int n = 1; n <= nomi.size(); ++n) {
        const QString codice = QStringLiteral("%1").arg(n, 3, 10, QChar(u'0'));
        QTest::newRow(qPrintable(codice)) << codice << nomi[n - 1];
    }
    QTest::newRow("120") << "120"
                         << "Bologna 2";
    QTest::newRow("121") << "121"
                         << "Napoli 2";
}

void TestUfficiIva::ogniUfficio()
{
    QFETCH(QString, codice);
    QFETCH(QString, nome);
    QCOMPARE(UfficioIva(codice), nome);
}

void TestUfficiIva::ufficio_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QString>("nome");
    const auto riga = [](const char* titolo, const QString& codice, const QString& nome) {
        QTest::newRow(titolo) << codice << nome;
    };
    riga("primo", "001", "Torino");
    riga("Milano", "015", "Milano 1");
    riga("i con accento grave", "040", QStringLiteral("Forl\u00EC"));
    riga("con parentesi", "099", "Chiavari (Genova 2)");
    riga("ultimo della serie", "102", "Napoli 2");
    riga("101", "101", "Bologna 2");
    riga("120 come 101", "120", "Bologna 2");
    riga("121 come 102", "121", "Napoli 2");
    riga("000", "000", "");
    riga("103", "103", "");
    riga("119", "119", "");
    riga("122", "122", "");
    riga("999", "999", "");
    // The match is on the three characters exactly.
    riga("due cifre", "15", "");
    riga("quattro cifre", "0150", "");
    riga("spazio davanti", " 15", "");
    riga("vuoto", "", "");
}

void TestUfficiIva::ufficio()
{
    QFETCH(QString, codice);
    QFETCH(QString, nome);
    QCOMPARE(UfficioIva(codice), nome);
}

void TestUfficiIva::messaggioCorretta_data()
{
    QTest::addColumn<QString>("partitaIva");
    QTest::addColumn<QString>("messaggio");
    const QString inizio = QStringLiteral("Il numero di Partita IVA \u00E8 CORRETTO.\r\n\r\n"
                                          "E' stato rilasciato dall'Ufficio IVA del Comune di ");
    QTest::newRow("Milano 1") << "01234560157" << QString(inizio + "Milano 1.");
    QTest::newRow("Bologna 2 da 101") << "12345671015" << QString(inizio + "Bologna 2.");
    QTest::newRow("Bologna 2 da 120") << "99999991203" << QString(inizio + "Bologna 2.");
    QTest::newRow("Forli") << "87654320404" << QString(inizio + QStringLiteral("Forl\u00EC."));
    // Offices without an entry: the name is empty and the full stop follows "di " directly.
    QTest::newRow("undici zeri") << "00000000000" << QString(inizio + ".");
    QTest::newRow("103") << "55555551039" << QString(inizio + ".");
    QTest::newRow("999") << "00000009993" << QString(inizio + ".");
}

void TestUfficiIva::messaggioCorretta()
{
    QFETCH(QString, partitaIva);
    QFETCH(QString, messaggio);
    QVERIFY(ControllaPartitaIva(partitaIva));
    QCOMPARE(messaggioPartitaIvaCorretta(UfficioIva(codiceUfficioIva(partitaIva))), messaggio);
}

QTEST_APPLESS_MAIN(TestUfficiIva)
#include "TestUfficiIva.moc"
