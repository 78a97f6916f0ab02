#include "sync/Sincronizzazione.h"

#include "archive/ArchiveFile.h"
#include "archive/MessaggiArchivio.h"
#include "archive/ModificheArchivio.h"
#include "sync/PianoSync.h"
#include "sync/VCardSync.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUuid>

namespace {

// The state is written at least this often while the server is being written to.
constexpr int kSalvaOgniMs = 2000;

bool leggiArchivio(const QString& appDir, QList<SchedaLocale>& locali)
{
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

QString messaggioModifiche(EsitoModifiche esito)
{
    switch (esito) {
    case EsitoModifiche::Occupato:
        return messaggioArchivioOccupato();
    case EsitoModifiche::Cambiato:
        return QStringLiteral("L'archivio è stato modificato da un altro programma durante la sincronizzazione: "
                              "ripetere la sincronizzazione.");
    default:
        return messaggioErroreArchivio();
    }
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

    // Both sides as they are now.
    avanza(0, 0, QStringLiteral("Lettura dell'archivio"));
    QList<SchedaLocale> locali;
    if (!leggiArchivio(m_appDir, locali)) {
        r.errore = messaggioErroreArchivio();
        return r;
    }
    const Abbinamento abbinamento = abbina(m_stato.voci, locali);

    avanza(0, 0, QStringLiteral("Elenco dei contatti sul server"));
    const ElencoRemoto elenco =
        m_client.elenca(Rubrica{m_stato.rubrica, m_stato.nomeRubrica, m_stato.syncCollection}, m_stato.token);
    if (!elenco.errore.isEmpty()) {
        r.errore = elenco.errore;
        return r;
    }
    QHash<QString, QByteArray> remoti; // href -> ETag, for the whole address book
    if (!elenco.completo) {
        for (const VoceSync& v : std::as_const(m_stato.voci))
            remoti.insert(v.href, v.etag);
        for (const QString& href : elenco.rimossi)
            remoti.remove(href);
    }
    for (const VoceRemota& v : elenco.voci)
        remoti.insert(v.href, v.etag);

    // How each known contact stands on each side; what to fetch.
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
        // A changed contact is fetched to be compared or taken; an unchanged one whose card changed here, to
        // keep what the server has beyond the card.
        if (server[v] == Lato::Cambiata || (server[v] == Lato::Invariata && qui[v] == Lato::Cambiata))
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
    QSet<QString> illeggibili; // too big to take: left alone on both sides this time
    for (const SchedaRemota& s : m_client.scarica(m_stato.rubrica, daScaricare, &errore)) {
        if (s.illeggibile)
            illeggibili.insert(s.href);
        else
            scaricate.insert(s.href, s);
    }
    if (!errore.isEmpty()) {
        r.errore = errore;
        return r;
    }
    // A contact deleted between the listing and the fetch is deleted.
    for (qsizetype v = 0; v < n; ++v) {
        if (server[v] != Lato::Eliminata && daScaricare.contains(m_stato.voci[v].href) &&
            !scaricate.contains(m_stato.voci[v].href) && !illeggibili.contains(m_stato.voci[v].href))
            server[v] = Lato::Eliminata;
    }
    QHash<QString, TestiScheda> testiRemoti;
    for (auto it = scaricate.cbegin(); it != scaricate.cend(); ++it)
        testiRemoti.insert(it.key(), testiDaVCard(it->vcard));

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
        const bool uguali = qui[v] == Lato::Cambiata && server[v] == Lato::Cambiata &&
                            normalizza(locali[l].testi) == normalizza(testiRemoti.value(href));
        passi << Passo{illeggibili.contains(href) ? Decisione::Niente : decidi(qui[v], server[v], uguali), int(v), l,
                       href};
    }
    // New on both sides with the same content (a first synchronisation of two full sides, or one stopped
    // half way) is one contact: linked, not doubled.
    QMultiHash<QByteArray, QString> nuoviPerImpronta;
    for (const QString& href : std::as_const(nuoviRemoti)) {
        if (scaricate.contains(href))
            nuoviPerImpronta.insert(impronta(testiRemoti.value(href)), href);
    }
    QSet<QString> collegati;
    for (int l = 0; l < locali.size(); ++l) {
        if (abbinamento.voceDellaLocale[l] >= 0)
            continue;
        const QByteArray chiave = impronta(locali[l].testi);
        QString gemello;
        for (const QString& href : nuoviPerImpronta.values(chiave)) {
            if (!collegati.contains(href) && (gemello.isEmpty() || href < gemello))
                gemello = href;
        }
        if (gemello.isEmpty()) {
            passi << Passo{Decisione::CaricaNuova, -1, l, {}};
        } else {
            collegati.insert(gemello);
            passi << Passo{Decisione::Aggiorna, -1, l, gemello};
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
        const QString domanda =
            QStringLiteral("La sincronizzazione eliminerebbe %1 dei %2 contatti del server e %3 delle %4 schede "
                           "dell'archivio. Procedere?")
                .arg(viaDalServer)
                .arg(remoti.size())
                .arg(viaDaQui)
                .arg(locali.size());
        if (!domande.conferma || !domande.conferma(domanda)) {
            r.errore = QStringLiteral("Sincronizzazione interrotta prima di eliminare: nulla è stato cambiato.");
            return r;
        }
    }

    // Conflicts, settled by the person.
    bool tuttoFatto = true;
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
            p.decisione = Decisione::Carica;
            break;
        case SceltaConflitto::Server:
            p.decisione = Decisione::Scarica;
            break;
        case SceltaConflitto::Entrambe:
            // The server's version comes here as its card; the card here goes up as a new contact.
            p.decisione = Decisione::Scarica;
            aggiunti << Passo{Decisione::CaricaNuova, -1, p.locale, {}};
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

    // The server, one contact at a time.
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
    for (Passo& p : passi) {
        if (!r.errore.isEmpty())
            break;
        switch (p.decisione) {
        case Decisione::Carica: {
            VoceSync& voce = m_stato.voci[p.voce];
            const TestiScheda& testi = locali[p.locale].testi;
            avanza(fatti++, totale, QStringLiteral("Invio di %1").arg(testi[Cognome]));
            const RispostaHttp risposta = m_client.metti(
                url(voce.href), aggiornaVCard(scaricate.value(voce.href).vcard, testi), remoti.value(voce.href));
            if (risposta.stato == 412) {
                tuttoFatto = false; // changed meanwhile: the next synchronisation sees it
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
            if (risposta.stato == 412) {
                tuttoFatto = false;
            } else if (!risposta.riuscita()) {
                r.errore = risposta.errore;
            } else {
                voce.etag = risposta.etag;
                voce.campi = testi;
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
            const RispostaHttp risposta = m_client.togli(url(voce.href), voce.etag);
            if (risposta.stato == 412) {
                tuttoFatto = false;
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
                nuoveVoci << VoceSync{uidDaVCard(s.vcard), s.href, s.etag, locali[p.locale].testi};
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
    QList<std::pair<int, TestiScheda>> vociAggiornate;
    QList<int> vociEliminateQui;
    if (r.errore.isEmpty()) {
        for (const Passo& p : std::as_const(passi)) {
            if (p.decisione != Decisione::Scarica && p.decisione != Decisione::ScaricaNuova &&
                p.decisione != Decisione::EliminaQui)
                continue;
            const SchedaRemota s = scaricate.value(p.href);
            // The texts as the archive will give them back, so that the next synchronisation finds them unchanged.
            const TestiScheda testi = testiDaScheda(schedaDa(testiRemoti.value(p.href)));
            switch (p.decisione) {
            case Decisione::Scarica:
                if (p.locale >= 0)
                    modifiche.sostituzioni << ModificheArchivio::Sostituzione{locali[p.locale].indice,
                                                                              locali[p.locale].byte, schedaDa(testi)};
                else
                    modifiche.aggiunte << schedaDa(testi);
                vociAggiornate << std::pair{p.voce, testi};
                break;
            case Decisione::ScaricaNuova:
                modifiche.aggiunte << schedaDa(testi);
                if (p.voce >= 0)
                    vociAggiornate << std::pair{p.voce, testi};
                else
                    vociScaricate << VoceSync{uidDaVCard(s.vcard), s.href, s.etag, testi};
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
        const EsitoModifiche esito = applicaModifiche(m_appDir, modifiche);
        if (esito == EsitoModifiche::Fatte) {
            for (const auto& [v, testi] : std::as_const(vociAggiornate)) {
                m_stato.voci[v].etag = scaricate.value(m_stato.voci[v].href).etag;
                m_stato.voci[v].campi = testi;
            }
            nuoveVoci += vociScaricate;
            daTogliere += vociEliminateQui;
            r.ricevuti += int(vociAggiornate.size() + vociScaricate.size());
            r.eliminati += int(vociEliminateQui.size());
        } else {
            r.errore = messaggioModifiche(esito);
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
    if (!m_stato.scrivi(m_appDir, &motivo) && r.errore.isEmpty())
        r.errore = QStringLiteral("Impossibile scrivere Contatti.sync (%1).").arg(motivo);
    avanza(totale, totale, QString());
    return r;
}
