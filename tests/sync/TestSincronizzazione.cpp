#include "archive/ArchiveFile.h"
#include "archive/BloccoSincronizzazione.h"
#include "cards/ArchivioSchede.h"
#include "support/SchedeDiProva.h"
#include "support/ServerCardDav.h"
#include "support/ServerOstile.h"
#include "sync/Sincronizzazione.h"
#include "sync/VCardSync.h"

#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace SchedeDiProva;

namespace {

using Tipo = ServerCardDav::Tipo;

TestiScheda persona(const QString& cognome, const QString& nota = {})
{
    TestiScheda t;
    t[Cognome] = cognome;
    t[Tel] = QStringLiteral("06 1234");
    t[Note] = nota;
    return t;
}

// Surname -> note of every card, a second card of the same surname marked as such.
std::map<QString, QString> note(const QList<TestiScheda>& schede)
{
    std::map<QString, QString> out;
    for (const TestiScheda& t : schede)
        out[t[Cognome] + (out.count(t[Cognome]) ? QStringLiteral(" (doppia)") : QString())] = t[Note];
    return out;
}

// A stick: a folder with its archive and its state of synchronisation.
struct Chiavetta
{
    QTemporaryDir dir;
    QString cartella() const { return dir.path(); }
    void scrivi(const QList<TestiScheda>& schede)
    {
        QVERIFY(SchedeDiProva::scrivi(ArchiveFile::archivePath(cartella()), archivioDaTesti(schede)));
    }
    std::map<QString, QString> schede() const
    {
        QList<TestiScheda> testi;
        const QByteArray byte = leggi(ArchiveFile::archivePath(cartella()));
        for (int i = 0; i < byte.size() / kRecord; ++i)
            testi << testiDaScheda(record(byte, i));
        return note(testi);
    }
    // Edits the card with this surname as the card window does: loaded, changed, saved over its position.
    void modifica(const QString& cognome, const QString& nota)
    {
        const QByteArray byte = leggi(ArchiveFile::archivePath(cartella()));
        for (int i = 0; i < byte.size() / kRecord; ++i) {
            TestiScheda t = testiDaScheda(record(byte, i));
            if (t[Cognome] != cognome)
                continue;
            t[Note] = nota;
            QCOMPARE(salva(cartella(), t, QString::number(i + 1), record(byte, i)).tipo, EsitoScrittura::Modificata);
            return;
        }
        QFAIL("no such card");
    }
    void elimina(const QString& cognome)
    {
        const QByteArray byte = leggi(ArchiveFile::archivePath(cartella()));
        for (int i = 0; i < byte.size() / kRecord; ++i) {
            if (testiDaScheda(record(byte, i))[Cognome] == cognome) {
                QCOMPARE(::elimina(cartella(), QString::number(i + 1), record(byte, i)).tipo,
                         EsitoScrittura::Eliminata);
                return;
            }
        }
        QFAIL("no such card");
    }
};

} // namespace

// Synchronisation against the real servers of the machine, radicale, xandikos and sabre/dav (once with Basic,
// once with Digest only), each started once on a free port of this computer: every scenario runs on each. Two sticks
// and plain HTTP requests of "another client" change the cards between rounds; after each round both sides hold the
// same cards, none lost, none doubled.
class TestSincronizzazione : public QObject
{
    Q_OBJECT

    std::map<Tipo, std::unique_ptr<ServerCardDav>> m_server;
    ServerOstile m_ostile;
    int m_rubriche = 0;
    ServerCardDav* m_s = nullptr;
    QUrl m_rubrica;
    Sincronizzazione::Domande m_domande;

