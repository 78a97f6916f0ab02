// The export fill over an arbitrary archive: each of the four views fills the grid, and every cell and CSV
// line of it can be read back.
#include "Fuzz.h"

#include "archive/ArchiveFile.h"
#include "export/GrigliaEsportazione.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString appDir = Fuzz::cartella() + QStringLiteral("/griglia");
    static const bool fatta = QDir().mkpath(appDir);
    if (!fatta)
        abort();
    Fuzz::scrivi(QStringLiteral("griglia/Contatti.pro"), data, size);
    const qint64 schede = qint64(size) / ArchiveFile::kRecordSize;

    using V = GrigliaEsportazione::Vista;
    for (V vista : {V::Persone, V::Aziende, V::Email, V::Tutti}) {
        GrigliaEsportazione griglia;
        const auto esito = griglia.riempi(appDir, vista);
        if (esito == GrigliaEsportazione::Esito::Interrotta)
            abort();
        if ((esito == GrigliaEsportazione::Esito::Vuota) != (schede == 0))
            abort();
        if (griglia.righePiene() > schede + 1)
            abort();
        for (int riga = 0; riga < griglia.righe(); ++riga) {
            const QByteArrayView linea = griglia.lineaCsv(riga);
            if (!linea.endsWith("\r\n"))
                abort();
            for (int colonna = 0; colonna < griglia.colonne(); ++colonna)
                griglia.testo(colonna, riga);
        }
        griglia.testo(-1, 0);
        griglia.testo(0, griglia.righe());
    }
    return 0;
}
