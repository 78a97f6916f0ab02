#include "vcard/CodecVCard.h"
#include "vcard/CodecVCardInterno.h"

#include "archive/Cp1252.h"
#include "archive/Trim.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

using namespace codecvcard;

// vCard files read into cards: the reader's half of CodecVCard.h.

namespace {

inline char minuscola(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

// Names and parameters compare with ASCII letter case ignored.
inline bool uguale(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (minuscola(a[i]) != minuscola(b[i]))
            return false;
    }
    return true;
}

// A literal's length is known without a search.
template <qsizetype N> inline bool uguale(QByteArrayView a, const char (&b)[N])
{
    return uguale(a, QByteArrayView(b, N - 1));
}

template <qsizetype N> inline bool iniziaCon(QByteArrayView testo, const char (&prefisso)[N])
{
    return testo.size() >= N - 1 && uguale(testo.first(N - 1), prefisso);
}

constexpr quint64 kOgniByte = 0x0101010101010101ULL;
constexpr quint64 kBitAlti = 0x8080808080808080ULL;

inline quint64 otto(const char* p)
{
    quint64 parola;
    std::memcpy(&parola, p, 8);
    return parola;
}

// Whether any of the eight bytes of `parola` is `c`.
inline bool haByte(quint64 parola, char c)
{
    const quint64 x = parola ^ (kOgniByte * static_cast<unsigned char>(c));
    return ((x - kOgniByte) & ~x & kBitAlti) != 0;
}

bool stessiByte(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

bool contiene(QByteArrayView testo, QByteArrayView cercato)
{
    for (qsizetype i = 0; i + cercato.size() <= testo.size(); ++i) {
        if (qstrnicmp(testo.data() + i, cercato.size(), cercato.data(), cercato.size()) == 0)
            return true;
    }
    return false;
}

// The part before the first colon outside double quotes: group, name and parameters.
qsizetype fineIntestazione(QByteArrayView riga)
{
    bool virgolette = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        if (riga[i] == '"')
            virgolette = !virgolette;
        else if (riga[i] == ':' && !virgolette)
            return i;
    }
    return -1;
}

bool quotedPrintable(QByteArrayView riga)
{
    const qsizetype fine = fineIntestazione(riga);
    return fine > 0 && contiene(riga.first(fine), "QUOTED-PRINTABLE");
}

// The physical lines of a file, and how they join into logical ones, so that even a large file is never held
// twice. CRLF, LF and a lone CR all end a line.
class Righe
{
public:
    explicit Righe(QByteArrayView file) : m_file(file) {}

    // The first physical line of the next logical line that is not empty.
    bool prossima(QByteArrayView& prima)
    {
        do {
            if (!fisica(prima))
                return false;
        } while (prima.isEmpty());
        return true;
    }

    // The rest of the logical line that begins with `prima`, joined into `unita` (true when there was a rest to
    // join), or skipped when `unita` is null. A quoted-printable value's soft line break ("=" at the end) joins
    // the next line whole, its leading blank included (RFC 2045); only then is a line that begins with a blank
    // or a tab a folded one, joined without that blank.
    bool resto(QByteArrayView prima, QByteArray* unita)
    {
        bool unito = false;
        int qp = -1;
        QByteArrayView ultima = prima;
        QByteArrayView r;
        while (sbircia(r)) {
            bool morbida = false;
            if (ultima.endsWith('=')) {
                if (qp < 0)
                    qp = quotedPrintable(unito && unita ? QByteArrayView(*unita) : prima);
                // A phone that ends the last line of a value with "=" by mistake must not swallow the card's end.
                morbida = qp && !iniziaCon(r, "END:VCARD");
            }
            if (!morbida && (r.isEmpty() || (r[0] != ' ' && r[0] != '\t')))
                break;
            m_haAttesa = false;
            if (unita) {
                if (!unito)
                    *unita = prima.toByteArray();
                if (morbida) {
                    unita->chop(1);
                    unita->append(r);
                } else {
                    unita->append(r.sliced(1));
                }
            }
            unito = true;
            ultima = r;
        }
        return unito && unita;
    }

private:
    bool fisica(QByteArrayView& riga)
    {
        if (m_haAttesa) {
            riga = m_attesa;
            m_haAttesa = false;
            return true;
        }
        const qsizetype n = m_file.size();
        if (m_pos >= n)
            return false;
        const char* p = m_file.data();
        qsizetype fine = m_pos;
        // Lines are short: eight bytes at a time to the word that holds the line's end, then byte by byte.
        while (fine + 8 <= n) {
            const quint64 parola = otto(p + fine);
            if (haByte(parola, '\n') || haByte(parola, '\r'))
                break;
            fine += 8;
        }
        while (fine < n && p[fine] != '\n' && p[fine] != '\r')
            ++fine;
        riga = QByteArrayView(p + m_pos, fine - m_pos);
        m_pos = fine + (fine + 1 < n && p[fine] == '\r' && p[fine + 1] == '\n' ? 2 : 1);
        return true;
    }