    RiepilogoSync sincronizza(Chiavetta& c, const QString& password = {})
    {
        QString errore;
        std::optional<StatoSync> stato = StatoSync::leggi(c.cartella(), &errore);
        if (!stato) {
            stato = StatoSync{};
            stato->rubrica = m_rubrica;
            stato->utente = m_s->utente();
            stato->syncCollection = m_s->syncCollection();
        }
        ClientCardDav client(stato->utente, password.isEmpty() ? m_s->password() : password);
        client.setTimeout(3000);
        Sincronizzazione sync(c.cartella(), client, *stato);
        const RiepilogoSync r = sync.esegui(m_domande);
        if (!r.riuscita())
            qWarning("synchronisation stopped: %s", qPrintable(r.errore));
        return r;
    }
    // The server's contacts as another client sees them: surname -> note.
    std::map<QString, QString> sulServer()
    {
        QList<TestiScheda> testi;
        for (const QByteArray& vcard : m_s->contatti(m_rubrica))
            testi << testiDaVCard(vcard);
        return note(testi);
    }
    QByteArray vcardSulServer(const QString& cognome, QUrl* url = nullptr)
    {
        const QMap<QUrl, QByteArray> tutti = m_s->contatti(m_rubrica);
        for (auto it = tutti.cbegin(); it != tutti.cend(); ++it) {
            if (testiDaVCard(*it)[Cognome] == cognome) {
                if (url)
                    *url = it.key();
                return *it;
            }
        }
        return {};
    }
    // Another client's change to the contact with this surname.
    void cambiaSulServer(const QString& cognome, const QByteArray& riga)
    {
        QVERIFY(m_s->aggiungiRiga(m_rubrica, "N:" + cognome.toUtf8() + ';', riga));
    }

    // A synchronisation with the misbehaving server's address book, in these modes.
    RiepilogoSync sincronizzaOstile(Chiavetta& c, const QByteArray& modi)
    {
        [&] { QVERIFY(m_ostile.modo(modi)); }();
        std::optional<StatoSync> stato = StatoSync::leggi(c.cartella(), nullptr);
        if (!stato) {
            stato = StatoSync{};
            stato->rubrica = m_ostile.rubrica();
            stato->utente = QString::fromLatin1(ServerOstile::kUtente);
        }
        ClientCardDav client(stato->utente, QString::fromLatin1(ServerOstile::kPassword));
        client.setTimeout(3000);
        Sincronizzazione sync(c.cartella(), client, *stato);
        return sync.esegui(m_domande);
    }
    static QByteArray vcard(const char* cognome, const char* nota = "")
    {
        return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + cognome + "\r\nN:" + cognome +
               ";;;;\r\nFN:" + cognome + "\r\nNOTE:" + nota + "\r\nEND:VCARD\r\n";
    }

    // Every scenario on each server: the data tag names it.
    static void suEntrambiIServer_data()
    {
        QTest::addColumn<int>("niente");
        QTest::newRow("radicale") << 0;
        QTest::newRow("xandikos") << 0;
        QTest::newRow("sabre-digest") << 0;
        QTest::newRow("sabre-basic") << 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (Tipo tipo : {Tipo::Radicale, Tipo::Xandikos, Tipo::SabreDigest, Tipo::Sabre}) {
            if (ServerCardDav::programma(tipo).isEmpty())
                continue;
            auto server = std::make_unique<ServerCardDav>(tipo);
            QVERIFY2(server->avvia(), qPrintable(server->errore()));
            m_server[tipo] = std::move(server);
        }
        QVERIFY(m_ostile.avvia());
        if (m_server.empty())
            QSKIP("neither radicale nor xandikos is installed");
    }

    void init()
    {
        const QByteArrayView tag(QTest::currentDataTag());
        const Tipo tipo = tag.startsWith("xandikos")       ? Tipo::Xandikos
                          : tag.startsWith("sabre-digest") ? Tipo::SabreDigest
                          : tag.startsWith("sabre-basic")  ? Tipo::Sabre
                                                           : Tipo::Radicale;
        if (!m_server.count(tipo))
            QSKIP("server not installed");
        m_s = m_server[tipo].get();
        m_rubrica = m_s->nuovaRubrica(QStringLiteral("r%1").arg(++m_rubriche));
        QVERIFY(m_rubrica.isValid());
        m_domande = {};
    }

