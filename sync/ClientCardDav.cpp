#include "sync/ClientCardDav.h"

#include "sync/Multistatus.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#if QT_CONFIG(ssl)
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#endif
#include <QTimer>

namespace {

constexpr int kMassimoRedirezioni = 5;
constexpr int kHrefPerRichiesta = 250;

const QString kDav = QStringLiteral("DAV:");
const QString kCardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");

QString dav(const char* nome)
{
    return kDav + u':' + QLatin1StringView(nome);
}
QString carddav(const char* nome)
{
    return kCardDav + u':' + QLatin1StringView(nome);
}

QByteArray xmlEscape(const QString& testo)
{
    return testo.toHtmlEscaped().toUtf8();
}

QString messaggioStato(int stato)
{
    switch (stato) {
    case 401:
        return QStringLiteral("Il server non accetta il nome utente o la password.");
    case 403:
        return QStringLiteral("Il server non consente questa operazione (403).");
    case 404:
        return QStringLiteral("L'indirizzo non esiste sul server (404): controllare l'indirizzo della rubrica.");
    case 412:
        return QStringLiteral("Un contatto è stato modificato sul server durante la sincronizzazione (412).");
    case 507:
        return QStringLiteral("Il server non ha più spazio per i contatti (507).");
    default:
        return QStringLiteral("Il server ha risposto con un errore (%1).").arg(stato);
    }
}

QString messaggioRete(QNetworkReply::NetworkError errore)
{
    switch (errore) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Impossibile collegarsi al server: non risponde a quell'indirizzo.");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Server non trovato: controllare l'indirizzo.");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("Il server non risponde.");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("Connessione sicura non riuscita: il certificato del server non è valido.");
    default:
        return QStringLiteral("La connessione con il server si è interrotta.");
    }
}

bool suQuestoComputer(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress indirizzo(host);
    return !indirizzo.isNull() && indirizzo.isLoopback();
}

QString percorsoDi(const QUrl& url)
{
    return percorsoCanonico(url.path(QUrl::FullyEncoded));
}

bool eRaccolta(const RispostaDav& r)
{
    return r.proprieta.value(dav("resourcetype")).figli.contains(dav("collection"));
}

Rubrica rubricaDa(const QUrl& base, const RispostaDav& r)
{
    Rubrica rubrica;
    rubrica.url = base.resolved(QUrl(r.href));
    // An answer about the address asked for names that address, wherever its href points.
    if (!stessaOrigine(rubrica.url, base))
        rubrica.url = base;
    if (!rubrica.url.path().endsWith(u'/'))
        rubrica.url.setPath(rubrica.url.path() + u'/');
    rubrica.nome = r.proprieta.value(dav("displayname")).testo.trimmed();
    if (rubrica.nome.isEmpty())
        rubrica.nome = rubrica.url.path().section(u'/', -2, -2);
    rubrica.syncCollection = r.proprieta.value(dav("supported-report-set")).tutti.contains(dav("sync-collection"));
    return rubrica;
}

} // namespace

ClientCardDav::ClientCardDav(const QString& utente, const QString& password)
    : m_rete(std::make_unique<QNetworkAccessManager>()), m_utente(utente), m_password(password)
{
    // Answers are never kept: a contact must come from the server each time it is asked for.
    m_rete->setCookieJar(nullptr);
}

ClientCardDav::~ClientCardDav() = default;

bool ClientCardDav::richiedeConferma(const QUrl& url)
{
    return url.scheme() == u"http" && !suQuestoComputer(url);
}

QString ClientCardDav::messaggioAnnullata()
{
    return QStringLiteral("Sincronizzazione annullata.");
}

QByteArray ClientCardDav::impronta(const QByteArray& der)
{
    return QCryptographicHash::hash(der, QCryptographicHash::Sha256).toHex(':').toUpper();
}

