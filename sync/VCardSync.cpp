#include "sync/VCardSync.h"

#include "vcard/CodecVCard.h"

#include <QList>

namespace {

// The logical lines of a vCard: folded lines joined, line ends dropped.
QList<QByteArray> righe(const QByteArray& vcard)
{
    QList<QByteArray> out;
    for (QByteArray riga : vcard.split('\n')) {
        if (riga.endsWith('\r'))
            riga.chop(1);
        if ((riga.startsWith(' ') || riga.startsWith('\t')) && !out.isEmpty())
            out.last() += riga.mid(1);
        else if (!riga.isEmpty())
            out << riga;
    }
    return out;
}

// "item1.TEL;TYPE=cell:..." -> "TEL"; "TYPE=cell" is in the parameters.
QByteArray nomeProprieta(const QByteArray& riga, QByteArray* parametri = nullptr)
{
    qsizetype fine = 0;
    while (fine < riga.size() && riga[fine] != ':' && riga[fine] != ';')
        ++fine;
    QByteArray nome = riga.left(fine).toUpper();
    if (const qsizetype punto = nome.lastIndexOf('.'); punto >= 0)
        nome = nome.mid(punto + 1);
    if (parametri) {
        const qsizetype dueP = riga.indexOf(':');
        *parametri = riga.mid(fine, dueP < 0 ? -1 : dueP - fine).toLower();
    }
    return nome;
}

void aggiungiPiegata(QByteArray& out, const QByteArray& riga)
{
    qsizetype inizio = 0;
    qsizetype limite = 75;
    while (riga.size() - inizio > limite) {
        qsizetype taglio = inizio + limite;
        while (taglio > inizio && (static_cast<unsigned char>(riga[taglio]) & 0xC0) == 0x80)
            --taglio;
        out += riga.mid(inizio, taglio - inizio) + "\r\n ";
        inizio = taglio;
        limite = 74;
    }
    out += riga.mid(inizio) + "\r\n";
}

bool intestazione(const QByteArray& nome)
{
    return nome == "BEGIN" || nome == "END" || nome == "VERSION" || nome == "UID" || nome == "PRODID" || nome == "REV";
}

// The card's field a line of the contact fills, as the reader reads the whole contact: a line is the card's when,
// read on its own, it gives the text the reader took for that field. So the telephone, e-mail and address that
// the card shows are the ones replaced, whichever of several the reader preferred.
int campoDellaRiga(const QByteArray& versione, const QByteArray& riga, const TestiScheda& letti,
                   const QList<int>& campi)
{
    const TestiScheda sola = testiDaVCard("BEGIN:VCARD\r\nVERSION:" + versione + "\r\n" + riga + "\r\nEND:VCARD\r\n");
    for (int c : campi) {
        if (!sola[c].isEmpty() && sola[c] == letti[c])
            return c;
    }
    return -1;
}

} // namespace

QByteArray vcardNuova(const TestiScheda& testi, const QString& uid)
{
    QByteArray out;
    for (const QByteArray& riga : righe(vCard(testi))) {
        if (nomeProprieta(riga) == "UID")
            continue;
        aggiungiPiegata(out, riga);
        if (nomeProprieta(riga) == "VERSION")
            aggiungiPiegata(out, "UID:" + uid.toUtf8());
    }
    return out;
}

QByteArray aggiornaVCard(const QByteArray& originale, const TestiScheda& testi)
{
    // The card's own lines, as a new vCard of it would have them.
    QList<QByteArray> nuove;
    for (const QByteArray& riga : righe(vCard(testi))) {
        if (!intestazione(nomeProprieta(riga)))
            nuove << riga;
    }
    const QList<QByteArray> vecchie = righe(originale);
    QByteArray versione = "3.0";
    for (const QByteArray& riga : vecchie) {
        if (nomeProprieta(riga) == "VERSION")
            versione = riga.mid(riga.indexOf(':') + 1).trimmed();
    }
    const TestiScheda letti = testiDaVCard(originale);
    bool presi[kNumeroCampi] = {};
    QByteArray out;
    for (const QByteArray& riga : vecchie) {
        const QByteArray nome = nomeProprieta(riga);
        if (nome == "END") {
            for (const QByteArray& n : std::as_const(nuove))
                aggiungiPiegata(out, n);
            aggiungiPiegata(out, riga);
            continue;
        }
        bool propria = nome == "N" || nome == "FN" || nome == "ORG" || nome == "NOTE" || nome == "URL" ||
                       nome == "X-CODICE-FISCALE" || nome == "X-PARTITA-IVA";
        // Of several telephones, e-mails and addresses, the one the card took is the card's; the rest stay.
        int campo = -1;
        if (nome == "TEL")
            campo = campoDellaRiga(versione, riga, letti, {Tel, Fax, Cellulare});
        else if (nome == "EMAIL")
            campo = campoDellaRiga(versione, riga, letti, {Email});
        else if (nome == "ADR")
            campo = campoDellaRiga(versione, riga, letti, {Via, Citta, Cap, Prov, Stato});
        if (campo >= 0 && !presi[campo])
            propria = presi[campo] = true;
        if (!propria)
            aggiungiPiegata(out, riga);
    }
    return out;
}

TestiScheda testiDaVCard(const QByteArray& vcard)
{
    const LetturaVCard letta = leggiVCard(vcard);
    return letta.schede.isEmpty() ? TestiScheda{} : letta.schede.first();
}

std::optional<TestiScheda> contattoLeggibile(const QByteArray& vcard)
{
    const LetturaVCard letta = leggiVCard(vcard);
    if (letta.esito != LetturaVCard::Letta || letta.schede.size() != 1)
        return std::nullopt;
    return letta.schede.first();
}

QString uidDaVCard(const QByteArray& vcard)
{
    for (const QByteArray& riga : righe(vcard)) {
        if (nomeProprieta(riga) == "UID") {
            const qsizetype dueP = riga.indexOf(':');
            return QString::fromUtf8(riga.mid(dueP + 1)).trimmed();
        }
    }
    return {};
}
