#include "archive/TestiScheda.h"
#include "search/ListaContatti.h"
#include "search/RicercaLista.h"

#include "support/SchedeDiProva.h"

#include <QTest>

namespace {

TSchedaContatto scheda(const QString& cognome, const QString& nome = {}, const QString& azienda = {},
                       const QString& citta = {})
{
    TestiScheda testi;
    testi[Cognome] = cognome;
    testi[Nome] = nome;
    testi[Azienda] = azienda;
    testi[Citta] = citta;
    TSchedaContatto s{};
    schedaDaTesti(s, testi);
    return s;
}

// The list every walk runs on, in the order the list shows it:
//   0 a card without surname, 1 bianchi Anna, 2 Rossi Mario, 3 ROSSI Paola, 4 Zamboni (25 characters).
ListaContatti listaDiProva()
{
    const TestiScheda rossi = SchedeDiProva::testiRossi();
    TSchedaContatto mario{};
    schedaDaTesti(mario, rossi);
    return ListaContatti::daSchede({
        scheda(QStringLiteral("Zamboni Marchetti Verdizz"), QStringLiteral("Ugo")),
        scheda(QStringLiteral("ROSSI"), QStringLiteral("Paola"), QStringLiteral("Caffè Nero")),
        mario,
        scheda({}, {}, QStringLiteral("Gamma Spa?")),
        scheda(QStringLiteral("bianchi"), QStringLiteral("Anna"), {}, QStringLiteral("ÈBOLI")),
    });
}

} // namespace