    bool sbircia(QByteArrayView& riga)
    {
        if (!m_haAttesa) {
            if (!fisica(m_attesa))
                return false;
            m_haAttesa = true;
        }
        riga = m_attesa;
        return true;
    }

    QByteArrayView m_file;
    qsizetype m_pos = 0;
    QByteArrayView m_attesa;
    bool m_haAttesa = false;
};

int cifraEsadecimale(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void decodificaQuotedPrintable(QByteArrayView valore, QByteArray& out)
{
    out.resize(valore.size());
    char* p = out.data();
    for (qsizetype i = 0; i < valore.size(); ++i) {
        // A soft line break with no line after it (a phone's last line ending in "=") holds no character.
        if (valore[i] == '=' && i + 1 == valore.size())
            break;
        if (valore[i] == '=' && i + 2 < valore.size()) {
            const int alta = cifraEsadecimale(valore[i + 1]);
            const int bassa = cifraEsadecimale(valore[i + 2]);
            if (alta >= 0 && bassa >= 0) {
                *p++ = char(alta * 16 + bassa);
                i += 2;
                continue;
            }
        }
        *p++ = valore[i];
    }
    out.resize(p - out.constData());
}

bool tuttoAscii(QByteArrayView byte)
{
    const char* p = byte.data();
    const qsizetype n = byte.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        if (otto(p + i) & kBitAlti)
            return false;
    }
    for (; i < n; ++i) {
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    }
    return true;
}

// UTF-8 straight to Windows-1252, "?" for a character the code page lacks. False, with `out` undefined, when the
// bytes are not UTF-8.
bool daUtf8(QByteArrayView byte, QByteArray& out, bool& perso)
{
    out.resize(byte.size());
    const auto* s = reinterpret_cast<const unsigned char*>(byte.data());
    const qsizetype n = byte.size();
    char* d = out.data();
    for (qsizetype i = 0; i < n;) {
        if (i + 8 <= n && !(otto(byte.data() + i) & kBitAlti)) {
            std::memcpy(d, byte.data() + i, 8);
            d += 8;
            i += 8;
            continue;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            *d++ = char(c);
            ++i;
            continue;
        }
        int seguito;
        char32_t u;
        if (c >= 0xC2 && c <= 0xDF) {
            seguito = 1;
            u = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            seguito = 2;
            u = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            seguito = 3;
            u = c & 0x07;
        } else {
            return false;
        }
        if (n - i <= seguito)
            return false;
        for (int k = 1; k <= seguito; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            u = (u << 6) | (s[i + k] & 0x3F);
        }
        if ((seguito == 2 && (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF))) ||
            (seguito == 3 && (u < 0x10000 || u > 0x10FFFF)))
            return false;
        i += seguito + 1;
        if (u > 0xFFFF) {
            *d++ = '?';
            perso = true;
            continue;
        }
        if (u >= 0xA0 && u <= 0xFF) {
            *d++ = char(u);
            continue;
        }
        const char16_t c16 = char16_t(u);
        toCp1252(QStringView(&c16, 1), d);
        perso = perso || *d == '?';
        ++d;
    }
    out.resize(d - out.constData());
    return true;
}

bool nomeUtf8(QByteArrayView charset)
{
    return uguale(charset, "UTF-8") || uguale(charset, "UTF8");
}

// Names of Windows-1252 and of what it extends: Latin-1 differs from it only in codes 0x80..0x9F, control
// characters no text holds, where a file labelled Latin-1 by a Windows program has the code page's letters.
// ISO-8859-15, the old phones' Western European charset, which a Qt without ICU (the Windows build) does not
// know by name: ISO-8859-1 but for eight letters and the euro.
bool nomeLatin9(QByteArrayView charset)
{
    return uguale(charset, "ISO-8859-15") || uguale(charset, "ISO8859-15") || uguale(charset, "LATIN-9") ||
           uguale(charset, "LATIN9");
}

