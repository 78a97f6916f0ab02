#pragma once

#include "archive/CampiScheda.h"
#include "archive/TSchedaContatto.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>

// The sixteen texts of a card, indexed by Campo.
using TestiScheda = std::array<QString, kNumeroCampi>;

// Every field as the card window shows it: the slot's text decoded and trimmed.
TestiScheda testiDaScheda(const TSchedaContatto& scheda);

// Fills every slot from its text: trimmed, encoded, cut to the capacity. Only each length byte and the
// characters it counts change; the rest of a slot keeps what the record held before.
void schedaDaTesti(TSchedaContatto& scheda, const TestiScheda& testi);

// One field, trimmed and decoded; what the search list and the exports call for every record.
QString testoCampo(const TSchedaContatto& scheda, Campo campo);

// One field's raw bytes, untrimmed. A length byte above the capacity counts as the capacity, so the view never
// leaves its slot.
QByteArrayView byteCampo(const TSchedaContatto& scheda, Campo campo);

// Fills one slot the way schedaDaTesti fills each of them.
void impostaCampo(TSchedaContatto& scheda, Campo campo, QStringView testo);
