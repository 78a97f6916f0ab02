#pragma once

#include <QString>

// The texts the user must see, written out here rather than taken from the program, so a changed text fails.
namespace TestiAttesi {

inline const QString kNessunaScheda = QStringLiteral("Non esiste nessuna scheda in archivio.");
inline const QString kErroreArchivio = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di possedere i privilegi di "
    "scrittura nella cartella di installazione del programma.");
inline const QString kContenutoMinimo =
    QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il cognome o il nome del contatto o la "
                   "denominazione dell'azienda.");
inline const QString kModificheSalvate =
    QStringLiteral("Le modifiche apportate al contatto corrente sono state salvate in archivio.");
inline const QString kContattoSalvato = QStringLiteral("Il contatto corrente è stato salvato in archivio.");
inline const QString kCancellazioneNonValida = QStringLiteral(
    "Attenzione: operazione non valida.\r\n\r\nLa cancellazione può essere applicata soltanto ad una scheda già "
    "registrata in archivio.");
inline const QString kTitoloConferma = QStringLiteral("Conferma cancellazione scadenza");
inline const QString kDomandaConferma = QStringLiteral("Si vuole proprio eliminare la scheda corrente?");
inline const QString kSchedaCambiata =
    QStringLiteral("La scheda è stata modificata da un altro programma: è stata ricaricata.");
inline const QString kArchivioOccupato = QStringLiteral("Archivio occupato da un altro programma: riprovare.");
inline const QString kCarattereNonValido =
    QStringLiteral("Attenzione: carattere non valido. Digitare solo valori numerici.");

} // namespace TestiAttesi