QString daLatin9(QByteArrayView byte)
{
    // The eight places where ISO-8859-15 differs from ISO-8859-1: € Š š Ž ž Œ œ Ÿ.
    static constexpr std::pair<char16_t, char16_t> kDiverse[] = {{0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161},
                                                                 {0xB4, 0x017D}, {0xB8, 0x017E}, {0xBC, 0x0152},
                                                                 {0xBD, 0x0153}, {0xBE, 0x0178}};
    QString testo = QString::fromLatin1(byte);
    for (QChar& c : testo) {
        for (const auto& [latin1, latin9] : kDiverse) {
            if (c.unicode() == latin1)
                c = QChar(latin9);
        }
    }
    return testo;
}

bool nome1252(QByteArrayView charset)
{
    for (const char* nome : {"WINDOWS-1252", "CP1252", "ISO-8859-1", "ISO8859-1", "LATIN1", "US-ASCII"}) {
        if (uguale(charset, nome))
            return true;
    }
    return false;
}

enum class Chiave { Altro, Begin, End, N, Fn, Org, Adr, Tel, Email, Url, Note, CodFisc, Iva };

Chiave nomeDi(QByteArrayView nome)
{
    switch (nome.size()) {
    case 1:
        return uguale(nome, "N") ? Chiave::N : Chiave::Altro;
    case 2:
        return uguale(nome, "FN") ? Chiave::Fn : Chiave::Altro;
    case 3:
        return uguale(nome, "TEL")   ? Chiave::Tel
               : uguale(nome, "ADR") ? Chiave::Adr
               : uguale(nome, "ORG") ? Chiave::Org
               : uguale(nome, "URL") ? Chiave::Url
               : uguale(nome, "END") ? Chiave::End
                                     : Chiave::Altro;
    case 4:
        return uguale(nome, "NOTE") ? Chiave::Note : Chiave::Altro;
    case 5:
        return uguale(nome, "BEGIN") ? Chiave::Begin : uguale(nome, "EMAIL") ? Chiave::Email : Chiave::Altro;
    case 13:
        return uguale(nome, "X-PARTITA-IVA") ? Chiave::Iva : Chiave::Altro;
    case 16:
        return uguale(nome, "X-CODICE-FISCALE") ? Chiave::CodFisc : Chiave::Altro;
    }
    return Chiave::Altro;
}

// The name of the property a line begins with: after the group ("item1.EMAIL"), before the parameters.
Chiave nomeDellaRiga(QByteArrayView riga)
{
    qsizetype inizio = 0;
    qsizetype fine = 0;
    for (; fine < riga.size() && riga[fine] != ';' && riga[fine] != ':'; ++fine) {
        if (riga[fine] == '.')
            inizio = fine + 1;
    }
    if (fine == riga.size())
        return Chiave::Altro;
    return nomeDi(riga.sliced(inizio, fine - inizio).trimmed());
}

// Splits at the separator where it is not inside double quotes.
template <typename F> void dividi(QByteArrayView testo, char separatore, F&& f)
{
    bool virgolette = false;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i <= testo.size(); ++i) {
        if (i < testo.size() && testo[i] == '"')
            virgolette = !virgolette;
        else if (i == testo.size() || (testo[i] == separatore && !virgolette)) {
            f(testo.sliced(inizio, i - inizio));
            inizio = i + 1;
        }
    }
}

QByteArrayView senzaVirgolette(QByteArrayView testo)
{
    testo = testo.trimmed();
    if (testo.size() >= 2 && testo.front() == '"' && testo.back() == '"')
        return testo.sliced(1, testo.size() - 2);
    return testo;
}

// Lower ranks win: PREF=1 is the most preferred, TYPE=pref counts as 1, a value without either comes after
// every preferred one, and among equals the first stays.
constexpr int kNonPreferito = 101;
constexpr int kMaiVisto = 1000;

struct Proprieta
{
    QByteArrayView valore;
    QByteArrayView charset;
    bool quotedPrintable = false;
    bool uri = false;   // VALUE=uri
    bool testo = false; // VALUE=text
    bool cell = false;
    bool fax = false;
    bool pager = false;
    int rango = kNonPreferito;
};

void tipo(QByteArrayView t, Proprieta& p)
{
    t = senzaVirgolette(t);
    if (uguale(t, "cell"))
        p.cell = true;
    else if (uguale(t, "fax"))
        p.fax = true;
    else if (uguale(t, "pager"))
        p.pager = true;
    else if (uguale(t, "pref"))
        p.rango = std::min(p.rango, 1);
}

