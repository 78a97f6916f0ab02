#include "vcard/CodecVCard.h"
#include "vcard/CodecVCardInterno.h"

#include "archive/Cp1252.h"
#include "archive/Trim.h"

#include <QCryptographicHash>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

using namespace codecvcard;

// Cards written as vCards: the writer's half of CodecVCard.h.

namespace {

// The name space of the cards' UIDs: fixed, so that a UID depends on nothing but the card's texts.
constexpr char kSpazioUid[16] = {'\x51', '\x25', '\x31', '\xc3', '\x10', '\xc9', '\x4a', '\x9c',
                                 '\xb4', '\xdb', '\xf1', '\xde', '\x8c', '\x30', '\x4e', '\x5d'};

inline bool escapeInUri(char16_t c)
{
    return c == '\\' || c == ',' || c == ';' || c == ':';
}

// Whether the character written after the backslash at `i` of a URI, past those dropped, would make it an escape.
template <typename Carattere> bool barraDaRaddoppiare(const Carattere* s, qsizetype i, qsizetype n)
{
    for (qsizetype j = i + 1; j < n; ++j) {
        const char16_t c = s[j];
        if (c >= 0x80 || kAzioni[int(Escape::Uri)][c] != Scarta)
            return escapeInUri(c);
    }
    return false;
}

// The UTF-8 bytes of each Windows-1252 byte.
struct Utf8
{
    unsigned char n;
    char byte[3];
};

const std::array<Utf8, 256>& tabellaUtf8()
{
    static const std::array<Utf8, 256> tabella = [] {
        std::array<Utf8, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const char byte = char(i);
            const QByteArray utf8 = fromCp1252(QByteArrayView(&byte, 1)).toUtf8();
            t[i].n = static_cast<unsigned char>(utf8.size());
            std::memcpy(t[i].byte, utf8.constData(), utf8.size());
        }
        return t;
    }();
    return tabella;
}

// Writes one card straight into the end of `out`, which is grown once, by more than the card can take, before the
// first byte, and cut back to what was written at the end.
class Scrittore
{
public:
    Scrittore(QByteArray& out, qsizetype massimo) : m_out(out), m_utf8(tabellaUtf8())
    {
        const qsizetype inizio = out.size();
        out.resize(inizio + massimo);
        m_p = out.data() + inizio;
        m_riga = m_p;
    }
    ~Scrittore() { m_out.resize(m_p - m_out.constData()); }
    Scrittore(const Scrittore&) = delete;
    Scrittore& operator=(const Scrittore&) = delete;

    void letterale(QByteArrayView testo)
    {
        std::memcpy(m_p, testo.data(), testo.size());
        m_p += testo.size();
    }

    // Windows-1252 bytes, as a record holds them, or UTF-16.
    void valore(QByteArrayView testo, Escape escape)
    {
        valore(reinterpret_cast<const unsigned char*>(testo.data()), testo.size(), escape);
    }
    void valore(QStringView testo, Escape escape) { valore(testo.utf16(), testo.size(), escape); }

