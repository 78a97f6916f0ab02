#include "archive/MessaggiArchivio.h"

QString messaggioErroreArchivio()
{
    return QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                          "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del "
                          "programma.");
}

QString messaggioArchivioOccupato()
{
    return QStringLiteral("Archivio occupato da un altro programma: riprovare.");
}

QString messaggioBloccoNonNormale(const QString& nomeFile, const QString& natura)
{
    return QStringLiteral("Il file %1 nella cartella dell'archivio non è un file normale (%2): eliminarlo e riprovare.")
        .arg(nomeFile, natura);
}

QString messaggioBloccoIlleggibile(const QString& nomeFile)
{
    return QStringLiteral("Il file %1 nella cartella dell'archivio non è leggibile da questo utente (forse è di un "
                          "altro utente): se nessun altro sta usando l'archivio, eliminarlo e riprovare.")
        .arg(nomeFile);
}