void ClientCardDav::accettaCertificato(const QByteArray& sha256)
{
    // The 32 bytes of the hash themselves, or their hex text (what a person types), with or without colons.
    QByteArray hex = sha256.size() == 32 ? sha256.toHex() : sha256.trimmed();
    hex.replace(':', "");
    m_certificato = hex.isEmpty() ? QByteArray() : QByteArray::fromHex(hex).toHex(':').toUpper();
}

QByteArray ClientCardDav::autorizzazione(const QByteArray& metodo, const QUrl& url)
{
    if (m_utente.isEmpty())
        return {};
    if (!m_digest)
        return "Basic " + (m_utente + u':' + m_password).toUtf8().toBase64();
    QByteArray uri = url.path(QUrl::FullyEncoded).toUtf8();
    if (uri.isEmpty())
        uri = "/";
    if (url.hasQuery())
        uri += '?' + url.query(QUrl::FullyEncoded).toUtf8();
    QByteArray cnonce(16, Qt::Uninitialized);
    for (char& c : cnonce)
        c = char(QRandomGenerator::system()->generate());
    return rispostaDigest(*m_digest, m_utente, m_password, metodo, uri, ++m_nc, cnonce.toHex());
}

RispostaHttp ClientCardDav::richiesta(const QByteArray& metodo, const QUrl& url, const QByteArray& corpo,
                                      const QList<std::pair<QByteArray, QByteArray>>& intestazioni)
{
    RispostaHttp r;
    // The credentials belong to the first address the client is given.
    if (m_origine.isEmpty())
        m_origine = senzaCredenziali(url);
    QUrl attuale = senzaCredenziali(url);
    QElapsedTimer orologio;
    orologio.start();
    int salti = 0;
    int sfide = 0;
    while (true) {
        r.url = attuale;
        if (m_annullato) {
            r.errore = messaggioAnnullata();
            return r;
        }
        const QString schema = attuale.scheme();
        if (schema != u"https" && schema != u"http") {
            r.errore = QStringLiteral("L'indirizzo del server deve cominciare con https:// (o http://).");
            return r;
        }
        if (!stessaOrigine(attuale, m_origine)) {
            r.errore = QStringLiteral("Il server rimanda a un altro indirizzo (%1): rifiutato, la password non viene "
                                      "inviata altrove.")
                           .arg(attuale.toString().left(200));
            return r;
        }
        if (richiedeConferma(attuale) && hostPorta(attuale) != m_httpPermessoPer) {
            r.errore = QStringLiteral("Il server usa una connessione non protetta (http): la password passerebbe in "
                                      "chiaro sulla rete.");
            return r;
        }
        QNetworkRequest req(attuale);
        req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        req.setTransferTimeout(m_timeout);
        req.setRawHeader("User-Agent", "Carnetto/4.0");
        const QByteArray credenziali = autorizzazione(metodo, attuale);
        if (!credenziali.isEmpty())
            req.setRawHeader("Authorization", credenziali);
        if (metodo == "PROPFIND" || metodo == "REPORT")
            req.setRawHeader("Content-Type", "application/xml; charset=utf-8");
        for (const auto& [nome, valore] : intestazioni)
            req.setRawHeader(nome, valore);

        QNetworkReply* reply = m_rete->sendCustomRequest(req, metodo, corpo);
        std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> guardia(reply,
                                                                         [](QNetworkReply* p) { p->deleteLater(); });
        QByteArray ricevuto;
        bool troppo = false;
        bool scaduto = false;
        bool certificatoRifiutato = false;
        bool certificatoCambiato = false;
        const auto leggi = [&] {
            if (troppo || !reply->isOpen())
                return;
            if (ricevuto.size() + reply->bytesAvailable() > m_limite) {
                troppo = true;
                reply->abort();
                return;
            }
            ricevuto += reply->readAll();
        };
        QEventLoop attesa;
        QObject::connect(reply, &QNetworkReply::finished, &attesa, &QEventLoop::quit);
        QObject::connect(reply, &QNetworkReply::readyRead, &attesa, leggi);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &attesa, [&] {
            if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > m_limite) {
                troppo = true;
                reply->abort();
            }
        });
