#include "sync/PianoSync.h"

#include <QTest>

namespace {

TestiScheda carta(const QString& cognome, const QString& tel = QStringLiteral("06 1"), const QString& nota = {})
{
    TestiScheda t;
    t[Cognome] = cognome;
    t[Tel] = tel;
    t[Note] = nota;
    return t;
}

QList<VoceSync> voci(const QList<TestiScheda>& campi)
{
    QList<VoceSync> out;
    for (const TestiScheda& c : campi)
        out << VoceSync{c[Cognome], QStringLiteral("/r/%1.vcf").arg(c[Cognome]), "e", c};
    return out;
}

QList<SchedaLocale> locali(const QList<TestiScheda>& testi)
{
    QList<SchedaLocale> out;
    for (const TestiScheda& t : testi)
        out << SchedaLocale{out.size(), {}, t};
    return out;
}

} // namespace

// The decision per contact, and how the cards of the archive are found again among the state's entries.
class TestPianoSync : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decisione_data()
    {
        QTest::addColumn<int>("qui");
        QTest::addColumn<int>("server");
        QTest::addColumn<bool>("uguali");
        QTest::addColumn<int>("decisione");
        using L = Lato;
        using D = Decisione;
        const auto riga = [](const char* nome, L q, L s, bool u, D d) {
            QTest::newRow(nome) << int(q) << int(s) << u << int(d);
        };
        riga("unchanged both", L::Invariata, L::Invariata, false, D::Niente);
        riga("changed on the server", L::Invariata, L::Cambiata, false, D::Scarica);
        riga("deleted on the server", L::Invariata, L::Eliminata, false, D::EliminaQui);
        riga("changed here", L::Cambiata, L::Invariata, false, D::Carica);
        riga("changed both, differently", L::Cambiata, L::Cambiata, false, D::Conflitto);
        riga("changed both, alike", L::Cambiata, L::Cambiata, true, D::Aggiorna);
        riga("changed here, deleted there", L::Cambiata, L::Eliminata, false, D::CaricaNuova);
        riga("deleted here", L::Eliminata, L::Invariata, false, D::EliminaServer);
        riga("deleted here, changed there", L::Eliminata, L::Cambiata, false, D::ScaricaNuova);
        riga("deleted both", L::Eliminata, L::Eliminata, false, D::Dimentica);
    }
    void decisione()
    {
        QFETCH(int, qui);
        QFETCH(int, server);
        QFETCH(bool, uguali);
        QFETCH(int, decisione);
        QCOMPARE(int(decidi(Lato(qui), Lato(server), uguali)), decisione);
    }

    // Entries: Rossi, Bianchi, Verdi. Each row: the archive now, and the entry each card is found to be (-1:
    // new), with the entries found changed.
    void abbinamento_data()
    {
        QTest::addColumn<QList<TestiScheda>>("archivio");
        QTest::addColumn<QList<int>>("voci");
        QTest::addColumn<QList<bool>>("cambiate");
        const TestiScheda r = carta(u"Rossi"_qs), b = carta(u"Bianchi"_qs), v = carta(u"Verdi"_qs);
        QTest::newRow("unchanged") << QList{r, b, v} << QList{0, 1, 2} << QList{false, false, false};
        QTest::newRow("moved by a deletion") << QList{r, v} << QList{0, 2} << QList{false, false, false};
        QTest::newRow("web preset only") << QList{[&] {
            TestiScheda t = r;
            t[Web] = u"http://"_qs;
            return t;
        }()} << QList{0} << QList{false, false, false};
        QTest::newRow("note edited") << QList{r, carta(u"Bianchi"_qs, u"06 1"_qs, u"nuova"_qs), v} << QList{0, 1, 2}
                                     << QList{false, true, false};
        QTest::newRow("surname edited, rest the same")
            << QList{carta(u"Rossini"_qs), b, v} << QList{0, 1, 2} << QList{true, false, false};
        QTest::newRow("unlike anything") << QList{carta(u"Neri"_qs, u"02 9"_qs, u"x"_qs), b} << QList{-1, 1}
                                         << QList{false, false, false};
        QTest::newRow("a duplicate is new") << QList{r, r, b, v} << QList{0, -1, 1, 2} << QList{false, false, false};
    }
    void abbinamento()
    {
        QFETCH(QList<TestiScheda>, archivio);
        QFETCH(QList<int>, voci);
        QFETCH(QList<bool>, cambiate);
        const Abbinamento a =
            abbina(::voci({carta(u"Rossi"_qs), carta(u"Bianchi"_qs), carta(u"Verdi"_qs)}), locali(archivio));
        QCOMPARE(a.voceDellaLocale, voci);
        QCOMPARE(a.cambiata, cambiate);
        for (int l = 0; l < voci.size(); ++l) {
            if (voci[l] >= 0)
                QCOMPARE(a.localeDellaVoce[voci[l]], l);
        }
    }
};

QTEST_APPLESS_MAIN(TestPianoSync)
#include "TestPianoSync.moc"
