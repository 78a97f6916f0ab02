#include "checks/MessaggiControlli.h"

QString messaggioCodFiscLunghezza()
{
    return QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
}

QString messaggioCodFiscCorretto()
{
    return QStringLiteral("Codice fiscale CORRETTO.");
}

QString messaggioCodFiscErrato()
{
    return QStringLiteral("Attenzione: codice fiscale ERRATO.");
}

QString messaggioPartitaIvaLunghezza()
{
    return QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici.");
}

QString messaggioPartitaIvaErrata()
{
    return QStringLiteral("Attenzione: il numero di partita IVA è ERRATO.");
}

QString messaggioCarattereNonValido()
{
    return QStringLiteral("Attenzione: carattere non valido. Digitare solo valori numerici.");
}

QString messaggioPartitaIvaCorretta(const QString& ufficio)
{
    // CR LF twice, as the message box shows it: a blank line between the verdict and the office.
    return QStringLiteral("Il numero di Partita IVA è CORRETTO.") + QStringLiteral("\r\n\r\n") +
           QStringLiteral("E' stato rilasciato dall'Ufficio IVA del Comune di ") + ufficio + u'.';
}
