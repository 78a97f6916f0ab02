#include "sync/Sincronizzazione.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"
#include "archive/BloccoSincronizzazione.h"
#include "archive/GiornaleArchivio.h"
#include "archive/MessaggiArchivio.h"
#include "archive/ModificheArchivio.h"
#include "sync/PianoSync.h"
#include "sync/VCardSync.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUuid>

#include <optional>

namespace {

// The state is written at least this often while the server is being written to.
constexpr int kSalvaOgniMs = 2000;

// The archive and the journal of this program's edits to it, read together under the write lock, so that the
// journal explains exactly the cards read.
bool leggiArchivio(const QString& appDir, QList<SchedaLocale>& locali, Giornale& giornale, QString& errore)
{
    const ArchiveLock blocco(ArchiveFile::archivePath(appDir));
    if (blocco.busy() || blocco.guasto()) {
        errore = blocco.busy() ? messaggioArchivioOccupato() : blocco.problema();
        return false;
    }
    giornale = leggiGiornale(appDir);
    errore = messaggioErroreArchivio();
    const QString percorso = ArchiveFile::archivePath(appDir);
    if (!QFileInfo::exists(percorso))
        return true;
    ArchiveFile archivio(percorso);
    if (!archivio.open(ArchiveFile::Access::ReadOnly))
        return false;
    const qint64 totale = archivio.recordCount();
    locali.reserve(totale);
    for (qint64 i = 0; i < totale; ++i) {
        SchedaLocale s{i, {}, {}};
        if (!archivio.read(s.byte))
            return false;
        s.testi = testiDaScheda(s.byte);
        s.identita = identitaRecord(s.byte);
        locali << s;
    }
    return archivio.close();
}

// The card a contact becomes here, and the texts the archive will then give back for it.
TSchedaContatto schedaDa(const TestiScheda& testi)
{
    TSchedaContatto s{};
    schedaDaTesti(s, testi);
    return s;
}

QString messaggioModifiche(EsitoModifiche esito, const QString& problema)
{
    switch (esito) {
    case EsitoModifiche::Occupato:
        return messaggioArchivioOccupato();
    case EsitoModifiche::Guasto:
        return problema;
    case EsitoModifiche::Cambiato:
        return QStringLiteral("L'archivio è stato modificato da un altro programma durante la sincronizzazione: "
                              "ripetere la sincronizzazione.");
    default:
        return messaggioErroreArchivio();
    }
}

// A contact's file name on the server, for a message.
QString nomeFile(const QString& href)
{
    return QUrl::fromPercentEncoding(href.section(u'/', -1, -1).toUtf8());
}

QString elenco(const QStringList& nomi)
{
    constexpr int kMostrati = 5;
    QString testo = nomi.mid(0, kMostrati).join(QStringLiteral(", "));
    if (nomi.size() > kMostrati)
        testo += QStringLiteral(" e altri %1").arg(nomi.size() - kMostrati);
    return testo;
}

// What is left to do after a synchronisation that ran to its end: contacts skipped, writes refused.
QString daRifare(const RiepilogoSync& r)
{
    QStringList frasi;
    if (r.illeggibili.size() == 1)
        frasi << QStringLiteral("1 contatto illeggibile sul server: %1.").arg(r.illeggibili.first());
    else if (!r.illeggibili.isEmpty())
        frasi << QStringLiteral("%1 contatti illeggibili sul server: %2.")
                     .arg(r.illeggibili.size())
                     .arg(elenco(r.illeggibili));
    if (!r.illeggibili.isEmpty())
        frasi << QStringLiteral(
            "Sono stati lasciati come sono, qui e sul server, e verranno riprovati la prossima volta.");
    if (r.rifiutati == 1)
        frasi << QStringLiteral(
            "1 contatto è cambiato sul server durante la sincronizzazione: sincronizzare di nuovo.");
    else if (r.rifiutati > 1)
        frasi << QStringLiteral("%1 contatti sono cambiati sul server durante la sincronizzazione: sincronizzare di "
                                "nuovo.")
                     .arg(r.rifiutati);
    return frasi.join(u' ');
}

} // namespace

QString RiepilogoSync::testo() const
{
    return QStringLiteral("Inviati %1, ricevuti %2, eliminati %3, conflitti %4")
        .arg(inviati)
        .arg(ricevuti)
        .arg(eliminati)
        .arg(conflitti);
}

