#include "archive/TestiScheda.h"

#include "archive/Cp1252.h"
#include "archive/Trim.h"

#include <algorithm>
#include <cstring>

namespace {

const char* slot(const TSchedaContatto& scheda, Campo campo)
{
    return reinterpret_cast<const char*>(&scheda) + kCampiScheda[campo].offset;
}

char* slot(TSchedaContatto& scheda, Campo campo)
{
    return reinterpret_cast<char*>(&scheda) + kCampiScheda[campo].offset;
}

} // namespace

QByteArrayView byteCampo(const TSchedaContatto& scheda, Campo campo)
{
    const char* s = slot(scheda, campo);
    const int lunghezza = std::min<int>(static_cast<unsigned char>(s[0]), kCampiScheda[campo].capacity);
    return QByteArrayView(s + 1, lunghezza);
}

QString testoCampo(const TSchedaContatto& scheda, Campo campo)
{
    return fromCp1252(TrimByte(byteCampo(scheda, campo)));
}

TestiScheda testiDaScheda(const TSchedaContatto& scheda)
{
    TestiScheda testi;
    for (int i = 0; i < kNumeroCampi; ++i)
        testi[i] = testoCampo(scheda, Campo(i));
    return testi;
}

void impostaCampo(TSchedaContatto& scheda, Campo campo, QStringView testo)
{
    const QByteArray byte = toCp1252(TrimView(testo));
    const int lunghezza = std::min<int>(byte.size(), kCampiScheda[campo].capacity);
    char* s = slot(scheda, campo);
    s[0] = static_cast<char>(lunghezza);
    std::memcpy(s + 1, byte.constData(), lunghezza);
}

void schedaDaTesti(TSchedaContatto& scheda, const TestiScheda& testi)
{
    for (int i = 0; i < kNumeroCampi; ++i)
        impostaCampo(scheda, Campo(i), testi[i]);
}
