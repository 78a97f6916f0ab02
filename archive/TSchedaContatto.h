#pragma once

#include <QtGlobal>

#include <cstddef>
#include <type_traits>

// One text slot of the record: a length byte, then a fixed character area. The bytes after the text are left
// over from whatever passed through the slot before, so readers must go by the length byte alone.
template <int CAP> struct ShortString
{
    static constexpr int kCapacity = CAP;

    quint8 len;
    char text[CAP];
};

// The contact record exactly as it lies in the archive: sixteen slots end to end, 1148 bytes, no header, no
// key. Packing is spelled out so that no compiler can slip padding between the slots.
#pragma pack(push, 1)
struct TSchedaContatto
{
    ShortString<50> Cognome;
    ShortString<50> Nome;
    ShortString<50> Azienda;
    ShortString<120> Via;
    ShortString<50> Citta;
    ShortString<5> Cap;
    ShortString<50> Prov;
    ShortString<50> Stato;
    ShortString<30> Tel;
    ShortString<30> Fax;
    ShortString<30> Cellulare;
    ShortString<120> Email;
    ShortString<220> Web;
    ShortString<16> CodFisc;
    ShortString<11> Iva;
    ShortString<250> Note;
};
#pragma pack(pop)

static_assert(std::is_standard_layout_v<TSchedaContatto>);
static_assert(std::is_trivially_copyable_v<TSchedaContatto>);
static_assert(sizeof(TSchedaContatto) == 1148);
static_assert(alignof(TSchedaContatto) == 1);
static_assert(offsetof(TSchedaContatto, Cognome) == 0);
static_assert(offsetof(TSchedaContatto, Nome) == 51);
static_assert(offsetof(TSchedaContatto, Azienda) == 102);
static_assert(offsetof(TSchedaContatto, Via) == 153);
static_assert(offsetof(TSchedaContatto, Citta) == 274);
static_assert(offsetof(TSchedaContatto, Cap) == 325);
static_assert(offsetof(TSchedaContatto, Prov) == 331);
static_assert(offsetof(TSchedaContatto, Stato) == 382);
static_assert(offsetof(TSchedaContatto, Tel) == 433);
static_assert(offsetof(TSchedaContatto, Fax) == 464);
static_assert(offsetof(TSchedaContatto, Cellulare) == 495);
static_assert(offsetof(TSchedaContatto, Email) == 526);
static_assert(offsetof(TSchedaContatto, Web) == 647);
static_assert(offsetof(TSchedaContatto, CodFisc) == 868);
static_assert(offsetof(TSchedaContatto, Iva) == 885);
static_assert(offsetof(TSchedaContatto, Note) == 897);
