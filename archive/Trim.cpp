#include "archive/Trim.h"

namespace {

inline uint codice(QChar c)
{
    return c.unicode();
}

inline uint codice(char c)
{
    return static_cast<unsigned char>(c);
}

template <typename View> View tagliaEstremi(View testo)
{
    qsizetype inizio = 0;
    qsizetype fine = testo.size();
    while (inizio < fine && codice(testo[inizio]) <= 32)
        ++inizio;
    while (fine > inizio && codice(testo[fine - 1]) <= 32)
        --fine;
    return testo.sliced(inizio, fine - inizio);
}

} // namespace

QString Trim(QStringView testo)
{
    return tagliaEstremi(testo).toString();
}

QStringView TrimView(QStringView testo)
{
    return tagliaEstremi(testo);
}

QByteArrayView TrimByte(QByteArrayView byte)
{
    return tagliaEstremi(byte);
}
