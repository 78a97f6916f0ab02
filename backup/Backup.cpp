#include "backup/Backup.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"
#include "archive/GiornaleArchivio.h"

namespace Backup {

namespace {

bool copia(const QString& sorgente, const QString& destinazione, const DispositivoCopia& dispositivo)
{
    try {
        CopiaFile(sorgente, destinazione, dispositivo);
        return true;
    } catch (const std::exception&) {
        // The window has one message for every failure of an operation; the reason is not shown.
        return false;
    }
}

} // namespace

QString nomeBackup(const QString& scelto)
{
    const QString estensione = QStringLiteral(".bkc");
    return scelto.endsWith(estensione, Qt::CaseSensitive) ? scelto : scelto + estensione;
}

bool creaBackup(const QString& appDir, const QString& scelto, const DispositivoCopia& dispositivo)
{
    return copia(ArchiveFile::archivePath(appDir), nomeBackup(scelto), dispositivo);
}

Ripristino ripristinaBackup(const QString& appDir, const QString& scelto, const DispositivoCopia& dispositivo,
                            QString* problema)
{
    const QString archivio = ArchiveFile::archivePath(appDir);
    const ArchiveLock blocco(archivio);
    if (blocco.busy())
        return Ripristino::Occupato;
    if (blocco.guasto()) {
        if (problema)
            *problema = blocco.problema();
        return Ripristino::Guasto;
    }
    if (!copia(scelto, archivio, dispositivo))
        return Ripristino::Fallito;
    azzeraGiornale(appDir);
    return Ripristino::Riuscito;
}

QString messaggioBackupRiuscito()
{
    return QStringLiteral("Creazione backup rubrica contatti completata con successo.");
}

QString messaggioBackupFallito()
{
    return QStringLiteral("Attenzione: il sistema non consente di salvare il file nella posizione specificata. "
                          "Creazione backup rubrica contatti non riuscita.");
}

QString messaggioRipristinoRiuscito()
{
    return QStringLiteral("Ripristino backup archivio contatti completata con successo.");
}

QString messaggioRipristinoFallito()
{
    return QStringLiteral("Attenzione: il sistema non consente di sovrascrivere l'archivio corrente. "
                          "Ripristino archivio contatti non riuscito.");
}

} // namespace Backup
