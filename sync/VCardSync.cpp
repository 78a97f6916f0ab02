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

// Which kind of telephone a TEL line is, as the card sees it.
enum class Telefono { Principale, Fax, Cellulare, Altro };
Telefono tipoTelefono(const QByteArray& parametri)
{
    if (parametri.contains("fax"))
        return Telefono::Fax;
    if (parametri.contains("cell"))
        return Telefono::Cellulare;
    if (parametri.contains("pager") || parametri.contains("video") || parametri.contains("textphone"))
        return Telefono::Altro;
    return Telefono::Principale;
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
    QByteArray out;
    bool adr = false;
    bool email = false;
    bool telefoni[3] = {false, false, false};
    for (const QByteArray& riga : righe(originale)) {
        QByteArray parametri;
        const QByteArray nome = nomeProprieta(riga, &parametri);
        if (nome == "END") {
            for (const QByteArray& n : std::as_const(nuove))
                aggiungiPiegata(out, n);
            aggiungiPiegata(out, riga);
            continue;
        }
        // One of each of the card's own kinds is the card's; the rest stay as the server has them.
        bool propria = nome == "N" || nome == "FN" || nome == "ORG" || nome == "NOTE" || nome == "URL" ||
                       nome == "X-CODICE-FISCALE" || nome == "X-PARTITA-IVA";
        if (nome == "ADR" && !adr)
            propria = adr = true;
        if (nome == "EMAIL" && !email)
            propria = email = true;
        if (nome == "TEL") {
            const Telefono t = tipoTelefono(parametri);
            if (t != Telefono::Altro && !telefoni[int(t)])
                propria = telefoni[int(t)] = true;
        }
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
