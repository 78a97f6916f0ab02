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

TestiScheda persona(const QString& cognome, const QString& nome, const QString& azienda = {})
{
    TestiScheda t;
    t[Cognome] = cognome;
    t[Nome] = nome;
    t[Azienda] = azienda;
    t[Citta] = u"Roma"_qs;
    t[Tel] = u"06 1"_qs;
    return t;
}

OperazioneGiornale sostituita(const char* prima, const char* dopo)
{
    return {OperazioneGiornale::Tipo::Sostituita, prima, dopo};
}
OperazioneGiornale rimossa(const char* prima)
{
    return {OperazioneGiornale::Tipo::Rimossa, prima, {}};
}
OperazioneGiornale aggiunta(const char* dopo)
{
    return {OperazioneGiornale::Tipo::Aggiunta, {}, dopo};
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
        out << SchedaLocale{out.size(), {}, t, {}};
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

    // This program's own edits, from the journal, against what only likeness would say. The state knows Rossi Mario
    // (card "r") and Verdi Anna ("v"); each row: the archive now as (identity, card), the journal since, and the
    // entry each card is found to be, with the entries found changed and those that were a guess.
    void giornale_data()
    {
        QTest::addColumn<QList<SchedaLocale>>("archivio");
        QTest::addColumn<QList<OperazioneGiornale>>("giornale");
        QTest::addColumn<QList<int>>("voci");
        QTest::addColumn<QList<bool>>("cambiate");
        QTest::addColumn<int>("indovinate");
        const TestiScheda rossi = persona(u"Rossi"_qs, u"Mario"_qs), verdi = persona(u"Verdi"_qs, u"Anna"_qs);
        const TestiScheda bianchi = persona(u"Bianchi"_qs, u"Luca"_qs), marco = persona(u"Rossi"_qs, u"Marco"_qs);
        const auto archivio = [](std::initializer_list<std::pair<const char*, TestiScheda>> schede) {
            QList<SchedaLocale> out;
            for (const auto& [identita, testi] : schede)
                out << SchedaLocale{out.size(), {}, testi, identita};
            return out;
        };
        QTest::newRow("unchanged") << archivio({{"r", rossi}, {"v", verdi}}) << QList<OperazioneGiornale>{}
                                   << QList{0, 1} << QList{false, false} << 0;
        QTest::newRow("renamed here: the same contact")
            << archivio({{"b", bianchi}, {"v", verdi}}) << QList{sostituita("r", "b")} << QList{0, 1}
            << QList{true, false} << 0;
        QTest::newRow("renamed by another program: a new contact")
            << archivio({{"b", bianchi}, {"v", verdi}}) << QList<OperazioneGiornale>{} << QList{-1, 1}
            << QList{false, false} << 1;
        QTest::newRow("deleted and a look-alike added here")
            << archivio({{"v", verdi}, {"m", marco}}) << QList{rimossa("r"), aggiunta("m")} << QList{1, -1}
            << QList{false, false} << 0;
        QTest::newRow("first name edited by another program: likeness")
            << archivio({{"m", marco}, {"v", verdi}}) << QList<OperazioneGiornale>{} << QList{0, 1}
            << QList{true, false} << 1;
        QTest::newRow("edited twice, then moved by a deletion")
            << archivio({{"v2", verdi}}) << QList{sostituita("v", "v1"), rimossa("r"), sostituita("v1", "v2")}
            << QList{1} << QList{false, false} << 0;
        QTest::newRow("a card added and edited here stays new")
            << archivio({{"m2", marco}, {"v", verdi}}) << QList{rimossa("r"), aggiunta("m1"), sostituita("m1", "m2")}
            << QList{-1, 1} << QList{false, false} << 0;
    }
    void giornale()
    {
        QFETCH(QList<SchedaLocale>, archivio);
        QFETCH(QList<OperazioneGiornale>, giornale);
        QFETCH(QList<int>, voci);
        QFETCH(QList<bool>, cambiate);
        QFETCH(int, indovinate);
        QList<VoceSync> stato = ::voci({persona(u"Rossi"_qs, u"Mario"_qs), persona(u"Verdi"_qs, u"Anna"_qs)});
        stato[0].locale = "r";
        stato[1].locale = "v";
        const Abbinamento a = abbina(stato, archivio, giornale);
        QCOMPARE(a.voceDellaLocale, voci);
        QCOMPARE(a.cambiata, cambiate);
        QCOMPARE(a.indovinate(), indovinate);
    }

    void stessaPersona_data()
    {
        QTest::addColumn<TestiScheda>("prima");
        QTest::addColumn<TestiScheda>("dopo");
        QTest::addColumn<bool>("possibile");
        const auto riga = [](const char* nome, const TestiScheda& a, const TestiScheda& b, bool si) {
            QTest::newRow(nome) << a << b << si;
        };
        riga("first name changed", persona(u"Rossi"_qs, u"Mario"_qs), persona(u"Rossi"_qs, u"Marco"_qs), true);
        riga("surname changed", persona(u"Rossi"_qs, u"Mario"_qs), persona(u"Rossini"_qs, u"Mario"_qs), true);
        riga("letter case only", persona(u"ROSSI"_qs, u"mario"_qs), persona(u"Bianchi"_qs, u"Mario"_qs), true);
        riga("both changed", persona(u"Rossi"_qs, u"Mario"_qs), persona(u"Bianchi"_qs, u"Luca"_qs), false);
        riga("surname only, changed", persona(u"Rossi"_qs, {}), persona(u"Bianchi"_qs, {}), true);
        riga("company, changed", persona({}, {}, u"ACME"_qs), persona({}, {}, u"Beta"_qs), false);
        riga("company kept, name added", persona({}, {}, u"ACME"_qs), persona(u"Rossi"_qs, {}, u"ACME"_qs), true);
        riga("name taken away", persona(u"Rossi"_qs, {}, {}), persona({}, {}, u"ACME"_qs), false);
        riga("no name at all", persona({}, {}), persona({}, {}), true);
    }
    void stessaPersona()
    {
        QFETCH(TestiScheda, prima);
        QFETCH(TestiScheda, dopo);
        QFETCH(bool, possibile);
        QCOMPARE(stessaPersonaPossibile(prima, dopo), possibile);
        QCOMPARE(stessaPersonaPossibile(dopo, prima), possibile);
    }
};

QTEST_APPLESS_MAIN(TestPianoSync)
#include "TestPianoSync.moc"
