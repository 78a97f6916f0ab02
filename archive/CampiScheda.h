#pragma once

#include <array>

// Indexes into kCampiScheda and into TestiScheda, in the order the slots lie in the record.
enum Campo {
    Cognome = 0,
    Nome,
    Azienda,
    Via,
    Citta,
    Cap,
    Prov,
    Stato,
    Tel,
    Fax,
    Cellulare,
    Email,
    Web,
    CodFisc,
    Iva,
    Note
};

inline constexpr int kNumeroCampi = 16;

// `offset` is where the slot's length byte lies in the record; the text follows it. `caption` is UTF-8.
struct CampoScheda
{
    const char* name;
    int offset;
    int capacity;
    const char* editBox;
    const char* caption;
};

extern const std::array<CampoScheda, kNumeroCampi> kCampiScheda;
