#include "sync/StatoSync.h"

#include "sync/PercorsoDav.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

// 2: each entry knows the identity of its card here. A state of version 1 is read as well: its entries are
// found again by content.
constexpr int kVersione = 2;

} // namespace

QString StatoSync::percorso(const QString& appDir)
{
    return appDir + QStringLiteral("/Contatti.sync");
}

TestiScheda normalizza(const TestiScheda& testi)
{
    TestiScheda n = testi;
    for (QString& t : n)
        t = t.trimmed();
    const QString web = n[Web];
    if (web.endsWith(QLatin1String("://")) && !web.chopped(3).contains(u'/'))
        n[Web].clear();
    return n;
}

QByteArray impronta(const TestiScheda& testi)
{
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString& t : normalizza(testi)) {
        h.addData(t.toUtf8());
        h.addData(QByteArrayView("\x1f", 1));
    }
    return h.result().toHex().left(32);
}

bool StatoSync::accantona(const QString& appDir)
{
    const QString danneggiato = percorso(appDir) + QStringLiteral(".danneggiato");
    QFile::remove(danneggiato);
    return QFile::rename(percorso(appDir), danneggiato);
}

bool stessaRubrica(const QUrl& a, const QUrl& b)
{
    const auto forma = [](const QUrl& u) {
        const QString schema = u.scheme().toLower();
        QString percorso = QUrl::fromPercentEncoding(u.path(QUrl::FullyEncoded).toUtf8());
        if (!percorso.endsWith(u'/'))
            percorso += u'/';
        return QStringList{schema, u.host().toLower(),
                           QString::number(u.port(schema == u"http"    ? 80
                                                  : schema == u"https" ? 443
                                                                       : -1)),
                           percorso};
    };
    return a.isValid() && b.isValid() && forma(a) == forma(b);
}

std::optional<StatoSync> StatoSync::leggi(const QString& appDir, QString* errore)
{
    if (errore)
        errore->clear();
    QFile file(percorso(appDir));
    if (!file.exists())
        return std::nullopt;
    const auto fallito = [errore](const QString& motivo) -> std::optional<StatoSync> {
        if (errore)
            *errore = motivo;
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return fallito(QStringLiteral("impossibile leggere Contatti.sync (%1)").arg(file.errorString()));
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    const QJsonObject o = doc.object();
    const int versione = o.value(QLatin1String("versione")).toInt();
    if (!doc.isObject() || versione < 1 || versione > kVersione)
        return fallito(QStringLiteral("Contatti.sync è danneggiato o di un'altra versione"));
    StatoSync s;
    // An address written by an older version may hold a user name and a password: never again.
    s.server = senzaCredenziali(QUrl(o.value(QLatin1String("server")).toString())).toString();
    s.rubrica = senzaCredenziali(QUrl(o.value(QLatin1String("rubrica")).toString()));
    s.nomeRubrica = o.value(QLatin1String("nomeRubrica")).toString();
    s.syncCollection = o.value(QLatin1String("syncCollection")).toBool();
    s.utente = o.value(QLatin1String("utente")).toString();
    s.httpPermessoPer = o.value(QLatin1String("httpPermessoPer")).toString();
    // An older file allowed plain http to "the server": the address book's.
    if (s.httpPermessoPer.isEmpty() && o.value(QLatin1String("httpPermesso")).toBool())
        s.httpPermessoPer = hostPorta(s.rubrica);
    s.certificato = o.value(QLatin1String("certificato")).toString().toLatin1();
    s.token = o.value(QLatin1String("token")).toString().toUtf8();
    for (const QJsonValue& v : o.value(QLatin1String("voci")).toArray()) {
        const QJsonObject e = v.toObject();
        VoceSync voce;
        voce.uid = e.value(QLatin1String("uid")).toString();
        voce.href = percorsoCanonico(e.value(QLatin1String("href")).toString());
        voce.etag = e.value(QLatin1String("etag")).toString().toUtf8();
        voce.locale = e.value(QLatin1String("locale")).toString().toLatin1();
        const QJsonArray campi = e.value(QLatin1String("campi")).toArray();
        for (int c = 0; c < kNumeroCampi && c < campi.size(); ++c)
            voce.campi[c] = campi[c].toString();
        if (voce.href.isEmpty())
            return fallito(QStringLiteral("Contatti.sync è danneggiato"));
        s.voci << voce;
    }
    if (!s.rubrica.isValid())
        return fallito(QStringLiteral("Contatti.sync è danneggiato"));
    return s;
}

bool StatoSync::scrivi(const QString& appDir, QString* errore) const
{
    QJsonArray voci;
    for (const VoceSync& v : std::as_const(this->voci)) {
        QJsonArray campi;
        for (const QString& c : v.campi)
            campi << c;
        voci << QJsonObject{{QLatin1String("uid"), v.uid},
                            {QLatin1String("href"), v.href},
                            {QLatin1String("etag"), QString::fromUtf8(v.etag)},
                            {QLatin1String("hash"), QString::fromLatin1(impronta(v.campi))},
                            {QLatin1String("campi"), campi},
                            {QLatin1String("locale"), QString::fromLatin1(v.locale)}};
    }
    const QJsonObject o{{QLatin1String("versione"), kVersione},
                        {QLatin1String("server"), senzaCredenziali(QUrl(server)).toString()},
                        {QLatin1String("rubrica"), senzaCredenziali(rubrica).toString()},
                        {QLatin1String("nomeRubrica"), nomeRubrica},
                        {QLatin1String("syncCollection"), syncCollection},
                        {QLatin1String("utente"), utente},
                        {QLatin1String("httpPermessoPer"), httpPermessoPer},
                        {QLatin1String("certificato"), QString::fromLatin1(certificato)},
                        {QLatin1String("token"), QString::fromUtf8(token)},
                        {QLatin1String("voci"), voci}};
    QSaveFile file(percorso(appDir));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) < 0 ||
        !file.commit()) {
        if (errore)
            *errore = file.errorString();
        return false;
    }
    return true;
}
