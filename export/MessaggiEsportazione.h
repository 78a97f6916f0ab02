#pragma once

#include <QString>

// The texts of the export window's messages and dialogs.
namespace MessaggiEsportazione {

inline QString csvCompletata()
{
    return QStringLiteral("Esportazione archivio completata con successo.");
}

// The sentences are parted by CR LF CR LF.
inline QString erroreExcel()
{
    return QStringLiteral("Si è verificato un errore durante l'esportazione dei dati in Excel.\r\n\r\nAccertarsi che "
                          "il pacchetto Microsoft Office sia installato sul proprio computer.");
}

inline QString titoloSalvaCsv()
{
    return QStringLiteral("Esporta rubrica contatti in formato .CSV");
}

// One entry: the description "File .CSV (*.csv)" for the pattern "*.CSV"; the dialog matches names without
// regard to case, so the pattern in the description is the one it applies.
inline QString filtroCsv()
{
    return QStringLiteral("File .CSV (*.csv)");
}

// The application's standard error report for a file that cannot be written: the name and the system's reason.
inline QString erroreScrittura(const QString& percorso, const QString& motivo)
{
    return QStringLiteral("Impossibile scrivere il file \"%1\".\n%2").arg(percorso, motivo);
}

} // namespace MessaggiEsportazione
