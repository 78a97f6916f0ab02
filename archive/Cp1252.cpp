#include "archive/Cp1252.h"

#include <array>

namespace {

// Bytes 0x80..0x9F; the rest of the code page is the same as Latin-1.
constexpr std::array<char16_t, 32> kAlti = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> creaDecodifica()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = char16_t(i);
    for (int i = 0; i < 32; ++i)
        t[0x80 + i] = kAlti[i];
    return t;
}

constexpr std::array<char16_t, 256> kDecodifica = creaDecodifica();

// The characters above U+00FF that the code page holds all lie in 0x0152..0x2122; one byte per code in that
// span keeps the encoder to a lookup. Zero means "not in the code page".
constexpr char16_t kPrimoSpeciale = 0x0152;
constexpr char16_t kUltimoSpeciale = 0x2122;

constexpr std::array<unsigned char, kUltimoSpeciale - kPrimoSpeciale + 1> creaSpeciali()
{
    std::array<unsigned char, kUltimoSpeciale - kPrimoSpeciale + 1> t{};
    for (int i = 0; i < 32; ++i) {
        if (kAlti[i] >= kPrimoSpeciale)
            t[kAlti[i] - kPrimoSpeciale] = static_cast<unsigned char>(0x80 + i);
    }
    return t;
}

constexpr auto kSpeciali = creaSpeciali();

// The code points 0x80..0x9F that are not undefined bytes of the code page have no byte of their own.
constexpr bool eByteIndefinito(char16_t c)
{
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

inline char codifica(char16_t c)
{
    if (c < 0x80 || c >= 0xA0) {
        if (c <= 0xFF)
            return char(c);
        if (c >= kPrimoSpeciale && c <= kUltimoSpeciale) {
            const unsigned char b = kSpeciali[c - kPrimoSpeciale];
            if (b != 0)
                return char(b);
        }
        return '?';
    }
    return eByteIndefinito(c) ? char(c) : '?';
}

} // namespace

qsizetype toCp1252(QStringView testo, char* out)
{
    const char16_t* p = testo.utf16();
    const qsizetype n = testo.size();
    qsizetype scritti = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1]))
            ++i;
        out[scritti++] = codifica(c);
    }
    return scritti;
}

QByteArray toCp1252(QStringView testo)
{
    QByteArray byte(testo.size(), Qt::Uninitialized);
    byte.truncate(toCp1252(testo, byte.data()));
    return byte;
}

QString fromCp1252(QByteArrayView byte)
{
    QString testo(byte.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(testo.data());
    const auto* in = reinterpret_cast<const unsigned char*>(byte.data());
    for (qsizetype i = 0; i < byte.size(); ++i)
        out[i] = kDecodifica[in[i]];
    return testo;
}