#if QT_CONFIG(ssl)
        QObject::connect(reply, &QNetworkReply::sslErrors, &attesa, [&](const QList<QSslError>& errori) {
            QSslCertificate foglia = reply->sslConfiguration().peerCertificate();
            if (foglia.isNull() && !errori.isEmpty())
                foglia = errori.first().certificate();
            const QByteArray suaImpronta = impronta(foglia.toDer());
            bool soloSuoi = !foglia.isNull();
            for (const QSslError& e : errori)
                soloSuoi = soloSuoi && (e.certificate().isNull() || e.certificate() == foglia);
            if (!m_certificato.isEmpty() && suaImpronta == m_certificato && soloSuoi) {
                reply->ignoreSslErrors(errori);
                return;
            }
            m_rifiutato = suaImpronta;
            certificatoRifiutato = true;
            certificatoCambiato = !m_certificato.isEmpty() && suaImpronta != m_certificato;
        });
#endif
        QTimer controllo;
        QObject::connect(&controllo, &QTimer::timeout, reply, [&] {
            if (m_annullato) {
                reply->abort();
            } else if (orologio.elapsed() > m_scadenza) {
                scaduto = true;
                reply->abort();
            }
        });
        controllo.start(50);
        if (!reply->isFinished())
            attesa.exec(QEventLoop::ExcludeUserInputEvents);
        controllo.stop();
        leggi();
        ++m_richieste;
        r.stato = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (m_annullato) {
            r.errore = messaggioAnnullata();
            return r;
        }
        if (troppo) {
            r.stato = 0;
            r.errore = QStringLiteral("La risposta del server supera %1 MB: rifiutata.").arg(m_limite / (1024 * 1024));
            return r;
        }
        if (scaduto) {
            r.stato = 0;
            r.errore = QStringLiteral("Il server non ha finito di rispondere in %1 secondi: richiesta interrotta.")
                           .arg(m_scadenza / 1000);
            return r;
        }
        if (certificatoRifiutato) {
            r.stato = 0;
            r.errore = certificatoCambiato
                           ? QStringLiteral("Il certificato del server è cambiato (impronta SHA-256 %1): rifiutato. "
                                            "Se il server ha davvero un certificato nuovo, accettarlo di nuovo.")
                                 .arg(QString::fromLatin1(m_rifiutato))
                           : QStringLiteral("Il certificato del server non è riconosciuto da questo computer "
                                            "(impronta SHA-256 %1).")
                                 .arg(QString::fromLatin1(m_rifiutato));
            return r;
        }
        if (r.stato == 0) {
            r.errore = messaggioRete(reply->error());
            return r;
        }
        if (r.stato == 401 && !m_utente.isEmpty() && sfide < 3) {
            QList<QByteArray> www;
            for (const auto& [nome, valore] : reply->rawHeaderPairs()) {
                if (nome.compare("WWW-Authenticate", Qt::CaseInsensitive) == 0)
                    www << valore;
            }
            SfidaDigest sfida;
            // A Digest answer refused with a fresh nonce that is not "stale" means a wrong password.
            if (sfidaDigestMigliore(leggiSfide(www), &sfida) && (!credenziali.startsWith("Digest") || sfida.stale)) {
                m_digest = sfida;
                m_nc = 0;
                ++sfide;
                continue;
            }
        }
        if (r.stato >= 300 && r.stato < 400 && reply->hasRawHeader("Location")) {
            const QUrl prossimo = attuale.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
            // Never from an encrypted connection to a plain one.
            if (attuale.scheme() == u"https" && prossimo.scheme() != u"https") {
                r.errore = QStringLiteral("Il server rimanda a un indirizzo non protetto (http): rifiutato.");
                return r;
            }
            if (++salti > kMassimoRedirezioni) {
                r.errore = QStringLiteral("Il server rimanda da un indirizzo all'altro senza fine.");
                return r;
            }
            attuale = senzaCredenziali(prossimo);
            continue;
        }
        r.corpo = ricevuto;
        r.etag = reply->rawHeader("ETag");
        if (r.stato >= 400)
            r.errore = messaggioStato(r.stato);
        return r;
    }
}

