#pragma once

#include "archive/TestiScheda.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The vCards the synchronisation sends and reads, around the codec of vcard/.

// A new contact for the server: the card's vCard under the UID given.
QByteArray vcardNuova(const TestiScheda& testi, const QString& uid);

// The server's last vCard of a contact with the card's texts in it: the properties the card owns (name,
// company, address, its telephone, fax and mobile, e-mail, web site, note, fiscal code and VAT number) are
// replaced by the card's, everything else the server keeps (a photo, a birthday, more numbers and addresses,
// groups) stays as it was, the UID included.
QByteArray aggiornaVCard(const QByteArray& originale, const TestiScheda& testi);

// The card a contact's vCard gives, and its UID.
TestiScheda testiDaVCard(const QByteArray& vcard);
// The same, or nothing when the vCard cannot be a card: not a vCard, cut short, several in one, or none with a
// text the card keeps.
std::optional<TestiScheda> contattoLeggibile(const QByteArray& vcard);
QString uidDaVCard(const QByteArray& vcard);
