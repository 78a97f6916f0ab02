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