RispostaHttp ClientCardDav::propfind(const QUrl& url, int profondita, const QByteArray& proprieta)
{
    const QByteArray corpo = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                             "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\"><d:prop>" +
                             proprieta + "</d:prop></d:propfind>";
    return richiesta("PROPFIND", url, corpo, {{"Depth", QByteArray::number(profondita)}});
}

Rubrica ClientCardDav::leggiRubrica(const QUrl& url, QString* errore)
{
    const RispostaHttp r = propfind(url, 0, "<d:resourcetype/><d:displayname/><d:supported-report-set/>");
    const Multistatus m = leggiMultistatus(r.corpo);
    if (!r.riuscita() || !m.valido || m.risposte.isEmpty() ||
        !m.risposte[0].proprieta.value(dav("resourcetype")).figli.contains(carddav("addressbook"))) {
        if (errore)
            *errore = r.riuscita() ? QStringLiteral("A quell'indirizzo non c'è una rubrica.") : r.errore;
        return {};
    }
    return rubricaDa(r.url, m.risposte[0]);
}

QList<Rubrica> ClientCardDav::scopri(const QUrl& indirizzo, QString* errore)
{
    const auto fallita = [errore](const QString& motivo) {
        if (errore)
            *errore = motivo;
        return QList<Rubrica>{};
    };
    // Why the search failed, when it was not merely "not here": the first such reason is the one to tell.
    QString motivo;
    // True when the search must stop at this answer: no answer at all, a refused password, a refused address.
    const auto bloccante = [&](const RispostaHttp& r) {
        if (r.riuscita() || r.stato == 404)
            return false;
        if (motivo.isEmpty())
            motivo = r.errore;
        return r.stato == 0 || r.stato == 401 || r.stato / 100 == 3 || m_annullato;
    };
    // The address may be an address book's own.
    const RispostaHttp prima = propfind(indirizzo, 0, "<d:resourcetype/><d:displayname/><d:supported-report-set/>");
    const Multistatus m0 = leggiMultistatus(prima.corpo);
    if (prima.riuscita() && m0.valido && !m0.risposte.isEmpty() &&
        m0.risposte[0].proprieta.value(dav("resourcetype")).figli.contains(carddav("addressbook")))
        return {rubricaDa(prima.url, m0.risposte[0])};
    if (bloccante(prima))
        return fallita(motivo);

    // The principal of the user, at the address or through the well-known one.
    const QByteArray principale = "<d:current-user-principal/><c:addressbook-home-set/>";
    QList<QUrl> candidati{indirizzo, indirizzo.resolved(QUrl(QStringLiteral("/.well-known/carddav")))};
    QUrl casa;
    for (const QUrl& candidato : candidati) {
        RispostaHttp r = propfind(candidato, 0, principale);
        Multistatus m = leggiMultistatus(r.corpo);
        if (!r.riuscita() || !m.valido || m.risposte.isEmpty()) {
            if (bloccante(r))
                return fallita(motivo);
            continue;
        }
        const QStringList case_ = m.risposte[0].proprieta.value(carddav("addressbook-home-set")).href;
        if (!case_.isEmpty()) {
            casa = r.url.resolved(QUrl(case_.first()));
            break;
        }
        const QStringList principali = m.risposte[0].proprieta.value(dav("current-user-principal")).href;
        if (principali.isEmpty())
            continue;
        const QUrl urlPrincipale = r.url.resolved(QUrl(principali.first()));
        r = propfind(urlPrincipale, 0, principale);
        m = leggiMultistatus(r.corpo);
        if (r.riuscita() && m.valido && !m.risposte.isEmpty()) {
            const QStringList trovate = m.risposte[0].proprieta.value(carddav("addressbook-home-set")).href;
            if (!trovate.isEmpty()) {
                casa = r.url.resolved(QUrl(trovate.first()));
                break;
            }
        } else if (bloccante(r)) {
            return fallita(motivo);
        }
    }
    if (!casa.isValid())
        return fallita(m_annullato         ? messaggioAnnullata()
                       : !motivo.isEmpty() ? motivo
                                           : QStringLiteral("A quell'indirizzo non si trova nessuna rubrica CardDAV."));

    const RispostaHttp r = propfind(casa, 1, "<d:resourcetype/><d:displayname/><d:supported-report-set/>");
    const Multistatus m = leggiMultistatus(r.corpo);
    if (!r.riuscita())
        return fallita(r.errore);
    QList<Rubrica> rubriche;
    for (const RispostaDav& risposta : m.risposte) {
        // An address book elsewhere would take the password there: not offered.
        if (risposta.proprieta.value(dav("resourcetype")).figli.contains(carddav("addressbook")) &&
            !hrefCanonico(r.url, risposta.href).isEmpty())
            rubriche << rubricaDa(r.url, risposta);
    }
    if (rubriche.isEmpty())
        return fallita(QStringLiteral("Il server non ha nessuna rubrica per questo utente."));
    return rubriche;
}

