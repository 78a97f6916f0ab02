#include "vcard/CodecVCard.h"

#include "archive/Cp1252.h"
#include "archive/Trim.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// ---------------------------------------------------------------------------------------------------------------
// Writing

// The characters a value may carry besides tab are the visible ones; a line break in a note becomes "\n", and any
// other control character (none can be typed into a card) is dropped rather than written raw into the file.
// URL gets the escapes of a text too, though RFC 6350 leaves URIs unescaped: common readers split an unescaped
// comma into a list and keep only the part before it, and those that read by the letter rarely meet a comma.
void aggiungiValore(QString& riga, QStringView testo)
{
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        switch (c.unicode()) {
        case '\\':
            riga += QLatin1String("\\\\");
            break;
        case ',':
        case ';':
            riga += QLatin1Char('\\');
            riga += c;
            break;
        case '\r':
            if (i + 1 < testo.size() && testo[i + 1] == QLatin1Char('\n'))
                ++i;
            riga += QLatin1String("\\n");
            break;
        case '\n':
            riga += QLatin1String("\\n");
            break;
        case '\t':
            riga += c;
            break;
        default:
            if (c.unicode() >= 32 && c.unicode() != 127)
                riga += c;
        }
    }
}

// Lines longer than 75 octets go on in continuation lines that begin with one blank, which counts toward their 75.
// A cut never falls inside a UTF-8 sequence, so every physical line is valid UTF-8 on its own.
void aggiungiRiga(QByteArray& out, const QString& riga)
{
    const QByteArray byte = riga.toUtf8();
    const char* p = byte.constData();
    qsizetype inizio = 0;
    qsizetype limite = 75;
    while (byte.size() - inizio > limite) {
        qsizetype taglio = inizio + limite;
        while (taglio > inizio && (static_cast<unsigned char>(p[taglio]) & 0xC0) == 0x80)
            --taglio;
        out.append(p + inizio, taglio - inizio);
        out.append("\r\n ", 3);
        inizio = taglio;
        limite = 74;
    }
    out.append(p + inizio, byte.size() - inizio);
    out.append("\r\n", 2);
}

void proprieta(QByteArray& out, QLatin1String nome, QStringView valore)
{
    if (valore.isEmpty())
        return;
    QString riga = nome + QLatin1Char(':');
    aggiungiValore(riga, valore);
    aggiungiRiga(out, riga);
}

// ---------------------------------------------------------------------------------------------------------------
// Reading

bool iniziaCon(QByteArrayView testo, QByteArrayView prefisso)
{
    return testo.size() >= prefisso.size() &&
           qstrnicmp(testo.data(), prefisso.size(), prefisso.data(), prefisso.size()) == 0;
}