Sincronizzazione::Sincronizzazione(const QString& appDir, ClientCardDav& client, StatoSync stato)
    : m_appDir(appDir), m_client(client), m_stato(std::move(stato))
{
}

RiepilogoSync Sincronizzazione::esegui(const Domande& domande)
{
    RiepilogoSync r;
    const auto avanza = [&domande](int fatti, int totale, const QString& passo) {
        if (domande.avanzamento)
            domande.avanzamento(fatti, totale, passo);
    };
    const auto url = [this](const QString& href) { return m_stato.rubrica.resolved(QUrl::fromEncoded(href.toUtf8())); };
    const auto chiedi = [&domande, &r](const QString& domanda) {
        if (domande.conferma && domande.conferma(domanda))
            return true;
        r.fermataAllaDomanda = true;
        r.domanda = domanda;
        r.errore = QStringLiteral("Sincronizzazione interrotta prima di cambiare qualcosa: nulla è stato cambiato.");
        return false;
    };

    // One synchronisation of this folder at a time: two would send the same new cards twice.
    std::optional<BloccoSincronizzazione> blocco;
    for (;;) {
        blocco.emplace(m_appDir);
        if (blocco->preso())
            break;
        const bool inCorso = blocco->problema() == messaggioSincronizzazioneInCorso();
        if (!inCorso || !domande.attendi || !domande.attendi()) {
            r.errore = m_client.annullato() ? ClientCardDav::messaggioAnnullata() : blocco->problema();
            return r;
        }
    }

    // Both sides as they are now.
    avanza(0, 0, QStringLiteral("Lettura dell'archivio"));
    QList<SchedaLocale> locali;
    Giornale giornale;
    if (!leggiArchivio(m_appDir, locali, giornale, r.errore))
        return r;
    r.errore.clear();
    const Abbinamento abbinamento = abbina(m_stato.voci, locali, giornale.operazioni);
    avanza(0, 0, QStringLiteral("Elenco dei contatti sul server"));
    const ElencoRemoto elenco =
        m_client.elenca(Rubrica{m_stato.rubrica, m_stato.nomeRubrica, m_stato.syncCollection}, m_stato.token);
    if (!elenco.errore.isEmpty()) {
        r.errore = elenco.errore;
        return r;
    }
    QHash<QString, QByteArray> remoti; // href -> ETag (empty: the server keeps none), for the whole address book
    if (!elenco.completo) {
        for (const VoceSync& v : std::as_const(m_stato.voci))
            remoti.insert(v.href, v.etag);
        for (const QString& href : elenco.rimossi)
            remoti.remove(href);
    }
    for (const VoceRemota& v : elenco.voci)
        remoti.insert(v.href, v.etag);

    // How each known contact stands on each side; what to fetch. A contact without an ETag is fetched to be
    // compared by content.
    const qsizetype n = m_stato.voci.size();
    QList<Lato> qui(n);
    QList<Lato> server(n);
    QSet<QString> noti;
    QStringList daScaricare;
    for (qsizetype v = 0; v < n; ++v) {
        const VoceSync& voce = m_stato.voci[v];
        noti.insert(voce.href);
        qui[v] = abbinamento.localeDellaVoce[v] < 0 ? Lato::Eliminata
                 : abbinamento.cambiata[v]          ? Lato::Cambiata
                                                    : Lato::Invariata;
        const auto it = remoti.constFind(voce.href);
        server[v] = it == remoti.cend() ? Lato::Eliminata : *it == voce.etag ? Lato::Invariata : Lato::Cambiata;
        const bool senzaEtag = it != remoti.cend() && it->isEmpty();
        // A changed contact is fetched to be compared or taken; an unchanged one whose card changed here, to
        // keep what the server has beyond the card.
        if (senzaEtag || server[v] == Lato::Cambiata || (server[v] == Lato::Invariata && qui[v] == Lato::Cambiata))
            daScaricare << voce.href;
    }
    QStringList nuoviRemoti;
    for (auto it = remoti.cbegin(); it != remoti.cend(); ++it) {
        if (!noti.contains(it.key()))
            nuoviRemoti << it.key();
    }
    nuoviRemoti.sort();
    daScaricare += nuoviRemoti;

    avanza(0, 0, QStringLiteral("Scaricamento dei contatti"));
    QString errore;
    QHash<QString, SchedaRemota> scaricate;
    QHash<QString, TestiScheda> testiRemoti;
    QSet<QString> illeggibili;
    for (const SchedaRemota& s : m_client.scarica(m_stato.rubrica, daScaricare, &errore)) {
        const std::optional<TestiScheda> testi = s.illeggibile ? std::nullopt : contattoLeggibile(s.vcard);
        if (!testi) {
            illeggibili.insert(s.href);
            continue;
        }
        scaricate.insert(s.href, s);
        testiRemoti.insert(s.href, *testi);
    }
    if (!errore.isEmpty()) {
        r.errore = errore;
        return r;
    }
    // A contact the server listed but did not deliver is not taken for deleted: only a listing says that.
    for (const QString& href : std::as_const(daScaricare)) {
        if (!scaricate.contains(href))
            illeggibili.insert(href);
    }
    for (qsizetype v = 0; v < n; ++v) {
        const QString& href = m_stato.voci[v].href;
        if (server[v] != Lato::Eliminata && scaricate.contains(href) && remoti.value(href).isEmpty())
            server[v] =
                impronta(testiRemoti.value(href)) == impronta(m_stato.voci[v].campi) ? Lato::Invariata : Lato::Cambiata;
    }

    // The decisions.
    struct Passo
    {
        Decisione decisione;
        int voce;   // -1: none yet
        int locale; // -1: none
        QString href;
    };
    QList<Passo> passi;
    for (qsizetype v = 0; v < n; ++v) {
        const int l = abbinamento.localeDellaVoce[v];
        const QString& href = m_stato.voci[v].href;
        if (illeggibili.contains(href)) {
            passi << Passo{Decisione::Niente, int(v), l, href};
            continue;
        }
        const bool uguali = qui[v] == Lato::Cambiata && server[v] == Lato::Cambiata &&
                            normalizza(locali[l].testi) == normalizza(testiRemoti.value(href));
        passi << Passo{decidi(qui[v], server[v], uguali), int(v), l, href};
    }
    // New on both sides (a first synchronisation of two full sides, a lost state, one stopped half way): the same
    // content is one contact, linked; the same name with other contents is a conflict for the person; only the
    // rest is new.
    QMultiHash<QByteArray, QString> nuoviPerImpronta;
    QMultiHash<QString, QString> nuoviPerNome;
    for (const QString& href : std::as_const(nuoviRemoti)) {
        if (scaricate.contains(href)) {
            nuoviPerImpronta.insert(impronta(testiRemoti.value(href)), href);
            nuoviPerNome.insert(chiaveNome(testiRemoti.value(href)), href);
        }
    }
    QSet<QString> collegati;
    const auto gemello = [&collegati](const QList<QString>& candidati) {
        QString scelto;
        for (const QString& href : candidati) {
            if (!collegati.contains(href) && (scelto.isEmpty() || href < scelto))
                scelto = href;
        }
        return scelto;
    };
    QList<int> nuoveQui;
    for (int l = 0; l < locali.size(); ++l) {
        if (abbinamento.voceDellaLocale[l] >= 0)
            continue;
        const QString uguale = gemello(nuoviPerImpronta.values(impronta(locali[l].testi)));
        if (uguale.isEmpty()) {
            nuoveQui << l;
        } else {
            collegati.insert(uguale);
            passi << Passo{Decisione::Aggiorna, -1, l, uguale};
        }
    }
    for (int l : std::as_const(nuoveQui)) {
        const QString nome = chiaveNome(locali[l].testi);
        const QString omonimo = nome.isEmpty() ? QString() : gemello(nuoviPerNome.values(nome));
        if (omonimo.isEmpty()) {
            passi << Passo{Decisione::CaricaNuova, -1, l, {}};
        } else {
            collegati.insert(omonimo);
            passi << Passo{Decisione::Conflitto, -1, l, omonimo};
        }
    }
    for (const QString& href : std::as_const(nuoviRemoti)) {
        if (scaricate.contains(href) && !collegati.contains(href))
            passi << Passo{Decisione::ScaricaNuova, -1, -1, href};
    }

    // Most of a side about to go is asked about first.
    int viaDalServer = 0;
    int viaDaQui = 0;
    for (const Passo& p : passi) {
        viaDalServer += p.decisione == Decisione::EliminaServer ? 1 : 0;
        viaDaQui += p.decisione == Decisione::EliminaQui ? 1 : 0;
    }
    if (viaDalServer * 2 > remoti.size() || viaDaQui * 2 > locali.size()) {
        if (!chiedi(QStringLiteral("La sincronizzazione eliminerebbe %1 dei %2 contatti del server e %3 delle %4 "
                                   "schede dell'archivio. Procedere?")
                        .arg(viaDalServer)
                        .arg(remoti.size())
                        .arg(viaDaQui)
                        .arg(locali.size()))) {
            r.errore = QStringLiteral("Sincronizzazione interrotta prima di eliminare: nulla è stato cambiato.");
            return r;
        }
    } else if (abbinamento.indovinate() * 2 > m_stato.voci.size() &&
               !chiedi(QStringLiteral("%1 delle %2 schede sincronizzate l'ultima volta risultano cambiate o eliminate "
                                      "da un altro programma, da un ripristino o da un Contatti.sync di un'altra "
                                      "cartella. Sincronizzare lo stesso, inviando queste modifiche al server?")
                           .arg(abbinamento.indovinate())
                           .arg(m_stato.voci.size()))) {
        // Most of the cards the state knows changed or gone, and no journal of this program's to say how: the
        // archive is probably not the one the state describes. Nothing is sent before the person says so.
        return r;
    }

    // Each entry follows its card here from now on; one whose card is gone waits for the server's deletion.
    for (qsizetype v = 0; v < n; ++v) {
        const int l = abbinamento.localeDellaVoce[v];
        m_stato.voci[v].locale = l >= 0 ? locali[l].identita : QByteArray(VoceSync::kEliminataQui);
    }
    // A contact new on both sides becomes an entry once the person settles it, as the server's contact.
    const auto nuovaVoce = [&](Passo& p) {
        const SchedaRemota& s = scaricate[p.href];
        m_stato.voci << VoceSync{uidDaVCard(s.vcard), s.href, s.etag, {}, locali[p.locale].identita};
        p.voce = int(m_stato.voci.size() - 1);
    };

    // Conflicts, settled by the person.
    bool tuttoFatto = illeggibili.isEmpty();
    QList<Passo> aggiunti;
    for (Passo& p : passi) {
        if (p.decisione != Decisione::Conflitto)
            continue;
        ++r.conflitti;
        const SceltaConflitto scelta =
            domande.conflitto ? domande.conflitto(Conflitto{locali[p.locale].testi, testiRemoti.value(p.href)})
                              : SceltaConflitto::Lascia;
        switch (scelta) {
        case SceltaConflitto::Qui:
            if (p.voce < 0)
                nuovaVoce(p);
            p.decisione = Decisione::Carica;
            break;
        case SceltaConflitto::Server:
            if (p.voce < 0)
                nuovaVoce(p);
            p.decisione = Decisione::Scarica;
            break;
        case SceltaConflitto::Entrambe:
            // The server's version comes here as a card of its own; the card here goes up as a new contact.
            aggiunti << Passo{Decisione::CaricaNuova, -1, p.locale, {}};
            p.decisione = p.voce < 0 ? Decisione::ScaricaNuova : Decisione::Scarica;
            p.locale = -1;
            break;
        case SceltaConflitto::Lascia:
            p.decisione = Decisione::Niente;
            ++r.conflittiLasciati;
            tuttoFatto = false;
            break;
        }
    }
    passi += aggiunti;

    // The server, one contact at a time. A contact the server keeps no ETag for is written without a condition:
    // it was read moments ago, and there is nothing to hold the server to.
    const auto carica = [this](const QUrl& indirizzo, const QByteArray& vcard, const QByteArray& etag) {
        if (!etag.isEmpty())
            return m_client.metti(indirizzo, vcard, etag);
        return m_client.richiesta("PUT", indirizzo, vcard, {{"Content-Type", "text/vcard; charset=utf-8"}});
    };
    const auto togli = [this](const QUrl& indirizzo, const QByteArray& etag) {
        if (!etag.isEmpty())
            return m_client.togli(indirizzo, etag);
        RispostaHttp risposta = m_client.richiesta("DELETE", indirizzo);
        if (risposta.stato == 404)
            risposta.errore.clear();
        return risposta;
    };
    QList<int> daTogliere; // entries gone from both sides
    QList<VoceSync> nuoveVoci;
    int totale = 1;
    for (const Passo& p : passi) {
        if (p.decisione == Decisione::Carica || p.decisione == Decisione::CaricaNuova ||
            p.decisione == Decisione::EliminaServer)
            ++totale;
    }
    int fatti = 0;
    QDeadlineTimer prossimoSalvataggio(kSalvaOgniMs);
    const auto salvaSeTempo = [&] {
        if (!prossimoSalvataggio.hasExpired())
            return;
        m_stato.scrivi(m_appDir, nullptr);
        prossimoSalvataggio.setRemainingTime(kSalvaOgniMs);
    };
    // A write refused because the contact changed on the server meanwhile waits for the next synchronisation,
    // which sees both versions; this one says so.
    const auto rifiutata = [&r, &tuttoFatto](const RispostaHttp& risposta) {
        if (risposta.stato != 412)
            return false;
        ++r.rifiutati;
        tuttoFatto = false;
        return true;
    };
    for (Passo& p : passi) {
        if (!r.errore.isEmpty())
            break;
        switch (p.decisione) {
        case Decisione::Carica: {
            VoceSync& voce = m_stato.voci[p.voce];
            const TestiScheda& testi = locali[p.locale].testi;
            avanza(fatti++, totale, QStringLiteral("Invio di %1").arg(testi[Cognome]));
            const RispostaHttp risposta =
                carica(url(voce.href), aggiornaVCard(scaricate.value(voce.href).vcard, testi), remoti.value(voce.href));
            if (rifiutata(risposta)) {
            } else if (!risposta.riuscita()) {
                r.errore = risposta.errore;
            } else {
                voce.etag = risposta.etag;
                voce.campi = testi;
                ++r.inviati;
            }
            break;
        }
        case Decisione::CaricaNuova: {
            const TestiScheda& testi = locali[p.locale].testi;
            avanza(fatti++, totale, QStringLiteral("Invio di %1").arg(testi[Cognome]));
            VoceSync voce;
            if (p.voce >= 0) {
                voce = m_stato.voci[p.voce]; // deleted there, changed here: back under its own name
            } else {
                voce.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
                voce.href =
                    percorsoCanonico(m_stato.rubrica.path(QUrl::FullyEncoded)) + voce.uid + QStringLiteral(".vcf");
            }
            const RispostaHttp risposta = m_client.metti(url(voce.href), vcardNuova(testi, voce.uid), {});
            if (rifiutata(risposta)) {
            } else if (!risposta.riuscita()) {
                r.errore = risposta.errore;
            } else {
                voce.etag = risposta.etag;
                voce.campi = testi;
                voce.locale = locali[p.locale].identita;
                if (p.voce >= 0)
                    m_stato.voci[p.voce] = voce;
                else
                    nuoveVoci << voce;
                ++r.inviati;
            }
            break;
        }
        case Decisione::EliminaServer: {
            const VoceSync& voce = m_stato.voci[p.voce];
            avanza(fatti++, totale, QStringLiteral("Eliminazione di %1").arg(voce.campi[Cognome]));
            const RispostaHttp risposta = togli(url(voce.href), voce.etag);
            if (rifiutata(risposta)) {
            } else if (!risposta.riuscita()) {
                r.errore = risposta.errore;
            } else {
                daTogliere << p.voce;
                ++r.eliminati;
            }
            break;
        }
        case Decisione::Aggiorna:
            if (p.voce >= 0) {
                m_stato.voci[p.voce].etag = remoti.value(p.href);
                m_stato.voci[p.voce].campi = locali[p.locale].testi;
            } else {
                const SchedaRemota& s = scaricate.value(p.href);
                nuoveVoci << VoceSync{uidDaVCard(s.vcard), s.href, s.etag, locali[p.locale].testi,
                                      locali[p.locale].identita};
            }
            break;
        case Decisione::Dimentica:
            daTogliere << p.voce;
            break;
        default:
            break;
        }
        salvaSeTempo();
    }

    // The archive, in one step, for what the server's side brought.
    ModificheArchivio modifiche;
    QList<VoceSync> vociScaricate; // for contacts that become new cards
    struct Aggiornata
    {
        int voce;
        TestiScheda testi;
        QByteArray identita;
    };
    QList<Aggiornata> vociAggiornate;
    QList<int> vociEliminateQui;
    if (r.errore.isEmpty()) {
        for (const Passo& p : std::as_const(passi)) {
            if (p.decisione != Decisione::Scarica && p.decisione != Decisione::ScaricaNuova &&
                p.decisione != Decisione::EliminaQui)
                continue;
            const SchedaRemota s = scaricate.value(p.href);
            // The texts as the archive will give them back, so that the next synchronisation finds them unchanged.
            const TSchedaContatto scheda = schedaDa(testiRemoti.value(p.href));
            const TestiScheda testi = testiDaScheda(scheda);
            switch (p.decisione) {
            case Decisione::Scarica:
                if (p.locale >= 0)
                    modifiche.sostituzioni
                        << ModificheArchivio::Sostituzione{locali[p.locale].indice, locali[p.locale].byte, scheda};
                else
                    modifiche.aggiunte << scheda;
                vociAggiornate << Aggiornata{p.voce, testi, identitaRecord(scheda)};
                break;
            case Decisione::ScaricaNuova:
                modifiche.aggiunte << scheda;
                if (p.voce >= 0)
                    vociAggiornate << Aggiornata{p.voce, testi, identitaRecord(scheda)};
                else
                    vociScaricate << VoceSync{uidDaVCard(s.vcard), s.href, s.etag, testi, identitaRecord(scheda)};
                break;
            case Decisione::EliminaQui:
                modifiche.rimozioni << ModificheArchivio::Rimozione{locali[p.locale].indice, locali[p.locale].byte};
                vociEliminateQui << p.voce;
                break;
            default:
                break;
            }
        }
        avanza(totale - 1, totale, QStringLiteral("Aggiornamento dell'archivio"));
        QString problema;
        const EsitoModifiche esito = applicaModifiche(m_appDir, modifiche, &problema);
        if (esito == EsitoModifiche::Fatte) {
            for (const Aggiornata& a : std::as_const(vociAggiornate)) {
                VoceSync& voce = m_stato.voci[a.voce];
                voce.etag = scaricate.value(voce.href).etag;
                voce.campi = a.testi;
                voce.locale = a.identita;
            }
            nuoveVoci += vociScaricate;
            daTogliere += vociEliminateQui;
            r.ricevuti += int(vociAggiornate.size() + vociScaricate.size());
            r.eliminati += int(vociEliminateQui.size());
        } else {
            r.errore = messaggioModifiche(esito, problema);
        }
    }

    std::sort(daTogliere.begin(), daTogliere.end(), std::greater<>());
    for (int v : std::as_const(daTogliere))
        m_stato.voci.removeAt(v);
    m_stato.voci += nuoveVoci;
    // The token moves on only when every change it covers has been taken: otherwise the next listing must show
    // them again.
    if (r.errore.isEmpty() && tuttoFatto)
        m_stato.token = elenco.token;
    QString motivo;
    if (!m_stato.scrivi(m_appDir, &motivo)) {
        if (r.errore.isEmpty())
            r.errore = QStringLiteral("Impossibile scrivere Contatti.sync (%1).").arg(motivo);
    } else if (!giornale.integro) {
        // A damaged line hides whatever follows it: the state now follows every card as it is, and the journal
        // starts again from here.
        const ArchiveLock scrittura(ArchiveFile::archivePath(m_appDir));
        if (!scrittura.busy() && !scrittura.guasto())
            azzeraGiornale(m_appDir);
    } else if (giornale.fine > 0) {
        // The state now follows every card the journal read so far explained.
        consumaGiornale(m_appDir, giornale.fine);
    }
    for (const QString& href : std::as_const(illeggibili))
        r.illeggibili << nomeFile(href);
    r.illeggibili.sort();
    if (r.errore.isEmpty()) {
        r.finita = true;
        r.errore = daRifare(r);
    }
    avanza(totale, totale, QString());
    return r;
}