ElencoRemoto ClientCardDav::elenca(const Rubrica& rubrica, const QByteArray& token)
{
    ElencoRemoto elenco;
    const QString propria = percorsoDi(rubrica.url);
    // A contact is named by a canonical path directly inside the address book; anything else is left out.
    const auto contatto = [&](const QUrl& base, const QString& href, QString* percorso) {
        *percorso = hrefCanonico(base, href);
        if (*percorso == propria)
            return false;
        if (!direttamenteDentro(*percorso, propria)) {
            ++elenco.rifiutati;
            return false;
        }
        return true;
    };
    if (!rubrica.syncCollection) {
        const RispostaHttp r = propfind(rubrica.url, 1, "<d:resourcetype/><d:getetag/>");
        const Multistatus m = leggiMultistatus(r.corpo);
        if (!r.riuscita() || !m.valido) {
            elenco.errore = r.riuscita() ? QStringLiteral("Risposta del server non comprensibile.") : r.errore;
            return elenco;
        }
        for (const RispostaDav& risposta : m.risposte) {
            QString href;
            if (contatto(r.url, risposta.href, &href) && !eRaccolta(risposta) && risposta.stato / 100 == 2)
                elenco.voci << VoceRemota{href, risposta.proprieta.value(dav("getetag")).testo.trimmed().toUtf8()};
        }
        return elenco;
    }

    QByteArray daToken = token;
    for (int giro = 0; giro < 1000; ++giro) {
        const QByteArray corpo = "<?xml version=\"1.0\" encoding=\"utf-8\"?><d:sync-collection xmlns:d=\"DAV:\">"
                                 "<d:sync-token>" +
                                 xmlEscape(QString::fromUtf8(daToken)) +
                                 "</d:sync-token><d:sync-level>1</d:sync-level>"
                                 "<d:prop><d:getetag/></d:prop></d:sync-collection>";
        const RispostaHttp r = richiesta("REPORT", rubrica.url, corpo);
        // A token the server no longer knows: everything again, from the start.
        if (!r.riuscita() && !daToken.isEmpty() && (r.stato == 403 || r.stato == 409 || r.stato == 400)) {
            daToken.clear();
            elenco = ElencoRemoto{};
            continue;
        }
        const Multistatus m = leggiMultistatus(r.corpo);
        if (!r.riuscita() || !m.valido) {
            elenco.errore = r.riuscita() ? QStringLiteral("Risposta del server non comprensibile.") : r.errore;
            return elenco;
        }
        elenco.completo = elenco.completo && daToken.isEmpty();
        bool troncato = false;
        for (const RispostaDav& risposta : m.risposte) {
            QString href;
            if (!contatto(r.url, risposta.href, &href)) {
                troncato = troncato || (href == propria && risposta.stato == 507);
                continue;
            }
            if (risposta.stato == 404)
                elenco.rimossi << href;
            else if (!eRaccolta(risposta))
                elenco.voci << VoceRemota{href, risposta.proprieta.value(dav("getetag")).testo.trimmed().toUtf8()};
        }
        elenco.token = m.syncToken;
        if (!troncato)
            return elenco;
        daToken = m.syncToken;
    }
    elenco.errore = QStringLiteral("Il server non finisce di elencare i contatti.");
    return elenco;
}