void leggiParametri(QByteArrayView intestazione, Proprieta& p)
{
    bool nome = true;
    dividi(intestazione, ';', [&](QByteArrayView pezzo) {
        if (nome) {
            nome = false;
            return;
        }
        const qsizetype uguale_ = pezzo.indexOf('=');
        if (uguale_ < 0) {
            // Version 2.1 names the types bare: "TEL;CELL;PREF:".
            const QByteArrayView bare = pezzo.trimmed();
            if (uguale(bare, "QUOTED-PRINTABLE"))
                p.quotedPrintable = true;
            else
                tipo(bare, p);
            return;
        }
        const QByteArrayView chiave = pezzo.first(uguale_).trimmed();
        const QByteArrayView valore = pezzo.sliced(uguale_ + 1);
        if (uguale(chiave, "TYPE")) {
            dividi(senzaVirgolette(valore), ',', [&](QByteArrayView t) { tipo(t, p); });
        } else if (uguale(chiave, "ENCODING")) {
            p.quotedPrintable = uguale(senzaVirgolette(valore), "QUOTED-PRINTABLE");
        } else if (uguale(chiave, "CHARSET")) {
            p.charset = senzaVirgolette(valore);
        } else if (uguale(chiave, "VALUE")) {
            p.uri = uguale(senzaVirgolette(valore), "uri");
            p.testo = uguale(senzaVirgolette(valore), "text");
        } else if (uguale(chiave, "PREF")) {
            const QByteArrayView cifre = senzaVirgolette(valore);
            int n = 0;
            bool ok = !cifre.isEmpty() && cifre.size() <= 3;
            for (char c : cifre) {
                ok = ok && c >= '0' && c <= '9';
                n = n * 10 + (c - '0');
            }
            if (ok && n >= 1 && n <= 100)
                p.rango = std::min(p.rango, n);
        }
    });
}

// A text being read: where it lies in the card's memory, and whether characters were lost on the way.
struct Testo
{
    qsizetype inizio = 0;
    qsizetype n = 0;
    bool perso = false;
};

// The card being read: the chosen text of every field, what N, FN and ORG said.
struct Bozza
{
    std::array<Testo, kNumeroCampi> campi{};
    std::array<int, kNumeroCampi> rango;
    int rangoAdr = kMaiVisto;
    Testo fn;
    Testo org;
    bool haN = false;
    bool haFn = false;
    bool haOrg = false;

    Bozza() { rango.fill(kMaiVisto); }

    void metti(Campo campo, Testo testo, int r)
    {
        if (testo.n > 0 && r < rango[campo]) {
            campi[campo] = testo;
            rango[campo] = r;
        }
    }
};

// Splits a structured value (N, ADR, ORG) at the semicolons that are not escaped.
template <typename F> void componenti(QByteArrayView valore, F&& f)
{
    int indice = 0;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < valore.size(); ++i) {
        if (valore[i] == '\\')
            ++i;
        else if (valore[i] == ';') {
            f(indice++, valore.sliced(inizio, i - inizio));
            inizio = i + 1;
        }
    }
    f(indice, valore.sliced(inizio));
}

// Every text of the card being read, one after the other; the Bozza points into it by offset, so that it may
// move as it grows. Kept from card to card, it soon stops growing.
class Memoria
{
public:
    // Room for `n` more bytes at the end; conferma() says how many of them were used.
    char* riserva(qsizetype n)
    {
        if (m_usati + n > m_capacita) {
            const qsizetype capacita = std::max(2 * m_capacita, m_usati + n + 4096);
            auto dati = std::make_unique<char[]>(capacita);
            if (m_usati > 0)
                std::memcpy(dati.get(), m_dati.get(), m_usati);
            m_dati = std::move(dati);
            m_capacita = capacita;
        }
        return m_dati.get() + m_usati;
    }
    void conferma(const char* fine) { m_usati = fine - m_dati.get(); }
    void svuota() { m_usati = 0; }
    qsizetype usati() const { return m_usati; }
    const char* dati() const { return m_dati.get(); }
    QByteArrayView vista(const Testo& t) const { return QByteArrayView(m_dati.get() + t.inizio, t.n); }
    qsizetype dove(const char* p) const { return p - m_dati.get(); }

    // Copies a text already in the memory, or from elsewhere, to its end.
    void copia(qsizetype inizio, qsizetype n)
    {
        char* p = riserva(n);
        std::memcpy(p, m_dati.get() + inizio, n);
        conferma(p + n);
    }
    void copia(QByteArrayView testo)
    {
        if (testo.isEmpty())
            return;
        char* p = riserva(testo.size());
        std::memcpy(p, testo.data(), testo.size());
        conferma(p + testo.size());
    }

private:
    std::unique_ptr<char[]> m_dati;
    qsizetype m_capacita = 0;
    qsizetype m_usati = 0;
};