    // Ends the content line. One longer than 75 octets goes on in continuation lines that begin with one blank,
    // which counts toward their 75; a cut never falls inside a UTF-8 sequence, so every physical line is valid
    // UTF-8 on its own.
    void fineRiga()
    {
        const qsizetype lunghezza = m_p - m_riga;
        if (lunghezza > 75) {
            QVarLengthArray<char, 1024> riga;
            riga.append(m_riga, lunghezza);
            const char* q = riga.constData();
            char* p = m_riga;
            qsizetype inizio = 0;
            qsizetype limite = 75;
            while (lunghezza - inizio > limite) {
                qsizetype taglio = inizio + limite;
                while (taglio > inizio && (static_cast<unsigned char>(q[taglio]) & 0xC0) == 0x80)
                    --taglio;
                std::memcpy(p, q + inizio, taglio - inizio);
                p += taglio - inizio;
                std::memcpy(p, "\r\n ", 3);
                p += 3;
                inizio = taglio;
                limite = 74;
            }
            std::memcpy(p, q + inizio, lunghezza - inizio);
            m_p = p + lunghezza - inizio;
        }
        *m_p++ = '\r';
        *m_p++ = '\n';
        m_riga = m_p;
    }

private:
    template <typename Carattere> void valore(const Carattere* s, qsizetype n, Escape escape)
    {
        const std::array<Azione, 128>& azioni = kAzioni[int(escape)];
        char* p = m_p;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            if (c >= 0x80) {
                p = nonAscii(p, s, i, n);
                continue;
            }
            switch (azioni[c]) {
            case Copia:
                *p++ = char(c);
                break;
            case Escape_:
                *p++ = '\\';
                *p++ = char(c);
                break;
            case ACapo:
                if (c == '\r' && i + 1 < n && s[i + 1] == '\n')
                    ++i;
                *p++ = '\\';
                *p++ = 'n';
                break;
            case Scarta:
                break;
            case Barra:
                if (barraDaRaddoppiare(s, i, n))
                    *p++ = '\\';
                *p++ = '\\';
                break;
            }
        }
        m_p = p;
    }

    char* nonAscii(char* p, const unsigned char* s, qsizetype& i, qsizetype)
    {
        const Utf8& u = m_utf8[s[i]];
        std::memcpy(p, u.byte, 3);
        return p + u.n;
    }

    char* nonAscii(char* p, const char16_t* s, qsizetype& i, qsizetype n)
    {
        char32_t c = s[i];
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            c = QChar::surrogateToUcs4(char16_t(c), s[++i]);
        else if (QChar::isSurrogate(c))
            c = 0xFFFD;
        if (c < 0x800) {
            *p++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *p++ = char(0xE0 | (c >> 12));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *p++ = char(0xF0 | (c >> 18));
            *p++ = char(0x80 | ((c >> 12) & 0x3F));
            *p++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *p++ = char(0x80 | (c & 0x3F));
        return p;
    }

    QByteArray& m_out;
    const std::array<Utf8, 256>& m_utf8;
    char* m_p = nullptr;
    char* m_riga = nullptr;
};

template <typename Vista> using Campi = std::array<Vista, kNumeroCampi>;

