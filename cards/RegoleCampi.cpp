#include "cards/RegoleCampi.h"

#include "archive/Trim.h"

namespace {

// What cannot be part of an address at its ends: the blanks and controls up to code 32 that every field
// loses, and what else a keyboard or a paste can put there unseen: other blanks (the no-break blank),
// the control characters from 127 up, and the invisible format characters (zero-width space, direction
// marks, byte-order mark).
bool invisibile(QChar c)
{
    return c.unicode() <= 32 || c.isSpace() || c.category() == QChar::Other_Control ||
           c.category() == QChar::Other_Format;
}

QString senzaInvisibiliAiBordi(QStringView testo)
{
    qsizetype inizio = 0;
    qsizetype fine = testo.size();
    while (inizio < fine && invisibile(testo[inizio]))
        ++inizio;
    while (fine > inizio && invisibile(testo[fine - 1]))
        --fine;
    return testo.sliced(inizio, fine - inizio).toString();
}

// The scheme a text names for itself ("file" in "file:///...", "HTTP" in "HTTP://..."), as opposed to a
// host followed by a port ("www.esempio.it:8080"); empty when it names none.
QStringView schemaNominato(QStringView testo)
{
    const auto lettera = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    const auto cifra = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (testo.isEmpty() || !lettera(testo[0]))
        return {};
    for (qsizetype i = 1; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c == u':')
            return i + 1 < testo.size() && cifra(testo[i + 1]) ? QStringView() : testo.first(i);
        if (!lettera(c) && !cifra(c) && c != u'+' && c != u'-' && c != u'.')
            return {};
    }
    return {};
}

} // namespace

QString completaIndirizzoWeb(const QString& testo)
{
    const QString trimmed = Trim(testo);
    if (trimmed.isEmpty())
        return kWebPredefinito.toString();
    if (testo.startsWith(u"http://") || testo.startsWith(u"ftp://") || testo.startsWith(u"https://"))
        return testo;
    return kWebPredefinito + trimmed;
}

QString indirizzoWebDaAprire(const QString& testo)
{
    const QString trimmed = Trim(testo);
    const QStringView schema = schemaNominato(trimmed);
    if (schema.isEmpty())
        return Trim(completaIndirizzoWeb(testo));
    for (const char16_t* ammesso : {u"http", u"https", u"ftp"}) {
        if (schema.compare(QStringView(ammesso), Qt::CaseInsensitive) == 0)
            return trimmed;
    }
    return {};
}

QString indirizzoEmailDaAprire(const QString& testo)
{
    return QStringLiteral("mailto:") + senzaInvisibiliAiBordi(testo);
}
