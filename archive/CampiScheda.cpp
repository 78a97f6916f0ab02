#include "archive/CampiScheda.h"

#include "archive/TSchedaContatto.h"

// clang-format off
#define CARNETTO_CAMPO(m, caption) \
    CampoScheda{#m, int(offsetof(TSchedaContatto, m)), decltype(TSchedaContatto::m)::kCapacity, "txt" #m, caption}

// Built from the struct itself, so the table and the record can never disagree about an offset or a capacity.
const std::array<CampoScheda, kNumeroCampi> kCampiScheda = {
    CARNETTO_CAMPO(Cognome, "Cognome:"),
    CARNETTO_CAMPO(Nome, "Nome:"),
    CARNETTO_CAMPO(Azienda, "Azienda:"),
    CARNETTO_CAMPO(Via, "Indirizzo:"),
    CARNETTO_CAMPO(Citta, "Città:"),
    CARNETTO_CAMPO(Cap, "CAP:"),
    CARNETTO_CAMPO(Prov, "Provincia:"),
    CARNETTO_CAMPO(Stato, "Stato:"),
    CARNETTO_CAMPO(Tel, "Telefono:"),
    CARNETTO_CAMPO(Fax, "Fax:"),
    CARNETTO_CAMPO(Cellulare, "Cellulare:"),
    CARNETTO_CAMPO(Email, "E-mail:"),
    CARNETTO_CAMPO(Web, "Sito Internet:"),
    CARNETTO_CAMPO(CodFisc, "Codice fiscale:"),
    CARNETTO_CAMPO(Iva, "Partita IVA:"),
    CARNETTO_CAMPO(Note, "Note:"),
};
// clang-format on

#undef CARNETTO_CAMPO