    // First synchronisation with one side full, then the other stick; edits and deletions on each side.
    void modificheDaOgniParte_data() { suEntrambiIServer_data(); }
    void modificheDaOgniParte()
    {
        Chiavetta a, b;
        a.scrivi({persona(u"Rossi"_qs), persona(u"Bianchi"_qs), persona(u"Verdi"_qs)});
        QCOMPARE(sincronizza(a).testo(), u"Inviati 3, ricevuti 0, eliminati 0, conflitti 0"_qs);
        QCOMPARE(sincronizza(b).testo(), u"Inviati 0, ricevuti 3, eliminati 0, conflitti 0"_qs);
        QCOMPARE(b.schede(), a.schede());

        // An edit here is an update of the same contact; one on the server comes here.
        QUrl prima;
        vcardSulServer(u"Rossi"_qs, &prima);
        a.modifica(u"Rossi"_qs, u"nuovo numero"_qs);
        cambiaSulServer(u"Verdi"_qs, "NOTE:cambiata altrove");
        QCOMPARE(sincronizza(a).testo(), u"Inviati 1, ricevuti 1, eliminati 0, conflitti 0"_qs);
        QUrl dopo;
        vcardSulServer(u"Rossi"_qs, &dopo);
        QCOMPARE(dopo, prima);

        // Deleted here, and deleted on the server by another client.
        a.elimina(u"Bianchi"_qs);
        QUrl verdi;
        vcardSulServer(u"Verdi"_qs, &verdi);
        QCOMPARE(m_s->http("DELETE", verdi), QNetworkReply::NoError);
        QCOMPARE(sincronizza(a).testo(), u"Inviati 0, ricevuti 0, eliminati 2, conflitti 0"_qs);
        // Two of its three cards going: the other stick asks first.
        m_domande.conferma = [](const QString&) { return true; };
        QCOMPARE(sincronizza(b).testo(), u"Inviati 0, ricevuti 1, eliminati 2, conflitti 0"_qs);
        const std::map<QString, QString> attese{{u"Rossi"_qs, u"nuovo numero"_qs}};
        QCOMPARE(a.schede(), attese);
        QCOMPARE(b.schede(), attese);
        QCOMPARE(sulServer(), attese);
        QCOMPARE(sincronizza(a).testo(), u"Inviati 0, ricevuti 0, eliminati 0, conflitti 0"_qs);
    }

    // What another client put on the server beyond the card (a photo, a birthday, a second number) stays when
    // the card is edited here.
    void campiDelServerConservati_data() { suEntrambiIServer_data(); }
    void campiDelServerConservati()
    {
        Chiavetta a;
        QCOMPARE(m_s->http("PUT", m_rubrica.resolved(QUrl(u"neri.vcf"_qs)),
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:neri-1\r\nN:Neri;Anna;;;\r\nFN:Anna Neri\r\n"
                           "TEL;TYPE=home:06 111\r\nTEL;TYPE=work,pref:06 222\r\nBDAY:1980-04-01\r\n"
                           "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ==\r\nEND:VCARD\r\n",
                           nullptr, {{"Content-Type", "text/vcard"}}),
                 QNetworkReply::NoError);
        QCOMPARE(sincronizza(a).ricevuti, 1);
        a.modifica(u"Neri"_qs, u"nota da qui"_qs);
        QCOMPARE(sincronizza(a).inviati, 1);
        const QByteArray vcard = vcardSulServer(u"Neri"_qs);
        QVERIFY2(vcard.contains("BDAY:1980-04-01"), vcard.constData());
        QVERIFY(vcard.contains("PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ=="));
        QVERIFY(vcard.contains("UID:neri-1"));
        // The preferred number is the card's; the other one stays beside it.
        QVERIFY(vcard.contains("TEL;TYPE=home:06 111"));
        QCOMPARE(vcard.count("06 222"), 1);
        QCOMPARE(testiDaVCard(vcard)[Note], u"nota da qui"_qs);
    }