// The sorted search list and the walk of "Trova" over it.
class TestRicercaLista : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ordine_data()
    {
        QTest::addColumn<QStringList>("cognomiNelFile");
        QTest::addColumn<QStringList>("cognomiInLista");

        QTest::newRow("blank surnames first")
            << QStringList{u"Rossi"_qs, {}, u"Bianchi"_qs, u"  "_qs} << QStringList{{}, {}, u"Bianchi"_qs, u"Rossi"_qs};
        // Case sensitive, "Rossi" would come before "bianchi" and "VERDI" before "neri".
        QTest::newRow("letter case ignored") << QStringList{u"Rossi"_qs, u"bianchi"_qs, u"VERDI"_qs, u"neri"_qs}
                                             << QStringList{u"bianchi"_qs, u"neri"_qs, u"Rossi"_qs, u"VERDI"_qs};
        // Equal but for letter case: the order of the file.
        QTest::newRow("equal lines keep file order")
            << QStringList{u"ROSSI"_qs, u"rossi"_qs, u"Rossi"_qs} << QStringList{u"ROSSI"_qs, u"rossi"_qs, u"Rossi"_qs};
        // The surname column is padded: "Ros" sorts before "Rossi", a longer name after a shorter prefix.
        QTest::newRow("column by column")
            << QStringList{u"Rossini"_qs, u"Rossi"_qs, u"Ros"_qs} << QStringList{u"Ros"_qs, u"Rossi"_qs, u"Rossini"_qs};
    }

    void ordine()
    {
        QFETCH(QStringList, cognomiNelFile);
        QFETCH(QStringList, cognomiInLista);
        QList<TSchedaContatto> schede;
        for (const QString& c : cognomiNelFile)
            schede << scheda(c, u"Nome"_qs);
        const ListaContatti lista = ListaContatti::daSchede(schede);
        QCOMPARE(lista.count(), cognomiInLista.size());
        QStringList cognomi;
        for (int i = 0; i < lista.count(); ++i)
            cognomi << lista.riga(i).first(20).trimmed();
        QCOMPARE(cognomi, cognomiInLista);
    }

    void chiave_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("chiave");
        QTest::newRow("capitals") << u"ROSSI Mario"_qs << u"rossi mario"_qs;
        QTest::newRow("accented capital stays") << u"ÈBOLI"_qs << u"Èboli"_qs;
        QTest::newRow("blanks kept") << u"  Rossi "_qs << u"  rossi "_qs;
        QTest::newRow("punctuation") << u"P.IVA:"_qs << u"p.iva:"_qs;
    }

    void chiave()
    {
        QFETCH(QString, testo);
        QFETCH(QString, chiave);
        QCOMPARE(chiaveRicerca(testo), chiave);
    }

    // Each step: a key typed and "Trova" clicked, or "#n" for the user picking line n by hand. After each
    // search, the line selected and whether it was found.
    void passi_data()
    {
        QTest::addColumn<QStringList>("passi");
        QTest::addColumn<QList<int>>("selezionate");
        QTest::addColumn<QList<bool>>("trovate");

        QTest::newRow("repeated key walks and wraps") << QStringList{u"rossi"_qs, u"rossi"_qs, u"rossi"_qs}
                                                      << QList<int>{2, 3, 2} << QList<bool>{true, true, true};
        QTest::newRow("changed key starts at the top") << QStringList{u"rossi"_qs, u"rossi"_qs, u"ross"_qs}
                                                       << QList<int>{2, 3, 2} << QList<bool>{true, true, true};
        QTest::newRow("after a hand-picked line")
            << QStringList{u"a"_qs, u"#3"_qs, u"a"_qs} << QList<int>{0, 4} << QList<bool>{true, true};
        QTest::newRow("only match stays")
            << QStringList{u"paola"_qs, u"paola"_qs} << QList<int>{3, 3} << QList<bool>{true, true};
        // 15 blanks fill the surname column and 2 part it from the first name.
        QTest::newRow("one blank between columns")
            << QStringList{u"rossi mario"_qs} << QList<int>{0} << QList<bool>{false};
        QTest::newRow("seventeen blanks")
            << QStringList{u"rossi"_qs + QString(17, u' ') + u"mario"_qs} << QList<int>{2} << QList<bool>{true};
        QTest::newRow("two blanks before the surname")
            << QStringList{u"  rossi"_qs} << QList<int>{0} << QList<bool>{false};
        QTest::newRow("label matches every line")
            << QStringList{u"p.iva"_qs, u"p.iva"_qs, u"p.iva"_qs, u"p.iva"_qs, u"p.iva"_qs, u"p.iva"_qs}
            << QList<int>{0, 1, 2, 3, 4, 0} << QList<bool>{true, true, true, true, true, true};
        QTest::newRow("accented capital does not match lower case")
            << QStringList{u"CAFFÈ"_qs, u"caffè"_qs} << QList<int>{0, 3} << QList<bool>{false, true};
        QTest::newRow("accented capital matches itself")
            << QStringList{u"ÈBOLI"_qs} << QList<int>{1} << QList<bool>{true};
        QTest::newRow("surname cut to its column")
            << QStringList{u"rdizz"_qs, u"marchetti ve"_qs} << QList<int>{0, 4} << QList<bool>{false, true};
        QTest::newRow("empty key") << QStringList{u"#3"_qs, QString(), QString()} << QList<int>{3, 3}
                                   << QList<bool>{false, false};
        QTest::newRow("nothing found keeps the selection")
            << QStringList{u"paola"_qs, u"xyz"_qs} << QList<int>{3, 3} << QList<bool>{true, false};
        // A match may not run from the end of one line into the next.
        QTest::newRow("not across lines")
            << QStringList{QString(20, u' ') + u"bianchi"_qs} << QList<int>{0} << QList<bool>{false};
        // The code page writes "?" for what it cannot hold; the key must not match that "?".
        QTest::newRow("character outside the code page")
            << QStringList{u"#2"_qs, u"spa\u2211"_qs} << QList<int>{2} << QList<bool>{false};
        QTest::newRow("across columns") << QStringList{u"01234567890  roma"_qs} << QList<int>{2} << QList<bool>{true};
    }

    void passi()
    {
        QFETCH(QStringList, passi);
        QFETCH(QList<int>, selezionate);
        QFETCH(QList<bool>, trovate);
        const ListaContatti lista = listaDiProva();
        // The list is shown with its first line selected and no search made yet.
        int selezionata = 0;
        QString ultima;
        QList<int> viste;
        QList<bool> esiti;
        for (const QString& passo : passi) {
            if (passo.startsWith(u'#')) {
                selezionata = passo.mid(1).toInt();
                continue;
            }
            const QString chiave = chiaveRicerca(passo);
            const EsitoRicerca esito = passoRicerca(lista, chiave, ultima, selezionata);
            selezionata = esito.riga;
            ultima = chiave;
            viste << esito.riga;
            esiti << esito.trovata;
        }
        QCOMPARE(viste, selezionate);
        QCOMPARE(esiti, trovate);
    }

    // With nothing selected the walk starts from the first line.
    void senzaSelezione()
    {
        const ListaContatti lista = listaDiProva();
        QCOMPARE(passoRicerca(lista, u"xyz", {}, -1).riga, 0);
        QCOMPARE(passoRicerca(lista, u"anna", u"anna", -1).riga, 1);
        QCOMPARE(passoRicerca(ListaContatti(), u"anna", {}, -1).riga, -1);
    }
};

QTEST_APPLESS_MAIN(TestRicercaLista)
#include "TestRicercaLista.moc"