// "http://", "ftp:", "mailto:": a scheme with nothing after it is no address, only the card window's preset.
template <typename Vista> bool soloSchema(Vista testo)
{
    const auto lettera = [](char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (testo.isEmpty() || !lettera(codice(testo[0])))
        return false;
    qsizetype i = 1;
    while (i < testo.size()) {
        const char16_t c = codice(testo[i]);
        if (!lettera(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            break;
        ++i;
    }
    if (i == testo.size() || codice(testo[i]) != ':')
        return false;
    const Vista resto = testo.sliced(i + 1);
    return resto.isEmpty() || (resto.size() == 2 && codice(resto[0]) == '/' && codice(resto[1]) == '/');
}

QByteArrayView taglia(QByteArrayView testo)
{
    return TrimByte(testo);
}

QStringView taglia(QStringView testo)
{
    return TrimView(testo);
}

// What stands in FN for a card without a name: the first of these fields that the card has.
constexpr Campo kRipieghiFn[] = {Azienda, Email, Tel,  Cellulare, Fax,     Web, Via,
                                 Citta,   Cap,   Prov, Stato,     CodFisc, Iva, Note};

template <typename Vista> void scriviFn(Scrittore& s, const Campi<Vista>& t)
{
    s.letterale("FN:");
    if (!t[Nome].isEmpty() || !t[Cognome].isEmpty()) {
        s.valore(t[Nome], Escape::Testo);
        if (!t[Nome].isEmpty() && !t[Cognome].isEmpty())
            s.letterale(" ");
        s.valore(t[Cognome], Escape::Testo);
    } else {
        for (Campo campo : kRipieghiFn) {
            const Vista v = campo == Note ? taglia(primaRiga(t[campo])) : t[campo];
            if (!v.isEmpty() && !(campo == Web && soloSchema(v))) {
                s.valore(v, Escape::Testo);
                break;
            }
        }
    }
    s.fineRiga();
}

template <typename Vista> void proprieta(Scrittore& s, QByteArrayView nome, Vista valore, Escape escape)
{
    if (valore.isEmpty())
        return;
    s.letterale(nome);
    s.valore(valore, escape);
    s.fineRiga();
}

// A version 5 UUID (RFC 4122: SHA-1 of the name space and the name) of the card's texts as the archive holds them.
void scriviUid(Scrittore& s, QByteArrayView chiave)
{
    thread_local QCryptographicHash sha1(QCryptographicHash::Sha1);
    sha1.reset();
    sha1.addData(QByteArrayView(kSpazioUid, sizeof kSpazioUid));
    sha1.addData(chiave);
    unsigned char u[16];
    std::memcpy(u, sha1.resultView().data(), 16);
    u[6] = (u[6] & 0x0F) | 0x50;
    u[8] = (u[8] & 0x3F) | 0x80;
    char testo[36];
    char* p = testo;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *p++ = '-';
        *p++ = "0123456789abcdef"[u[i] >> 4];
        *p++ = "0123456789abcdef"[u[i] & 15];
    }
    s.letterale("UID:urn:uuid:");
    s.letterale(QByteArrayView(testo, sizeof testo));
    s.fineRiga();
}

// `chiave`: for each field its length byte and its Windows-1252 characters, as the record holds them.
template <typename Vista> void scriviCampi(const Campi<Vista>& t, QByteArrayView chiave, QByteArray& out)
{
    qsizetype testo = 0;
    for (const Vista& v : t)
        testo += v.size();
    // A character takes at most 3 octets, twice over with FN, and folding adds 3 octets in 74.
    Scrittore s(out, 640 + 8 * testo);

    s.letterale("BEGIN:VCARD\r\nVERSION:4.0\r\n");
    if (!t[Cognome].isEmpty() || !t[Nome].isEmpty()) {
        s.letterale("N:");
        s.valore(t[Cognome], Escape::Composto);
        s.letterale(";");
        s.valore(t[Nome], Escape::Composto);
        s.letterale(";;;");
        s.fineRiga();
    }
    scriviFn(s, t);
    proprieta(s, "ORG:", t[Azienda], Escape::Composto);
    if (!(t[Via].isEmpty() && t[Citta].isEmpty() && t[Prov].isEmpty() && t[Cap].isEmpty() && t[Stato].isEmpty())) {
        s.letterale("ADR;TYPE=work:;;");
        for (Campo c : {Via, Citta, Prov, Cap, Stato}) {
            s.valore(t[c], Escape::Composto);
            if (c != Stato)
                s.letterale(";");
        }
        s.fineRiga();
    }
    // The main number has no type: readers that keep only the kinds they know drop a "voice" one. A number that
    // reads like a tel: URI is marked as the text it is.
    const auto telefono = [&](Campo campo, QByteArrayView nome, QByteArrayView comeTesto) {
        proprieta(s, sembraUriTel(t[campo]) ? comeTesto : nome, t[campo], Escape::Testo);
    };
    telefono(Tel, "TEL:", "TEL;VALUE=text:");
    telefono(Fax, "TEL;TYPE=fax:", "TEL;VALUE=text;TYPE=fax:");
    telefono(Cellulare, "TEL;TYPE=cell:", "TEL;VALUE=text;TYPE=cell:");
    proprieta(s, "EMAIL:", t[Email], Escape::Testo);
    if (!soloSchema(t[Web]))
        proprieta(s, "URL:", t[Web], Escape::Uri);
    proprieta(s, "NOTE:", t[Note], Escape::Testo);
    proprieta(s, "X-CODICE-FISCALE:", t[CodFisc], Escape::Testo);
    proprieta(s, "X-PARTITA-IVA:", t[Iva], Escape::Testo);
    scriviUid(s, chiave);
    s.letterale("END:VCARD\r\n");
}

} // namespace

void scriviVCard(const TSchedaContatto& scheda, QByteArray& out)
{
    Campi<QByteArrayView> t;
    QVarLengthArray<char, sizeof(TSchedaContatto)> chiave;
    for (int i = 0; i < kNumeroCampi; ++i) {
        t[i] = TrimByte(byteCampo(scheda, Campo(i)));
        chiave.append(char(t[i].size()));
        chiave.append(t[i].data(), t[i].size());
    }
    scriviCampi(t, QByteArrayView(chiave.constData(), chiave.size()), out);
}

void scriviVCard(const TestiScheda& testi, QByteArray& out)
{
    Campi<QStringView> t;
    QVarLengthArray<char, sizeof(TSchedaContatto)> chiave;
    QVarLengthArray<char, 256> byte;
    for (int i = 0; i < kNumeroCampi; ++i) {
        t[i] = TrimView(testi[i]);
        // The key is the record's: the text in Windows-1252 as a save would store it.
        byte.resize(t[i].size());
        const qsizetype n = toCp1252(t[i], byte.data());
        const QByteArrayView b =
            TrimByte(QByteArrayView(byte.constData(), std::min<qsizetype>(n, kCampiScheda[i].capacity)));
        chiave.append(char(b.size()));
        chiave.append(b.data(), b.size());
    }
    scriviCampi(t, QByteArrayView(chiave.constData(), chiave.size()), out);
}

QByteArray vCard(const TestiScheda& testi)
{
    QByteArray out;
    scriviVCard(testi, out);
    return out;
}
