#pragma once

#include "archive/Cp1252.h"
#include "support/SchedeDiProva.h"

#include <QTemporaryDir>

#include <initializer_list>
#include <utility>

// A temporary program folder whose archive holds the cards given, each as a list of (field, text) pairs. The texts
// go into the slots as they are, blanks around them included, as another tool may have written them.
namespace ArchivioEsportazione {

using Campi = std::initializer_list<std::pair<Campo, QString>>;

inline TSchedaContatto scheda(Campi campi)
{
    TSchedaContatto s{};
    for (const auto& [campo, testo] : campi) {
        const QByteArray byte = toCp1252(testo);
        char* slot = reinterpret_cast<char*>(&s) + kCampiScheda[campo].offset;
        slot[0] = char(byte.size());
        std::memcpy(slot + 1, byte.constData(), size_t(byte.size()));
    }
    return s;
}

inline bool scrivi(const QTemporaryDir& cartella, std::initializer_list<Campi> schede)
{
    QByteArray byte;
    for (const Campi& c : schede)
        byte += SchedeDiProva::byte(scheda(c));
    return SchedeDiProva::scrivi(ArchiveFile::archivePath(cartella.path()), byte);
}

} // namespace ArchivioEsportazione
