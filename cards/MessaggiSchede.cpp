#include "cards/MessaggiSchede.h"

QString messaggioNessunaScheda()
{
    return QStringLiteral("Non esiste nessuna scheda in archivio.");
}

QString messaggioContenutoMinimo()
{
    return QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il cognome o il nome del "
                          "contatto o la denominazione dell'azienda.");
}

QString messaggioModificheSalvate()
{
    return QStringLiteral("Le modifiche apportate al contatto corrente sono state salvate in archivio.");
}

QString messaggioContattoSalvato()
{
    return QStringLiteral("Il contatto corrente è stato salvato in archivio.");
}

QString messaggioCancellazioneNonValida()
{
    // CR LF twice: a blank line between the warning and the reason.
    return QStringLiteral("Attenzione: operazione non valida.\r\n\r\nLa cancellazione può essere applicata "
                          "soltanto ad una scheda già registrata in archivio.");
}

QString titoloConfermaCancellazione()
{
    // The caption says "scadenza" (a due date) although a card is deleted; the user has always seen it so.
    return QStringLiteral("Conferma cancellazione scadenza");
}

QString domandaConfermaCancellazione()
{
    return QStringLiteral("Si vuole proprio eliminare la scheda corrente?");
}

QString messaggioSchedaCambiata()
{
    return QStringLiteral("La scheda è stata modificata da un altro programma: è stata ricaricata.");
}