bool spazio(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\xA0';
}

class Lettore
{
public:
    Lettore(QByteArrayView file, RecordVCard& esito) : m_righe(file), m_esito(esito) {}

    void leggi()
    {
        QByteArrayView prima;
        QByteArray unita;
        while (m_righe.prossima(prima)) {
            const Chiave nome = nomeDellaRiga(prima);
            const bool serve =
                nome == Chiave::Begin || nome == Chiave::End || (nome != Chiave::Altro && m_dentro && m_annidate == 0);
            if (!serve) {
                m_righe.resto(prima, nullptr);
                continue;
            }
            const QByteArrayView riga = m_righe.resto(prima, &unita) ? QByteArrayView(unita) : prima;
            const qsizetype fine = fineIntestazione(riga);
            if (fine <= 0)
                continue;
            const QByteArrayView valore = riga.sliced(fine + 1);
            if (nome == Chiave::Begin) {
                if (!uguale(valore.trimmed(), "VCARD"))
                    continue;
                m_trovata = true;
                if (m_dentro) {
                    ++m_annidate;
                } else {
                    m_dentro = true;
                    m_bozza = Bozza{};
                    m_memoria.svuota();
                }
            } else if (nome == Chiave::End) {
                if (!m_dentro || !uguale(valore.trimmed(), "VCARD"))
                    continue;
                if (m_annidate > 0) {
                    --m_annidate;
                } else {
                    m_dentro = false;
                    chiudiScheda();
                }
            } else {
                Proprieta p;
                p.valore = valore;
                leggiParametri(riga.first(fine), p);
                applica(nome, p);
            }
        }
        if (!m_trovata)
            m_esito.esito = LetturaVCard::NonVCard;
        else if (m_dentro)
            m_esito.esito = LetturaVCard::Incompleta;
        else if (m_esito.schede == 0)
            m_esito.esito = LetturaVCard::Vuota;
        else
            m_esito.esito = LetturaVCard::Letta;
    }

private:
    QByteArrayView vista(Testo t) const { return m_memoria.vista(t); }

    // The value in Windows-1252: quoted-printable undone, then its charset decoded. Without a CHARSET the bytes
    // are UTF-8, as both versions require; text that is not valid UTF-8 comes from an old Windows program and is
    // the code page's already.
    QByteArrayView decodifica(const Proprieta& p, bool& perso)
    {
        QByteArrayView byte = p.valore;
        if (p.quotedPrintable) {
            decodificaQuotedPrintable(byte, m_qp);
            byte = m_qp;
        }
        if (tuttoAscii(byte) || (!p.charset.isEmpty() && nome1252(p.charset)))
            return byte;
        if (!p.charset.isEmpty() && !nomeUtf8(p.charset) && altroCharset(byte, p.charset, perso))
            return m_testo;
        perso = false;
        if (daUtf8(byte, m_testo, perso))
            return m_testo;
        perso = false;
        return byte;
    }

    // Any other charset Qt knows by that name.
    bool altroCharset(QByteArrayView byte, QByteArrayView charset, bool& perso)
    {
        if (!uguale(charset, m_nomeCharset)) {
            m_nomeCharset = charset.toByteArray();
            m_decoder = QStringDecoder(m_nomeCharset.constData(), QStringDecoder::Flag::Stateless);
        }
        QString testo;
        if (m_decoder.isValid()) {
            m_decoder.resetState();
            testo = m_decoder.decode(byte);
            if (m_decoder.hasError())
                return false;
        } else if (nomeLatin9(charset)) {
            testo = daLatin9(byte);
        } else {
            return false;
        }
        m_testo.resize(testo.size());
        m_testo.resize(toCp1252(testo, m_testo.data()));
        perso = m_testo.count('?') != testo.count(QLatin1Char('?'));
        return true;
    }