    // Changed on both sides: the person keeps this card, the server's, both, or leaves it for later.
    void conflitto_data()
    {
        QTest::addColumn<int>("scelta");
        QTest::addColumn<QStringList>("qui");
        QTest::addColumn<QStringList>("server");
        for (const char* nome : {"radicale", "xandikos", "sabre-digest"}) {
            QTest::addRow("%s, keep here", nome)
                << int(SceltaConflitto::Qui) << QStringList{"qui"} << QStringList{"qui"};
            QTest::addRow("%s, keep the server's", nome)
                << int(SceltaConflitto::Server) << QStringList{"server"} << QStringList{"server"};
            QTest::addRow("%s, keep both", nome)
                << int(SceltaConflitto::Entrambe) << QStringList{"qui", "server"} << QStringList{"qui", "server"};
            QTest::addRow("%s, leave it", nome)
                << int(SceltaConflitto::Lascia) << QStringList{"qui"} << QStringList{"server"};
        }
    }
    void conflitto()
    {
        QFETCH(int, scelta);
        QFETCH(QStringList, qui);
        QFETCH(QStringList, server);
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs)});
        QCOMPARE(sincronizza(a).inviati, 1);
        a.modifica(u"Rossi"_qs, u"qui"_qs);
        cambiaSulServer(u"Rossi"_qs, "NOTE:server");
        QStringList visti;
        m_domande.conflitto = [&](const Conflitto& c) {
            visti << c.qui[Note] << c.server[Note];
            return SceltaConflitto(scelta);
        };
        const RiepilogoSync r = sincronizza(a);
        QVERIFY2(r.riuscita(), qPrintable(r.errore));
        QCOMPARE(r.conflitti, 1);
        QCOMPARE(visti, (QStringList{u"qui"_qs, u"server"_qs}));
        const auto soloNote = [](const std::map<QString, QString>& schede) {
            QStringList out;
            for (const auto& [_, nota] : schede)
                out << nota;
            out.sort();
            return out;
        };
        QCOMPARE(soloNote(a.schede()), qui);
        QCOMPARE(soloNote(sulServer()), server);
        // Settled, the next round has nothing to do; left, it meets the conflict again.
        m_domande.conflitto = {};
        QCOMPARE(sincronizza(a).conflitti, scelta == int(SceltaConflitto::Lascia) ? 1 : 0);
    }

    // The server goes away in the middle of a first synchronisation; the next one finishes it, with every
    // card on the server once.
    void serverInterrotto_data() { suEntrambiIServer_data(); }
    void serverInterrotto()
    {
        Chiavetta a;
        QList<TestiScheda> schede;
        for (int i = 0; i < 12; ++i)
            schede << persona(QStringLiteral("Persona %1").arg(i, 2, 10, QLatin1Char('0')));
        a.scrivi(schede);
        m_domande.avanzamento = [this](int fatti, int, const QString&) {
            if (fatti == 5)
                m_s->ferma();
        };
        QVERIFY(!sincronizza(a).riuscita());
        QVERIFY(m_s->avvia());
        m_domande.avanzamento = {};
        const RiepilogoSync r = sincronizza(a);
        QVERIFY2(r.riuscita(), qPrintable(r.errore));
        QCOMPARE(sulServer(), a.schede());
        QCOMPARE(int(a.schede().size()), 12);
    }

    // A contact changed by another client between this synchronisation's listing and its write: the write is
    // refused (412) and reported, nothing is lost, and the next round sees both versions as a conflict.
    void modificatoDuranteLaSincronizzazione_data() { suEntrambiIServer_data(); }
    void modificatoDuranteLaSincronizzazione()
    {
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs)});
        QCOMPARE(sincronizza(a).inviati, 1);
        a.modifica(u"Rossi"_qs, u"qui"_qs);
        m_domande.avanzamento = [this](int, int, const QString& passo) {
            if (!passo.startsWith(u"Invio"))
                return;
            cambiaSulServer(u"Rossi"_qs, "NOTE:altrove");
        };
        RiepilogoSync r = sincronizza(a);
        QCOMPARE(r.rifiutati, 1);
        QCOMPARE(r.errore, u"1 contatto è cambiato sul server durante la sincronizzazione: sincronizzare di nuovo."_qs);
        QCOMPARE(r.inviati, 0);
        QCOMPARE(sulServer().at(u"Rossi"_qs), u"altrove"_qs);
        m_domande.avanzamento = {};
        QCOMPARE(sincronizza(a).conflitti, 1);
    }

    // Most of a side about to be deleted is asked about first; no, and nothing changes anywhere.
    void eliminazioneInMassa_data() { suEntrambiIServer_data(); }
    void eliminazioneInMassa()
    {
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs), persona(u"Bianchi"_qs), persona(u"Verdi"_qs)});
        QCOMPARE(sincronizza(a).inviati, 3);
        a.scrivi({});
        QString domanda;
        m_domande.conferma = [&](const QString& d) {
            domanda = d;
            return false;
        };
        QVERIFY(!sincronizza(a).riuscita());
        QVERIFY(domanda.contains(u"eliminerebbe 3 dei 3 contatti del server"));
        QCOMPARE(int(sulServer().size()), 3);
    }

    // The state lost after a card was edited here: the next synchronisation links what is equal, asks about the
    // card of the same name, and leaves every card once on each side.
    void statoPerso_data() { suEntrambiIServer_data(); }
    void statoPerso()
    {
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs), persona(u"Bianchi"_qs), persona(u"Verdi"_qs)});
        QCOMPARE(sincronizza(a).inviati, 3);
        a.modifica(u"Rossi"_qs, u"nuova"_qs);
        QVERIFY(QFile::remove(StatoSync::percorso(a.cartella())));
        m_domande.conflitto = [](const Conflitto& c) {
            return c.qui[Note] == u"nuova" ? SceltaConflitto::Qui : SceltaConflitto::Lascia;
        };
        QCOMPARE(sincronizza(a).testo(), u"Inviati 1, ricevuti 0, eliminati 0, conflitti 1"_qs);
        const std::map<QString, QString> attese{{u"Bianchi"_qs, {}}, {u"Rossi"_qs, u"nuova"_qs}, {u"Verdi"_qs, {}}};
        QCOMPARE(a.schede(), attese);
        QCOMPARE(sulServer(), attese);
        QCOMPARE(sincronizza(a).testo(), u"Inviati 0, ricevuti 0, eliminati 0, conflitti 0"_qs);
    }

    // Another program put another person in a card's place: not an edit of the same contact, so nothing of the
    // old contact (a birthday) passes to the new one. Replaced by most of the cards, the synchronisation asks first.
    void altraPersona_data() { suEntrambiIServer_data(); }
    void altraPersona()
    {
        const auto scheda = [](const QString& cognome, const QString& nome) {
            TestiScheda t = persona(cognome);
            t[Nome] = nome;
            t[Citta] = u"Roma"_qs;
            t[Cap] = u"00100"_qs;
            return t;
        };
        Chiavetta a;
        a.scrivi({scheda(u"Rossi"_qs, u"Mario"_qs), persona(u"Verdi"_qs), persona(u"Neri"_qs)});
        QCOMPARE(sincronizza(a).inviati, 3);
        cambiaSulServer(u"Rossi"_qs, "BDAY:1970-01-02");
        QCOMPARE(sincronizza(a).ricevuti, 1);
        a.scrivi({scheda(u"Bianchi"_qs, u"Luca"_qs), persona(u"Verdi"_qs), persona(u"Neri"_qs)});
        QCOMPARE(sincronizza(a).testo(), u"Inviati 1, ricevuti 0, eliminati 1, conflitti 0"_qs);
        QVERIFY(vcardSulServer(u"Rossi"_qs).isEmpty());
        QVERIFY(!vcardSulServer(u"Bianchi"_qs).contains("BDAY"));

        a.scrivi({scheda(u"Bianchi"_qs, u"Luca 2"_qs), persona(u"Verdi"_qs, u"v"_qs), persona(u"Neri"_qs, u"n"_qs)});
        QString domanda;
        m_domande.conferma = [&](const QString& d) {
            domanda = d;
            return false;
        };
        const RiepilogoSync r = sincronizza(a);
        QVERIFY(r.fermataAllaDomanda);
        QVERIFY2(domanda.startsWith(u"3 delle 3 schede sincronizzate l'ultima volta risultano cambiate"),
                 qPrintable(domanda));
        QCOMPARE(sulServer().at(u"Verdi"_qs), QString());
    }

    // A second synchronisation of the folder while one runs: it gives up with a message, or waits for the first.
    void unaAllaVolta()
    {
        QVERIFY(m_ostile.azzera());
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs)});
        auto primo = std::make_optional<BloccoSincronizzazione>(a.cartella());
        QVERIFY(primo->preso());
        RiepilogoSync r = sincronizzaOstile(a, "");
        QCOMPARE(r.errore, messaggioSincronizzazioneInCorso());
        QVERIFY(!m_ostile.richieste().join('\n').contains("/ab/"));
        int attese = 0;
        m_domande.attendi = [&] {
            if (++attese == 2)
                primo.reset();
            return true;
        };
        r = sincronizzaOstile(a, "");
        QVERIFY2(r.riuscita(), qPrintable(r.errore));
        QCOMPARE(attese, 2);
        QCOMPARE(r.inviati, 1);
    }

    // A contact the program cannot read never becomes or overwrites a card: it is named, left alone on both sides,
    // and taken once it can be read.
    void contattoIlleggibile()
    {
        QVERIFY(m_ostile.azzera());
        QVERIFY(m_ostile.metti(u"a.vcf"_qs, vcard("Anna", "prima")));
        QVERIFY(m_ostile.metti(u"b.vcf"_qs, vcard("Bruno")));
        Chiavetta a;
        RiepilogoSync r = sincronizzaOstile(a, "vcard-illeggibile");
        QCOMPARE(r.testo(), u"Inviati 0, ricevuti 1, eliminati 0, conflitti 0"_qs);
        QCOMPARE(r.errore,
                 u"1 contatto illeggibile sul server: a.vcf. Sono stati lasciati come sono, qui e sul server, "
                 "e verranno riprovati la prossima volta."_qs);
        QCOMPARE(a.schede(), (std::map<QString, QString>{{u"Bruno"_qs, {}}}));

        QVERIFY(sincronizzaOstile(a, "").riuscita());
        QVERIFY(m_ostile.metti(u"a.vcf"_qs, vcard("Anna", "dopo")));
        r = sincronizzaOstile(a, "vcard-illeggibile");
        QVERIFY(!r.riuscita());
        QCOMPARE(a.schede().at(u"Anna"_qs), u"prima"_qs);
        r = sincronizzaOstile(a, "");
        QVERIFY2(r.riuscita(), qPrintable(r.errore));
        QCOMPARE(r.ricevuti, 1);
        QCOMPARE(a.schede().at(u"Anna"_qs), u"dopo"_qs);
    }

    // A server that keeps no ETags: its edits still come here, compared by content, and edits from here are not
    // refused.
    void serverSenzaEtag()
    {
        QVERIFY(m_ostile.azzera());
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs), persona(u"Bianchi"_qs), persona(u"Verdi"_qs)});
        QVERIFY(m_ostile.metti(u"neri.vcf"_qs, vcard("Neri", "uno")));
        QCOMPARE(sincronizzaOstile(a, "senza-etag").testo(), u"Inviati 3, ricevuti 1, eliminati 0, conflitti 0"_qs);
        QCOMPARE(sincronizzaOstile(a, "senza-etag").testo(), u"Inviati 0, ricevuti 0, eliminati 0, conflitti 0"_qs);
        QVERIFY(m_ostile.metti(u"neri.vcf"_qs, vcard("Neri", "due")));
        a.modifica(u"Verdi"_qs, u"qui"_qs);
        const RiepilogoSync r = sincronizzaOstile(a, "senza-etag");
        QVERIFY2(r.riuscita(), qPrintable(r.errore));
        QCOMPARE(r.testo(), u"Inviati 1, ricevuti 1, eliminati 0, conflitti 0"_qs);
        QCOMPARE(a.schede().at(u"Neri"_qs), u"due"_qs);
    }

    // A write the server refuses (412) is never dropped in silence.
    void scritturaRifiutata()
    {
        QVERIFY(m_ostile.azzera());
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs), persona(u"Bianchi"_qs), persona(u"Verdi"_qs)});
        QCOMPARE(sincronizzaOstile(a, "").inviati, 3);
        a.modifica(u"Rossi"_qs, u"qui"_qs);
        const RiepilogoSync r = sincronizzaOstile(a, "412-sempre");
        QCOMPARE(r.rifiutati, 1);
        QCOMPARE(r.errore, u"1 contatto è cambiato sul server durante la sincronizzazione: sincronizzare di nuovo."_qs);
        QCOMPARE(sincronizzaOstile(a, "").inviati, 1);
    }

    void passwordSbagliata()
    {
        if (!m_server.count(Tipo::Radicale))
            QSKIP("radicale is not installed");
        m_s = m_server[Tipo::Radicale].get();
        m_rubrica = m_s->nuovaRubrica(QStringLiteral("r%1").arg(++m_rubriche));
        Chiavetta a;
        a.scrivi({persona(u"Rossi"_qs)});
        const RiepilogoSync r = sincronizza(a, u"sbagliata"_qs);
        QCOMPARE(r.errore, u"Il server non accetta il nome utente o la password."_qs);
        QVERIFY(!QFile::exists(StatoSync::percorso(a.cartella())));
        QCOMPARE(int(sulServer().size()), 0);
    }
};

QTEST_GUILESS_MAIN(TestSincronizzazione)
#include "TestSincronizzazione.moc"