QList<SchedaRemota> ClientCardDav::scarica(const QUrl& rubrica, const QStringList& href, QString* errore)
{
    QList<SchedaRemota> schede;
    const QString propria = percorsoDi(rubrica);
    for (qsizetype inizio = 0; inizio < href.size(); inizio += kHrefPerRichiesta) {
        QByteArray corpo = "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                           "<c:addressbook-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:carddav\">"
                           "<d:prop><d:getetag/><c:address-data/></d:prop>";
        for (const QString& h : href.mid(inizio, kHrefPerRichiesta))
            corpo += "<d:href>" + xmlEscape(h) + "</d:href>";
        corpo += "</c:addressbook-multiget>";
        const RispostaHttp r = richiesta("REPORT", rubrica, corpo, {{"Depth", "1"}});
        const Multistatus m = leggiMultistatus(r.corpo);
        if (!r.riuscita() || !m.valido) {
            if (errore)
                *errore = r.riuscita() ? QStringLiteral("Risposta del server non comprensibile.") : r.errore;
            return {};
        }
        for (const RispostaDav& risposta : m.risposte) {
            // Gone: its own status says so, or no successful propstat brought its vCard.
            if (risposta.stato == 404 || !risposta.datiIndirizzo)
                continue;
            const QString percorso = hrefCanonico(r.url, risposta.href);
            if (!direttamenteDentro(percorso, propria) || percorso.endsWith(u'/')) {
                ++m_rifiutatiScaricando;
                continue;
            }
            SchedaRemota scheda{percorso, risposta.proprieta.value(dav("getetag")).testo.trimmed().toUtf8(),
                                risposta.proprieta.value(carddav("address-data")).testo.toUtf8()};
            if (scheda.vcard.size() > kLimiteVCard) {
                scheda.vcard.clear();
                scheda.illeggibile = true;
            }
            schede << scheda;
        }
    }
    return schede;
}

RispostaHttp ClientCardDav::metti(const QUrl& url, const QByteArray& vcard, const QByteArray& etag)
{
    RispostaHttp r = richiesta("PUT", url, vcard,
                               {{"Content-Type", "text/vcard; charset=utf-8"},
                                etag.isEmpty() ? std::pair<QByteArray, QByteArray>{"If-None-Match", "*"}
                                               : std::pair<QByteArray, QByteArray>{"If-Match", etag}});
    if (r.riuscita() && r.etag.isEmpty()) {
        // A server that does not say the new version's ETag with the answer says it when asked.
        const RispostaHttp p = propfind(url, 0, "<d:getetag/>");
        const Multistatus m = leggiMultistatus(p.corpo);
        if (p.riuscita() && m.valido && !m.risposte.isEmpty())
            r.etag = m.risposte[0].proprieta.value(dav("getetag")).testo.trimmed().toUtf8();
    }
    return r;
}

RispostaHttp ClientCardDav::togli(const QUrl& url, const QByteArray& etag)
{
    RispostaHttp r = richiesta("DELETE", url, {}, {{"If-Match", etag}});
    // Already gone is what was wanted.
    if (r.stato == 404) {
        r.errore.clear();
        r.stato = 204;
    }
    return r;
}