    // Appends a text to the card's memory with its escapes undone and every line break made CR LF; trimmed. In a
    // URI only the escapes of a backslash, comma, semicolon and colon (that some writers put in anyway) are undone.
    // An unknown escape keeps its backslash, so a stray one (a Windows path written by a careless program)
    // survives.
    Testo aggiungi(QByteArrayView v, bool uri, bool perso)
    {
        char* const base = m_memoria.riserva(2 * v.size());
        char* d = base;
        const char* s = v.data();
        const qsizetype n = v.size();
        for (qsizetype i = 0; i < n; ++i) {
            // Most texts have neither escapes nor line breaks: eight bytes at a time.
            while (i + 8 <= n) {
                const quint64 parola = otto(s + i);
                if (haByte(parola, '\\') || haByte(parola, '\r') || haByte(parola, '\n'))
                    break;
                std::memcpy(d, s + i, 8);
                d += 8;
                i += 8;
            }
            if (i == n)
                break;
            const char c = s[i];
            if (c == '\\' && i + 1 < n) {
                const char dopo = s[i + 1];
                if (!uri && (dopo == 'n' || dopo == 'N')) {
                    *d++ = '\r';
                    *d++ = '\n';
                    ++i;
                    continue;
                }
                if (dopo == '\\' || dopo == ',' || dopo == ';' || dopo == ':') {
                    *d++ = dopo;
                    ++i;
                    continue;
                }
                *d++ = c;
            } else if (c == '\r' || c == '\n') {
                *d++ = '\r';
                *d++ = '\n';
                if (c == '\r' && i + 1 < n && s[i + 1] == '\n')
                    ++i;
            } else {
                *d++ = c;
            }
        }
        m_memoria.conferma(d);
        const QByteArrayView t = TrimByte(QByteArrayView(base, d - base));
        return Testo{m_memoria.dove(t.data()), t.size(), perso};
    }

    // Joins texts of the memory with ", ", leaving out the empty ones.
    Testo unisci(std::initializer_list<Testo> parti)
    {
        if (std::count_if(parti.begin(), parti.end(), [](const Testo& t) { return t.n > 0; }) <= 1) {
            for (const Testo& t : parti) {
                if (t.n > 0)
                    return t;
            }
            return Testo{};
        }
        Testo unito{m_memoria.usati(), 0, false};
        for (const Testo& t : parti) {
            if (t.n == 0)
                continue;
            if (unito.n > 0) {
                m_memoria.copia(", ");
                unito.n += 2;
            }
            m_memoria.copia(t.inizio, t.n);
            unito.n += t.n;
            unito.perso = unito.perso || t.perso;
        }
        return unito;
    }

    // A tel: URI keeps the number; an extension follows it as Italian numbers write one, where the field has
    // room for it. The value is a URI where its line says so, or says nothing and the value looks like one.
    Testo numero(Testo t, const Proprieta& p)
    {
        QByteArrayView uri = vista(t);
        if (p.testo || !(p.uri ? iniziaCon(uri, "tel:") : sembraUriTel(uri)))
            return t;
        uri = TrimByte(uri.sliced(4));
        const qsizetype puntoEVirgola = uri.indexOf(';');
        const QByteArrayView cifre = TrimByte(puntoEVirgola < 0 ? uri : uri.first(puntoEVirgola));
        Testo solo{m_memoria.dove(cifre.data()), cifre.size(), t.perso};
        if (puntoEVirgola < 0 || cifre.isEmpty())
            return solo;
        QByteArrayView interno;
        dividi(uri.sliced(puntoEVirgola + 1), ';', [&](QByteArrayView parametro) {
            if (iniziaCon(parametro, "ext="))
                interno = TrimByte(parametro.sliced(4));
        });
        const QByteArray conInterno = cifre.toByteArray() + " int. " + interno.toByteArray();
        if (interno.isEmpty() || conInterno.size() > kCampiScheda[Tel].capacity)
            return solo;
        Testo esteso{m_memoria.usati(), conInterno.size(), t.perso};
        m_memoria.copia(conInterno);
        return esteso;
    }

