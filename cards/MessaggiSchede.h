#pragma once

#include <QString>

// The card window's own texts.
namespace MessaggiSchede {

inline QString nessunaScheda()
{
    return QStringLiteral("Non esiste nessuna scheda in archivio.");
}

inline QString contenutoMinimo()
{
    return QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il cognome o il nome del "
                          "contatto o la denominazione dell'azienda.");
}

inline QString modificheSalvate()
{
    return QStringLiteral("Le modifiche apportate al contatto corrente sono state salvate in archivio.");
}

inline QString contattoSalvato()
{
    return QStringLiteral("Il contatto corrente è stato salvato in archivio.");
}

inline QString cancellazioneNonValida()
{
    return QStringLiteral("Attenzione: operazione non valida.\r\n\r\nLa cancellazione può essere applicata "
                          "soltanto ad una scheda già registrata in archivio.");
}

inline QString titoloConferma()
{
    return QStringLiteral("Conferma cancellazione scadenza");
}

inline QString domandaConferma()
{
    return QStringLiteral("Si vuole proprio eliminare la scheda corrente?");
}

} // namespace MessaggiSchede
