#include "sync/PercorsoDav.h"

namespace {

const QByteArray kLasciati = "!$&'()*+,;=:@"; // besides the unreserved characters

int portaDi(const QUrl& url)
{
    return url.port(url.scheme() == u"https" ? 443 : url.scheme() == u"http" ? 80 : -1);
}

} // namespace

QString percorsoCanonico(const QString& percorsoCodificato)
{
    const QList<QByteArray> segmenti = percorsoCodificato.toUtf8().split('/');
    QByteArray out;
    for (qsizetype i = 0; i < segmenti.size(); ++i) {
        const QByteArray chiaro = QByteArray::fromPercentEncoding(segmenti[i]);
        if (chiaro == "." || chiaro == "..")
            return {};
        if (i > 0)
            out += '/';
        out += chiaro.toPercentEncoding(kLasciati);
    }
    return QString::fromLatin1(out);
}

QString hrefCanonico(const QUrl& base, const QString& href)
{
    const QUrl url = base.resolved(QUrl::fromEncoded(href.trimmed().toUtf8()));
    if (!url.isValid() || !stessaOrigine(url, base))
        return {};
    return percorsoCanonico(url.path(QUrl::FullyEncoded));
}

bool direttamenteDentro(const QString& percorso, const QString& raccolta)
{
    if (raccolta.isEmpty() || !raccolta.endsWith(u'/') || !percorso.startsWith(raccolta))
        return false;
    const QStringView resto = QStringView(percorso).mid(raccolta.size());
    const qsizetype barra = resto.indexOf(u'/');
    // A contact, or a collection inside (its final "/"), never deeper.
    return !resto.isEmpty() && (barra < 0 || barra == resto.size() - 1) && resto != u"/";
}

QString hostPorta(const QUrl& url)
{
    return url.host().toLower() + u':' + QString::number(portaDi(url));
}

bool stessaOrigine(const QUrl& a, const QUrl& b)
{
    return a.scheme().toLower() == b.scheme().toLower() && a.host().toLower() == b.host().toLower() &&
           portaDi(a) == portaDi(b);
}

QUrl senzaCredenziali(QUrl url)
{
    url.setUserInfo({});
    return url;
}
