#include "archive/ModificheArchivio.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

EsitoModifiche applicaModifiche(const QString& appDir, const ModificheArchivio& modifiche, QString* problema)
{
    if (modifiche.vuote())
        return EsitoModifiche::Fatte;
    const QString archivePath = ArchiveFile::archivePath(appDir);
    const ArchiveLock blocco(archivePath);
    if (blocco.busy())
        return EsitoModifiche::Occupato;
    if (blocco.guasto()) {
        if (problema)
            *problema = blocco.problema();
        return EsitoModifiche::Guasto;
    }
    const QString tempPath = ArchiveFile::tempPathFor(archivePath);

    QHash<qint64, const TSchedaContatto*> nuove;
    QSet<qint64> tolte;
    bool creato = false;
    const EsitoModifiche esito = [&] {
        ArchiveFile archivio(archivePath);
        const bool esiste = QFileInfo::exists(archivePath);
        if (esiste && !archivio.open(ArchiveFile::Access::ReadOnly))
            return EsitoModifiche::Errore;
        for (const auto& s : modifiche.sostituzioni) {
            if (!esiste || !archivio.holds(s.indice, s.attesa))
                return archivio.close() ? EsitoModifiche::Cambiato : EsitoModifiche::Errore;
            nuove.insert(s.indice, &s.nuova);
        }
        for (const auto& r : modifiche.rimozioni) {
            if (!esiste || !archivio.holds(r.indice, r.attesa))
                return archivio.close() ? EsitoModifiche::Cambiato : EsitoModifiche::Errore;
            tolte.insert(r.indice);
        }
        ArchiveFile temporaneo(tempPath);
        creato = temporaneo.create();
        if (!creato)
            return EsitoModifiche::Errore;
        // Runs of untouched records go across in one piece each, which the kernel copies itself where it can.
        const qint64 count = esiste ? archivio.recordCount() : 0;
        qint64 inizio = 0;
        for (qint64 i = 0; i <= count; ++i) {
            const bool toccato = i == count || nuove.contains(i) || tolte.contains(i);
            if (!toccato)
                continue;
            if (i > inizio && !temporaneo.copyRecordsFrom(archivio, inizio, i - inizio))
                return EsitoModifiche::Errore;
            inizio = i + 1;
            if (i < count && nuove.contains(i) && !temporaneo.write(*nuove.value(i)))
                return EsitoModifiche::Errore;
        }
        for (const TSchedaContatto& scheda : modifiche.aggiunte) {
            if (!temporaneo.write(scheda))
                return EsitoModifiche::Errore;
        }
        if (!archivio.close() || !temporaneo.sync() || !temporaneo.close())
            return EsitoModifiche::Errore;
        return EsitoModifiche::Fatte;
    }();
    if (esito == EsitoModifiche::Fatte && ArchiveFile::replaceWith(tempPath, archivePath))
        return esito;
    if (creato)
        QFile::remove(tempPath);
    return esito == EsitoModifiche::Fatte ? EsitoModifiche::Errore : esito;
}
