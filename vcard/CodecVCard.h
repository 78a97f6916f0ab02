#pragma once

#include "archive/TestiScheda.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One card <-> one vCard. Written as version 4.0 (RFC 6350): UTF-8, CRLF, lines folded at 75 octets; read from
// 4.0, 3.0 and the 2.1 habits phones keep (quoted-printable, CHARSET, bare types, UTF-16 files).
//
//   N:Cognome;Nome;;;                         FN (always)                ORG:Azienda
//   ADR;TYPE=work:;;Via;Citta;Prov;Cap;Stato  TEL:Tel                    TEL;TYPE=fax:Fax
//   TEL;TYPE=cell:Cellulare                   EMAIL:Email                URL:Web
//   NOTE:Note                                 X-CODICE-FISCALE:CodFisc   X-PARTITA-IVA:Iva
//   UID:urn:uuid:<version 5 UUID of the card's texts as the archive holds them>
//
// FN is what other programs list the card by: the name, else the company, else the first of the e-mail, the
// telephone, the mobile and the other fields that the card has. The UID stays the same as long as the card does,
// so an address book that keeps its cards by UID sees an exported card again as the same card. URL is left out
// when the web field holds only a scheme ("http://", the card window's preset). A number that reads like a tel:
// URI ("tel:06123") is written TEL;VALUE=text, so that it comes back as typed.

// Appends the vCard of one card to `out`. Texts are trimmed first, as every export does; empty ones are left out.
void scriviVCard(const TestiScheda& testi, QByteArray& out);
// The same from a record of the archive, without decoding its texts first; both give the same bytes.
void scriviVCard(const TSchedaContatto& scheda, QByteArray& out);
QByteArray vCard(const TestiScheda& testi);

struct LetturaVCard
{
    enum Esito {
        Letta,      // `schede` holds every card of the file, in order
        Vuota,      // nothing but blanks, or cards with no text at all
        NonVCard,   // no vCard in it: another kind of file, binary data included
        Incompleta, // a card begins and never ends: the file was cut short
    };
    Esito esito = Vuota;
    // Each text is what the card will hold: trimmed, in Windows-1252, cut to its field's capacity.
    QList<TestiScheda> schede;
    // Cards that lost something on the way in: a text cut to its capacity, or characters Windows-1252 cannot hold
    // replaced by "?", just as the card window stores what is typed or pasted into it.
    int accorciate = 0;
};

// Reads every card of a whole file. Cards without a single text are skipped: they would add nothing but empty
// records. Several TEL, EMAIL, URL or ADR of one kind: the preferred one (PREF=1 in 4.0, TYPE=pref before), else
// the first. A line break in a text becomes CR LF, the archive's own.
LetturaVCard leggiVCard(QByteArrayView file);

// The same reading with each card kept as the record it becomes, packed: sixteen slots one after the other, each
// its length byte and its Windows-1252 characters only. What an import writes to the archive without turning
// every text into a QString and back.
struct RecordVCard
{
    LetturaVCard::Esito esito = LetturaVCard::Vuota;
    QByteArray slot;
    qsizetype schede = 0;
    int accorciate = 0;
};
RecordVCard leggiRecordVCard(QByteArrayView file);

// Unpacks the card whose slots begin at `pos` into `scheda` (the bytes after each text set to zero); returns where
// the next card's slots begin.
qsizetype recordDaSlot(QByteArrayView slot, qsizetype pos, TSchedaContatto& scheda);
