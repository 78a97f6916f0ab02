#include "search/SchedaDallaRiga.h"

#include "archive/ArchiveFile.h"
#include "archive/RigaLista.h"
#include "archive/Trim.h"

bool caricaSchedeDellaRiga(const QString& appDir, const QString& riga,
                           const std::function<void(const TSchedaContatto& scheda, qint64 posizione)>& carica)
{
    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Access::ReadOnly))
        return false;
    const QStringView cercata = TrimView(riga);
    QString costruita(kLunghezzaRigaLista, Qt::Uninitialized);
    TSchedaContatto scheda;
    const qint64 totale = archivio.recordCount();
    for (qint64 i = 0; i < totale; ++i) {
        if (!archivio.read(scheda))
            return false;
        scriviRigaLista(scheda, costruita.data());
        if (TrimView(costruita) == cercata)
            carica(scheda, archivio.currentIndex());
    }
    return archivio.close();
}
