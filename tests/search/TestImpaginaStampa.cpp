#include "archive/TestiScheda.h"
#include "search/ImpaginaStampa.h"
#include "search/ListaContatti.h"

#include <QTest>

namespace {

ListaContatti lista(int righe)
{
    QList<TSchedaContatto> schede;
    for (int n = 0; n < righe; ++n) {
        TestiScheda testi;
        testi[Cognome] = QStringLiteral("Cognome %1").arg(n, 4, 10, QLatin1Char('0'));
        TSchedaContatto s{};
        schedaDaTesti(s, testi);
        schede << s;
    }
    return ListaContatti::daSchede(schede);
}

const QString kTrattini(24, u'-');
const QString kChiusura(20, u'_');
const QString kData = QStringLiteral("Stampa eseguita in data 08/12/26 alle ore 10:30:00");

} // namespace

// Where each text of the printed list goes, in printer pixels.
class TestImpaginaStampa : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void altezze_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QList<int>>("h14h12h8");
        QTest::newRow("600 dpi") << 600 << QList<int>{117, 100, 67};
        QTest::newRow("300 dpi") << 300 << QList<int>{58, 50, 33};
        QTest::newRow("1200 dpi") << 1200 << QList<int>{233, 200, 133};
    }

    void altezze()
    {
        QFETCH(int, dpi);
        QFETCH(QList<int>, h14h12h8);
        QCOMPARE((QList<int>{altezzaCarattere(14, dpi), altezzaCarattere(12, dpi), altezzaCarattere(8, dpi)}),
                 h14h12h8);
    }

    void unaRiga()
    {
        const ListaContatti l = lista(1);
        const QList<VoceStampa> voci = impaginaElenco(l, 600, 4760, kData);
        const QList<VoceStampa> attese = {
            {0, 14, 150, 234, kTrattini},           {0, 12, 150, 334, QStringLiteral("Rubrica contatti")},
            {0, 14, 150, 434, kTrattini},           {0, 8, 150, 635, l.riga(0)},
            {0, 8, 150, 635 + 134 + 50, kChiusura}, {0, 8, 150, 635 + 134 + 150, kData},
        };
        QCOMPARE(voci, attese);
    }

    // At 600 dpi on a printable height of 4760 a line may start above 4760 - 201 = 4559: 30 lines on the
    // first page (635 .. 4521), 34 on each further page (134 .. 4556).
    void pagine_data()
    {
        QTest::addColumn<int>("righe");
        QTest::addColumn<QList<int>>("righePerPagina");
        QTest::addColumn<int>("paginaData");
        QTest::addColumn<int>("yChiusura");

        QTest::newRow("one page") << 29 << QList<int>{29} << 0 << 635 + 29 * 134 + 50;
        // The last line at 4521: the date line would end at 4521 + 134 + 150 + 67 > 4760, so the closing
        // rule and the date line open a page of their own instead of falling off the paper.
        QTest::newRow("date line on its own page") << 30 << QList<int>{30} << 1 << 134 + 50;
        QTest::newRow("second page") << 31 << QList<int>{30, 1} << 1 << 134 + 134 + 50;
        QTest::newRow("long list") << 100 << QList<int>{30, 34, 34, 2} << 3 << 134 + 2 * 134 + 50;
    }

    void pagine()
    {
        QFETCH(int, righe);
        QFETCH(QList<int>, righePerPagina);
        QFETCH(int, paginaData);
        QFETCH(int, yChiusura);
        const ListaContatti l = lista(righe);
        const QList<VoceStampa> voci = impaginaElenco(l, 600, 4760, kData);
        QCOMPARE(voci.size(), righe + 5);

        QList<int> contate;
        int attesa = 0; // the list line expected next
        for (int k = 3; k < 3 + righe; ++k) {
            const VoceStampa& v = voci[k];
            QCOMPARE(v.testo, l.riga(attesa));
            QCOMPARE(v.punti, 8);
            QCOMPARE(v.x, 150);
            if (v.pagina == contate.size()) {
                contate << 0;
                // Every page after the first starts at 2 x H(8), without title or rules.
                QCOMPARE(v.y, v.pagina == 0 ? 635 : 134);
            } else {
                QCOMPARE(v.pagina, contate.size() - 1);
                QCOMPARE(v.y, voci[k - 1].y + 134);
            }
            ++contate.last();
            ++attesa;
        }
        QCOMPARE(contate, righePerPagina);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(voci[k].pagina, 0);
        const VoceStampa& chiusura = voci[righe + 3];
        const VoceStampa& data = voci[righe + 4];
        QCOMPARE(chiusura.testo, kChiusura);
        QCOMPARE(chiusura.pagina, paginaData);
        QCOMPARE(chiusura.y, yChiusura);
        QCOMPARE(data.testo, kData);
        QCOMPARE(data.pagina, paginaData);
        QCOMPARE(data.y, yChiusura + 100);
        QVERIFY(data.y + 67 <= 4760);
    }

    void rigaData_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("attesa");
        QTest::newRow("it_IT") << u"it_IT"_qs << u"Stampa eseguita in data 08/12/26 alle ore 09:05:07"_qs;
        QTest::newRow("en_US") << u"en_US"_qs << u"Stampa eseguita in data 12/8/26 alle ore 9:05:07 AM"_qs;
        QTest::newRow("de_DE") << u"de_DE"_qs << u"Stampa eseguita in data 08.12.26 alle ore 09:05:07"_qs;
    }

    void rigaData()
    {
        QFETCH(QString, locale);
        QFETCH(QString, attesa);
        const QDateTime quando(QDate(2026, 12, 8), QTime(9, 5, 7));
        QCOMPARE(rigaDataStampa(QLocale(locale), quando), attesa);
    }
};

QTEST_APPLESS_MAIN(TestImpaginaStampa)
#include "TestImpaginaStampa.moc"
