// The archive reader over arbitrary bytes: the file opened for reading, every complete record read, turned into
// its sixteen texts, trimmed and laid out as the list line. Each record lives in a heap block of exactly its
// size, so a read past the record is a finding.
#include "Fuzz.h"

#include "archive/ArchiveFile.h"
#include "archive/RigaLista.h"
#include "archive/TestiScheda.h"
#include "archive/Trim.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = Fuzz::scrivi(QStringLiteral("Contatti.pro"), data, size);
    ArchiveFile archivio(path);
    if (!archivio.open(ArchiveFile::Access::ReadOnly))
        abort();
    const qint64 schede = archivio.recordCount();
    if (schede != qint64(size) / ArchiveFile::kRecordSize)
        abort();
    auto scheda = std::make_unique<TSchedaContatto>();
    for (qint64 i = 0; i < schede; ++i) {
        if (!archivio.read(*scheda))
            abort();
        const TestiScheda testi = testiDaScheda(*scheda);
        for (int c = 0; c < kNumeroCampi; ++c) {
            const auto campo = Campo(c);
            const QByteArrayView grezzo = byteCampo(*scheda, campo);
            if (grezzo.size() > kCampiScheda[c].capacity)
                abort();
            TrimByte(grezzo);
            if (testoCampo(*scheda, campo) != testi[c] || Trim(testi[c]) != testi[c])
                abort();
        }
        if (rigaLista(*scheda).size() != kLunghezzaRigaLista)
            abort();
        // The texts written back fit their slots whatever they held.
        auto copia = std::make_unique<TSchedaContatto>(*scheda);
        schedaDaTesti(*copia, testi);
    }
    // Past the last complete record nothing more is read, an incomplete tail included.
    TSchedaContatto resto;
    if (archivio.read(resto))
        abort();
    // Any index up to the count can be sought, and a read there gives the record at that index.
    if (schede > 0) {
        const qint64 i = data[0] % schede;
        if (!archivio.seek(i) || !archivio.read(*scheda)
            || memcmp(scheda.get(), data + i * ArchiveFile::kRecordSize, ArchiveFile::kRecordSize) != 0)
            abort();
    }
    archivio.close();
    return 0;
}