    void applica(Chiave nome, const Proprieta& p)
    {
        bool perso = false;
        const QByteArrayView valore = decodifica(p, perso);
        Bozza& b = m_bozza;
        switch (nome) {
        case Chiave::N: {
            Testo parti[2];
            componenti(valore, [&](int i, QByteArrayView v) {
                if (i < 2)
                    parti[i] = aggiungi(v, false, perso);
            });
            // Phones write "N:;;;;" on a company's card; such an N says nothing, and FN and ORG decide.
            if (!b.haN && (parti[0].n > 0 || parti[1].n > 0)) {
                b.haN = true;
                b.campi[Cognome] = parti[0];
                b.campi[Nome] = parti[1];
            }
            break;
        }
        case Chiave::Fn:
            if (!b.haFn) {
                b.fn = aggiungi(valore, false, perso);
                b.haFn = b.fn.n > 0;
            }
            break;
        case Chiave::Org:
            if (!b.haOrg) {
                componenti(valore, [&](int i, QByteArrayView v) {
                    if (i == 0)
                        b.org = aggiungi(v, false, perso);
                });
                b.haOrg = b.org.n > 0;
            }
            break;
        case Chiave::Adr: {
            if (p.rango >= b.rangoAdr)
                break;
            Testo parti[7];
            componenti(valore, [&](int i, QByteArrayView v) {
                if (i < 7)
                    parti[i] = aggiungi(v, false, perso);
            });
            if (std::all_of(std::begin(parti), std::end(parti), [](const Testo& t) { return t.n == 0; }))
                break;
            // The street line takes the extended address and the post office box after it, when a card has them.
            b.campi[Via] = unisci({parti[2], parti[1], parti[0]});
            b.campi[Citta] = parti[3];
            b.campi[Prov] = parti[4];
            b.campi[Cap] = parti[5];
            b.campi[Stato] = parti[6];
            b.rangoAdr = p.rango;
            break;
        }
        case Chiave::Tel: {
            // A pager is no telephone of the card's: only its number of that kind.
            if (p.pager && !p.cell && !p.fax)
                break;
            const Campo campo = p.cell ? Cellulare : p.fax ? Fax : Tel;
            b.metti(campo, numero(aggiungi(valore, false, perso), p), p.rango);
            break;
        }
        case Chiave::Email:
            b.metti(Email, aggiungi(valore, false, perso), p.rango);
            break;
        case Chiave::Url:
            b.metti(Web, aggiungi(valore, true, perso), p.rango);
            break;
        case Chiave::Note:
            b.metti(Note, aggiungi(valore, false, perso), kNonPreferito);
            break;
        case Chiave::CodFisc:
            b.metti(CodFisc, aggiungi(valore, false, perso), kNonPreferito);
            break;
        case Chiave::Iva:
            b.metti(Iva, aggiungi(valore, false, perso), kNonPreferito);
            break;
        default:
            break;
        }
    }

    // FN as the name of a card without N, unless it only repeats what the card holds elsewhere: the company, or the
    // e-mail or number that a writer (this one included) put there for want of a name.
    bool fnENome() const
    {
        const QByteArrayView fn = vista(m_bozza.fn);
        if (stessiByte(fn, vista(m_bozza.org)))
            return false;
        for (const Testo& t : m_bozza.campi) {
            if (stessiByte(fn, vista(t)))
                return false;
        }
        return !stessiByte(fn, TrimByte(primaRiga(vista(m_bozza.campi[Note]))));
    }

    void chiudiScheda()
    {
        Bozza& b = m_bozza;
        if (!b.haN && b.haFn && fnENome()) {
            // The last word of FN is the surname, the words before it the first name.
            const QByteArrayView fn = vista(b.fn);
            qsizetype i = fn.size() - 1;
            while (i >= 0 && !spazio(fn[i]))
                --i;
            const QByteArrayView cognome = fn.sliced(i + 1);
            const QByteArrayView nome = TrimByte(fn.first(std::max<qsizetype>(i, 0)));
            b.campi[Cognome] = Testo{m_memoria.dove(cognome.data()), cognome.size(), b.fn.perso};
            b.campi[Nome] = Testo{m_memoria.dove(nome.data()), nome.size(), b.fn.perso};
        }
        b.campi[Azienda] = b.org;

        std::array<QByteArrayView, kNumeroCampi> testi;
        bool vuota = true;
        bool accorciata = false;
        for (int i = 0; i < kNumeroCampi; ++i) {
            QByteArrayView v = vista(b.campi[i]);
            const int capacita = kCampiScheda[i].capacity;
            if (v.size() > capacita) {
                v = TrimByte(v.first(capacita));
                accorciata = true;
            }
            accorciata = accorciata || (b.campi[i].perso && !v.isEmpty());
            vuota = vuota && v.isEmpty();
            testi[i] = v;
        }
        if (vuota)
            return;
        qsizetype n = kNumeroCampi;
        for (const QByteArrayView& v : testi)
            n += v.size();
        const qsizetype inizio = m_esito.slot.size();
        m_esito.slot.resize(inizio + n);
        char* p = m_esito.slot.data() + inizio;
        for (const QByteArrayView& v : testi) {
            *p++ = char(v.size());
            if (!v.isEmpty())
                std::memcpy(p, v.data(), v.size());
            p += v.size();
        }
        ++m_esito.schede;
        if (accorciata)
            ++m_esito.accorciate;
    }