bool uguale(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && qstrnicmp(a.data(), a.size(), b.data(), b.size()) == 0;
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

// The logical lines of a file, one at a time, so that even a large file is never held twice: folded lines (a
// continuation begins with a blank or a tab) and the soft line breaks of quoted-printable values (a line ending in
// "="; the next one carries on from its first character) are joined. CRLF, LF and a lone CR all end a line.
class Righe
{
public:
    explicit Righe(QByteArrayView file) : m_file(file) {}

    // The next line that is not empty: a view into the file, or into `unita` when lines had to be joined.
    bool prossima(QByteArrayView& riga, QByteArray& unita)
    {
        QByteArrayView prima;
        do {
            if (!fisica(prima))
                return false;
        } while (prima.isEmpty());
        if (!continuazione() && !(prima.endsWith('=') && quotedPrintable(prima))) {
            riga = prima;
            return true;
        }
        unita = prima.toByteArray();
        QByteArrayView r;
        aggiungiContinuazioni(unita);
        if (quotedPrintable(unita)) {
            // A phone that ends the last line of a value with "=" by mistake must not swallow the card's end.
            while (unita.endsWith('=') && sbircia(r) && !iniziaCon(r, "END:VCARD")) {
                fisica(r);
                unita.chop(1);
                unita += r;
                aggiungiContinuazioni(unita);
            }
        }
        riga = unita;
        return true;
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
        qsizetype i = m_pos;
        while (i < n && p[i] != '\n' && p[i] != '\r')
            ++i;
        riga = QByteArrayView(p + m_pos, i - m_pos);
        if (i + 1 < n && p[i] == '\r' && p[i + 1] == '\n')
            ++i;
        m_pos = i + 1;
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

    bool continuazione()
    {
        QByteArrayView r;
        return sbircia(r) && !r.isEmpty() && (r[0] == ' ' || r[0] == '\t');
    }

    void aggiungiContinuazioni(QByteArray& unita)
    {
        QByteArrayView r;
        while (continuazione()) {
            fisica(r);
            unita += r.sliced(1);
        }
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

QByteArray decodificaQuotedPrintable(QByteArrayView valore)
{
    QByteArray out;
    out.reserve(valore.size());
    for (qsizetype i = 0; i < valore.size(); ++i) {
        // A soft line break with no line after it (a phone's last line ending in "=") holds no character.
        if (valore[i] == '=' && i + 1 == valore.size())
            break;
        if (valore[i] == '=' && i + 2 < valore.size()) {
            const int alta = cifraEsadecimale(valore[i + 1]);
            const int bassa = cifraEsadecimale(valore[i + 2]);
            if (alta >= 0 && bassa >= 0) {
                out.append(char(alta * 16 + bassa));
                i += 2;
                continue;
            }
        }
        out.append(valore[i]);
    }
    return out;
}

bool tuttoAscii(QByteArrayView byte)
{
    return std::all_of(byte.begin(), byte.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Without a CHARSET the bytes are UTF-8, as both versions require; text that is not valid UTF-8 comes from an old
// Windows program and is read as Windows-1252 rather than filled with replacement characters.
QString decodifica(QByteArrayView byte, QByteArrayView charset)
{
    if (tuttoAscii(byte))
        return QString::fromLatin1(byte);
    if (uguale(charset, "ISO-8859-1") || uguale(charset, "LATIN1") || uguale(charset, "WINDOWS-1252") ||
        uguale(charset, "CP1252") || uguale(charset, "ISO-8859-15"))
        return fromCp1252(byte);
    if (!charset.isEmpty() && !uguale(charset, "UTF-8") && !uguale(charset, "UTF8")) {
        QStringDecoder altro(QString::fromLatin1(charset).toLatin1().constData());
        if (altro.isValid()) {
            QString testo = altro.decode(byte);
            if (!altro.hasError())
                return testo;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(byte);
    return utf8.hasError() ? fromCp1252(byte) : testo;
}

// Undoes the escapes of a text value. An unknown escape keeps its backslash, so a stray one (a Windows path
// written by a careless program) survives.
QString sciogli(QStringView valore)
{
    if (!valore.contains(QLatin1Char('\\')))
        return valore.toString();
    QString out;
    out.reserve(valore.size());
    for (qsizetype i = 0; i < valore.size(); ++i) {
        const QChar c = valore[i];
        if (c != QLatin1Char('\\') || i + 1 == valore.size()) {
            out += c;
            continue;
        }
        const QChar dopo = valore[++i];
        switch (dopo.unicode()) {
        case 'n':
        case 'N':
            out += QLatin1Char('\n');
            break;
        case '\\':
        case ',':
        case ';':
        case ':':
            out += dopo;
            break;
        default:
            out += c;
            out += dopo;
        }
    }
    return out;
}

// The components of a structured value (N, ADR, ORG), split at the semicolons that are not escaped.
QStringList componenti(QStringView valore)
{
    QStringList parti;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < valore.size(); ++i) {
        if (valore[i] == QLatin1Char('\\'))
            ++i;
        else if (valore[i] == QLatin1Char(';')) {
            parti.append(sciogli(valore.sliced(inizio, i - inizio)));
            inizio = i + 1;
        }
    }
    parti.append(sciogli(valore.sliced(inizio)));
    return parti;
}

QString parte(const QStringList& parti, int i)
{
    return i < parti.size() ? parti[i] : QString();
}

struct Proprieta
{
    QByteArrayView nome;
    QList<QByteArray> tipi; // lower case
    bool quotedPrintable = false;
    QByteArrayView charset;
    QByteArrayView valore;
};

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

bool leggiProprieta(QByteArrayView riga, Proprieta& p)
{
    const qsizetype fine = fineIntestazione(riga);
    if (fine <= 0)
        return false;
    p.valore = riga.sliced(fine + 1);
    bool primo = true;
    dividi(riga.first(fine), ';', [&](QByteArrayView pezzo) {
        if (primo) {
            primo = false;
            // "item1.EMAIL": the group before the dot does not matter here.
            const qsizetype punto = pezzo.lastIndexOf('.');
            p.nome = pezzo.sliced(punto + 1).trimmed();
            return;
        }
        const qsizetype uguale_ = pezzo.indexOf('=');
        if (uguale_ < 0) {
            // Version 2.1 names the types bare: "TEL;CELL;VOICE:".
            const QByteArrayView bare = pezzo.trimmed();
            if (uguale(bare, "QUOTED-PRINTABLE"))
                p.quotedPrintable = true;
            else if (!bare.isEmpty())
                p.tipi.append(bare.toByteArray().toLower());
            return;
        }
        const QByteArrayView chiave = pezzo.first(uguale_).trimmed();
        const QByteArrayView valore = pezzo.sliced(uguale_ + 1);
        if (uguale(chiave, "TYPE")) {
            dividi(senzaVirgolette(valore), ',', [&](QByteArrayView tipo) {
                if (!tipo.trimmed().isEmpty())
                    p.tipi.append(senzaVirgolette(tipo).toByteArray().toLower());
            });
        } else if (uguale(chiave, "ENCODING")) {
            p.quotedPrintable = uguale(senzaVirgolette(valore), "QUOTED-PRINTABLE");
        } else if (uguale(chiave, "CHARSET")) {
            p.charset = senzaVirgolette(valore);
        }
    });
    return !p.nome.isEmpty();
}

bool haTipo(const Proprieta& p, QByteArrayView cercato)
{
    return std::any_of(p.tipi.begin(), p.tipi.end(), [&](const QByteArray& t) { return t.contains(cercato); });
}

// The card being read: what N, FN and ORG said, and the first value of every other field.
struct Bozza
{
    TestiScheda testi;
    bool haN = false;
    QString fn;
    bool haFn = false;
    QString org;
    bool haOrg = false;
    bool haAdr = false;

    void primo(Campo campo, const QString& valore)
    {
        if (testi[campo].isEmpty())
            testi[campo] = Trim(valore);
    }
};

void applica(Bozza& b, const Proprieta& p)
{
    QByteArray qp;
    QByteArrayView byte = p.valore;
    if (p.quotedPrintable) {
        qp = decodificaQuotedPrintable(byte);
        byte = qp;
    }
    const QString valore = decodifica(byte, p.charset);
    const QByteArrayView nome = p.nome;

    if (uguale(nome, "N")) {
        const QStringList parti = componenti(valore);
        const QString cognome = Trim(parte(parti, 0));
        const QString nomeProprio = Trim(parte(parti, 1));
        // Phones write "N:;;;;" on a company's card; such an N says nothing, and FN and ORG decide.
        if (!b.haN && !(cognome.isEmpty() && nomeProprio.isEmpty())) {
            b.haN = true;
            b.testi[Cognome] = cognome;
            b.testi[Nome] = nomeProprio;
        }
    } else if (uguale(nome, "FN")) {
        if (!b.haFn) {
            b.fn = Trim(sciogli(valore));
            b.haFn = !b.fn.isEmpty();
        }
    } else if (uguale(nome, "ORG")) {
        if (!b.haOrg) {
            b.org = Trim(parte(componenti(valore), 0));
            b.haOrg = !b.org.isEmpty();
        }
    } else if (uguale(nome, "ADR")) {
        if (b.haAdr)
            return;
        const QStringList parti = componenti(valore);
        // The street line takes the extended address and the post office box after it, when a card has them.
        QStringList via;
        for (int i : {2, 1, 0}) {
            const QString t = Trim(parte(parti, i));
            if (!t.isEmpty())
                via.append(t);
        }
        b.testi[Via] = via.join(QLatin1String(", "));
        b.testi[Citta] = Trim(parte(parti, 3));
        b.testi[Prov] = Trim(parte(parti, 4));
        b.testi[Cap] = Trim(parte(parti, 5));
        b.testi[Stato] = Trim(parte(parti, 6));
        b.haAdr = !(b.testi[Via].isEmpty() && b.testi[Citta].isEmpty() && b.testi[Prov].isEmpty() &&
                    b.testi[Cap].isEmpty() && b.testi[Stato].isEmpty());
    } else if (uguale(nome, "TEL")) {
        QString numero = Trim(sciogli(valore));
        if (numero.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            numero = Trim(QStringView(numero).sliced(4));
        const Campo campo = haTipo(p, "cell") ? Cellulare : haTipo(p, "fax") ? Fax : Tel;
        b.primo(campo, numero);
    } else if (uguale(nome, "EMAIL")) {
        b.primo(Email, sciogli(valore));
    } else if (uguale(nome, "URL")) {
        b.primo(Web, sciogli(valore));
    } else if (uguale(nome, "NOTE")) {
        b.primo(Note, sciogli(valore));
    } else if (uguale(nome, "X-CODICE-FISCALE")) {
        b.primo(CodFisc, sciogli(valore));
    } else if (uguale(nome, "X-PARTITA-IVA")) {
        b.primo(Iva, sciogli(valore));
    }
}

// What the card window would store of a text typed or pasted into the field: characters Windows-1252 lacks become
// "?", and the text is cut to the capacity. True when something was lost.
bool adatta(QString& testo, Campo campo)
{
    const int capacita = kCampiScheda[campo].capacity;
    // Most texts are Latin-1 outside the range where the code page differs from it, and already fit.
    if (testo.size() <= capacita && std::all_of(testo.cbegin(), testo.cend(), [](QChar c) {
            return c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF);
        }))
        return false;
    const QByteArray byte = toCp1252(testo);
    bool perso = byte.size() != testo.size() || fromCp1252(byte) != testo;
    if (byte.size() > capacita) {
        testo = Trim(fromCp1252(QByteArrayView(byte).first(capacita)));
        return true;
    }
    if (perso)
        testo = fromCp1252(byte);
    return perso;
}

} // namespace

void scriviVCard(const TestiScheda& testi, QByteArray& out)
{
    TestiScheda t;
    for (int i = 0; i < kNumeroCampi; ++i)
        t[i] = Trim(testi[i]);

    out.append("BEGIN:VCARD\r\nVERSION:4.0\r\n");
    if (!t[Cognome].isEmpty() || !t[Nome].isEmpty()) {
        QString n = QStringLiteral("N:");
        aggiungiValore(n, t[Cognome]);
        n += QLatin1Char(';');
        aggiungiValore(n, t[Nome]);
        n += QLatin1String(";;;");
        aggiungiRiga(out, n);
    }
    // FN is the one property every vCard must have, even with nothing to say.
    QString fn = t[Nome];
    if (!t[Cognome].isEmpty())
        fn = fn.isEmpty() ? t[Cognome] : fn + QLatin1Char(' ') + t[Cognome];
    if (fn.isEmpty())
        fn = t[Azienda];
    QString rigaFn = QStringLiteral("FN:");
    aggiungiValore(rigaFn, fn);
    aggiungiRiga(out, rigaFn);

    proprieta(out, QLatin1String("ORG"), t[Azienda]);
    if (!(t[Via].isEmpty() && t[Citta].isEmpty() && t[Prov].isEmpty() && t[Cap].isEmpty() && t[Stato].isEmpty())) {
        QString adr = QStringLiteral("ADR;TYPE=work:;;");
        for (Campo c : {Via, Citta, Prov, Cap, Stato}) {
            aggiungiValore(adr, t[c]);
            if (c != Stato)
                adr += QLatin1Char(';');
        }
        aggiungiRiga(out, adr);
    }
    proprieta(out, QLatin1String("TEL;TYPE=voice"), t[Tel]);
    proprieta(out, QLatin1String("TEL;TYPE=fax"), t[Fax]);
    proprieta(out, QLatin1String("TEL;TYPE=cell"), t[Cellulare]);
    proprieta(out, QLatin1String("EMAIL"), t[Email]);
    proprieta(out, QLatin1String("URL"), t[Web]);
    proprieta(out, QLatin1String("NOTE"), t[Note]);
    proprieta(out, QLatin1String("X-CODICE-FISCALE"), t[CodFisc]);
    proprieta(out, QLatin1String("X-PARTITA-IVA"), t[Iva]);
    out.append("END:VCARD\r\n");
}

QByteArray vCard(const TestiScheda& testi)
{
    QByteArray out;
    scriviVCard(testi, out);
    return out;
}

LetturaVCard leggiVCard(QByteArrayView file)
{
    LetturaVCard lettura;

    // A byte order mark: UTF-8 is skipped, UTF-16 (as some Windows programs save) is turned into UTF-8 first.
    QByteArray convertito;
    if (file.size() >= 2 &&
        ((uchar(file[0]) == 0xFF && uchar(file[1]) == 0xFE) || (uchar(file[0]) == 0xFE && uchar(file[1]) == 0xFF))) {
        QStringDecoder utf16(uchar(file[0]) == 0xFF ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        convertito = QString(utf16.decode(file.sliced(2))).toUtf8();
        file = convertito;
    } else if (file.size() >= 3 && uchar(file[0]) == 0xEF && uchar(file[1]) == 0xBB && uchar(file[2]) == 0xBF) {
        file = file.sliced(3);
    }

    if (file.trimmed().isEmpty()) {
        lettura.esito = LetturaVCard::Vuota;
        return lettura;
    }
    // A text file never holds a NUL byte; a picture, an archive or a program does.
    if (file.contains('\0')) {
        lettura.esito = LetturaVCard::NonVCard;
        return lettura;
    }

    // A hint only, so that a list of many cards is not moved again and again as it grows.
    lettura.schede.reserve(file.count("END:VCARD") + file.count("end:vcard"));
    Righe righe(file);
    QByteArrayView riga;
    QByteArray unita;
    bool trovata = false;
    bool dentro = false;
    int annidate = 0;
    Bozza bozza;
    while (righe.prossima(riga, unita)) {
        Proprieta p;
        if (!leggiProprieta(riga, p))
            continue;
        if (uguale(p.nome, "BEGIN") && uguale(p.valore.trimmed(), "VCARD")) {
            trovata = true;
            if (dentro)
                ++annidate;
            else {
                dentro = true;
                bozza = Bozza{};
            }
            continue;
        }
        if (!dentro)
            continue;
        if (uguale(p.nome, "END") && uguale(p.valore.trimmed(), "VCARD")) {
            if (annidate > 0) {
                --annidate;
                continue;
            }
            dentro = false;
            TestiScheda& t = bozza.testi;
            if (!bozza.haN) {
                // No name of its own: a company's card when FN repeats ORG, otherwise FN's last word is the
                // surname and the words before it the first name.
                if (bozza.fn != bozza.org) {
                    const qsizetype spazio = [&] {
                        for (qsizetype i = bozza.fn.size() - 1; i >= 0; --i) {
                            if (bozza.fn[i].isSpace())
                                return i;
                        }
                        return qsizetype(-1);
                    }();
                    t[Cognome] = bozza.fn.sliced(spazio + 1);
                    t[Nome] = spazio < 0 ? QString() : Trim(QStringView(bozza.fn).first(spazio));
                }
            }
            t[Azienda] = bozza.org;
            bool accorciata = false;
            bool vuota = true;
            for (int i = 0; i < kNumeroCampi; ++i) {
                accorciata = adatta(t[i], Campo(i)) || accorciata;
                vuota = vuota && t[i].isEmpty();
            }
            if (vuota)
                continue;
            lettura.schede.append(std::move(t));
            if (accorciata)
                ++lettura.accorciate;
            continue;
        }
        if (annidate == 0)
            applica(bozza, p);
    }

    if (!trovata)
        lettura.esito = LetturaVCard::NonVCard;
    else if (dentro)
        lettura.esito = LetturaVCard::Incompleta;
    else if (lettura.schede.isEmpty())
        lettura.esito = LetturaVCard::Vuota;
    else
        lettura.esito = LetturaVCard::Letta;
    if (lettura.esito != LetturaVCard::Letta) {
        lettura.schede.clear();
        lettura.accorciate = 0;
    }
    return lettura;
}
