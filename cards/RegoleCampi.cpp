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

// A text that names its own scheme ("file:", "javascript:", "HTTP:"), as opposed to a host that is followed
// by a port ("www.esempio.it:8080"). Such a text is not turned into an http address of a host named after
// the scheme; the shell service decides whether its scheme may be opened at all.
bool nominaUnoSchema(QStringView testo)
{
    if (testo.isEmpty() || !((testo[0] >= u'a' && testo[0] <= u'z') || (testo[0] >= u'A' && testo[0] <= u'Z')))
        return false;
    for (qsizetype i = 1; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c == u':')
            return i + 1 >= testo.size() || !(testo[i + 1] >= u'0' && testo[i + 1] <= u'9');
        const bool ammesso = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                             c == u'+' || c == u'-' || c == u'.';
        if (!ammesso)
            return false;
    }
    return false;
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
    if (nominaUnoSchema(trimmed))
        return trimmed;
    return Trim(completaIndirizzoWeb(testo));
}

QString indirizzoEmailDaAprire(const QString& testo)
{
    return QStringLiteral("mailto:") + senzaInvisibiliAiBordi(testo);
}