    Righe m_righe;
    RecordVCard& m_esito;
    bool m_trovata = false;
    bool m_dentro = false;
    int m_annidate = 0;
    Bozza m_bozza;
    Memoria m_memoria;
    QByteArray m_qp;
    QByteArray m_testo;
    QByteArray m_nomeCharset;
    QStringDecoder m_decoder;
};

// UTF-16 without a byte order mark: the zero bytes beside the letters of "BEGIN:VCARD" tell it, and its byte
// order. The letters lie at even offsets from the start of the file in little-endian text ("B\0E\0..."), at odd
// ones in big-endian ("\0B\0E...").
std::optional<QStringDecoder::Encoding> utf16SenzaBom(QByteArrayView file)
{
    static constexpr char kInizio[] = "begin:vcard";
    constexpr int kLettere = sizeof kInizio - 1;
    const qsizetype n = file.size();
    for (qsizetype i = 0; i + 2 * (kLettere - 1) < n; ++i) {
        int k = 0;
        while (k < kLettere && (file[i + 2 * k] | 0x20) == kInizio[k] &&
               (k == kLettere - 1 || file[i + 2 * k + 1] == 0))
            ++k;
        if (k == kLettere)
            return i % 2 == 0 ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
    }
    return std::nullopt;
}

// The file as 8-bit text: UTF-16 turned into UTF-8, a UTF-8 byte order mark skipped, the zero bytes that pad the
// end left out. False when a zero byte is left: no text file holds one, a picture, an archive or a program does.
bool comeTesto(QByteArrayView& file, QByteArray& convertito)
{
    std::optional<QStringDecoder::Encoding> utf16;
    qsizetype bom = 0;
    if (file.size() >= 2 && uchar(file[0]) == 0xFF && uchar(file[1]) == 0xFE) {
        utf16 = QStringDecoder::Utf16LE;
        bom = 2;
    } else if (file.size() >= 2 && uchar(file[0]) == 0xFE && uchar(file[1]) == 0xFF) {
        utf16 = QStringDecoder::Utf16BE;
        bom = 2;
    } else if (file.size() >= 3 && uchar(file[0]) == 0xEF && uchar(file[1]) == 0xBB && uchar(file[2]) == 0xBF) {
        file = file.sliced(3);
    } else if (file.contains('\0')) {
        utf16 = utf16SenzaBom(file);
    }
    if (utf16) {
        QStringDecoder decoder(*utf16);
        convertito = QString(decoder.decode(file.sliced(bom))).toUtf8();
        file = convertito;
    }
    while (!file.isEmpty() && file.back() == '\0')
        file.chop(1);
    return !file.isEmpty() && !file.contains('\0');
}

} // namespace

RecordVCard leggiRecordVCard(QByteArrayView file)
{
    RecordVCard lettura;
    if (file.trimmed().isEmpty())
        return lettura;
    QByteArray convertito;
    if (!comeTesto(file, convertito)) {
        lettura.esito = LetturaVCard::NonVCard;
        return lettura;
    }
    // A hint only: the records take less room than the text they come from.
    lettura.slot.reserve(file.size() / 2);
    Lettore(file, lettura).leggi();
    if (lettura.esito != LetturaVCard::Letta) {
        lettura.slot.clear();
        lettura.schede = 0;
        lettura.accorciate = 0;
    }
    return lettura;
}

qsizetype recordDaSlot(QByteArrayView slot, qsizetype pos, TSchedaContatto& scheda)
{
    std::memset(&scheda, 0, sizeof scheda);
    char* record = reinterpret_cast<char*>(&scheda);
    for (const CampoScheda& campo : kCampiScheda) {
        const int n = static_cast<unsigned char>(slot[pos]);
        const int tenuti = std::min(n, campo.capacity);
        record[campo.offset] = char(tenuti);
        std::memcpy(record + campo.offset + 1, slot.data() + pos + 1, tenuti);
        pos += 1 + n;
    }
    return pos;
}

LetturaVCard leggiVCard(QByteArrayView file)
{
    const RecordVCard record = leggiRecordVCard(file);
    LetturaVCard lettura;
    lettura.esito = record.esito;
    lettura.accorciate = record.accorciate;
    lettura.schede.reserve(record.schede);
    const char* p = record.slot.constData();
    for (qsizetype i = 0; i < record.schede; ++i) {
        TestiScheda testi;
        for (int c = 0; c < kNumeroCampi; ++c) {
            const int n = static_cast<unsigned char>(*p);
            if (n > 0)
                testi[c] = fromCp1252(QByteArrayView(p + 1, n));
            p += 1 + n;
        }
        lettura.schede.append(std::move(testi));
    }
    return lettura;
}
