#pragma once

#include "archive/TestiScheda.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One card <-> one vCard. Written as version 4.0 (RFC 6350): UTF-8, CRLF, lines folded at 75 octets; read from
// 4.0, 3.0 and the 2.1 habits phones keep (quoted-printable, CHARSET, bare types).
//
//   N:Cognome;Nome;;;                         FN (always)                ORG:Azienda
//   ADR;TYPE=work:;;Via;Citta;Prov;Cap;Stato  TEL;TYPE=voice:Tel         TEL;TYPE=fax:Fax
//   TEL;TYPE=cell:Cellulare                   EMAIL:Email                URL:Web
//   NOTE:Note                                 X-CODICE-FISCALE:CodFisc   X-PARTITA-IVA:Iva

// Appends the vCard of one card to `out`. Texts are trimmed first, as every export does; empty ones are left out.
void scriviVCard(const TestiScheda& testi, QByteArray& out);
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
// records.
LetturaVCard leggiVCard(QByteArrayView file);
