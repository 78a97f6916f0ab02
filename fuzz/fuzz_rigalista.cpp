// The list line over arbitrary bytes: one record, however its length bytes run, gives exactly one line of the
// fixed width in each of its three forms. The record is a heap block of exactly its size.
#include "Fuzz.h"

#include "archive/RigaLista.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto scheda = std::make_unique<TSchedaContatto>();
    std::memset(scheda.get(), 0, sizeof(TSchedaContatto));
    std::memcpy(scheda.get(), data, std::min(size, sizeof(TSchedaContatto)));

    const QString riga = rigaLista(*scheda);
    if (riga.size() != kLunghezzaRigaLista)
        abort();
    auto linea = std::make_unique<QChar[]>(kLunghezzaRigaLista);
    scriviRigaLista(*scheda, linea.get());
    if (QStringView(linea.get(), kLunghezzaRigaLista) != riga)
        abort();
    auto byte = std::make_unique<char[]>(kLunghezzaRigaLista);
    scriviRigaListaCp1252(*scheda, byte.get());
    return 0;
}
