#include "app/HelpTopics.h"

HelpTopic mainHelpTopic()
{
    return {
        QStringLiteral("Uno sguardo ad Carnetto 4.0"),
        {
            QStringLiteral("Carnetto è un software compatto, utilizzabile anche su pen-drive, che consente di avere "
                           "una rubrica dei contatti sempre a portata di mano. Permette di registrare informazioni "
                           "anagrafiche, indirizzi, numeri di telefono ed altri dati relativi a persone o aziende."),
            QStringLiteral(
                "E' possibile collegarsi alla pagina Internet del nominativo selezionato senza uscire dal programma e "
                "lanciare automaticamente il software predefinito per la gestione della posta elettronica con la "
                "comodità di trovare già trascritto l'indirizzo e-mail nella relativa casella."),
            QStringLiteral("I campi relativi ai numeri di partita IVA e codice fiscale sono affiancati da pulsanti che "
                           "consentono di controllare la validità dei dati inseriti. Una finestra di messaggio ci "
                           "informa sull'esito della verifica. Se il numero di partita IVA è esatto, ci verrà anche "
                           "fornito l'indicazione dell'ufficio provinciale che lo ha rilasciato."),
            QStringLiteral("I contatti in archivio possono essere rintracciati velocemente grazie ad un'avanzata "
                           "funzione di ricerca utilizzabile anche con chiave parziale, ossia immettendo una o più "
                           "parole consecutive contenute nella scheda da cercare."),
            QStringLiteral(
                "Per poter usare Carnetto è sufficiente mettere due file (Carnetto.exe e Contatti.pro) in una cartella "
                "qualsiasi su disco fisso oppure su chiavetta USB. Il software dispone di una funzione di "
                "installazione guidata affinché l'utente possa creare automaticamente le icone per l'avvio del "
                "programma e per la sua disinstallazione. Una volta installato il software, è comunque possibile "
                "copiare su pen-drive i due file summenzionati e si potrà utilizzare il programma senza installazione, "
                "semplicemente lanciando l'eseguibile (file Carnetto.exe)."),
            QStringLiteral(
                "Carnetto è dotato di una funzione automatica per effettuare una copia di sicurezza dell'archivio dei "
                "contatti o ripristinare un file di backup salvato precedentemente. Il software è anche in grado di "
                "esportare la rubrica dei contatti in un file .CSV o in un foglio di Microsoft Excel per poter "
                "condividere i dati con chi non usa lo stesso programma."),
            QStringLiteral("Carnetto è quindi l'archivio tascabile da portare a spasso tra casa e ufficio o dovunque "
                           "ci sia un computer che giri sotto Windows, con la garanzia che il suo uso su pen-drive non "
                           "ruberà un solo byte al disco fisso."),
        }};
}

HelpTopic cardHelpTopic()
{
    return {
        QStringLiteral("Rubrica contatti"),
        {
            QStringLiteral("La rubrica dei contatti permette di registrare informazioni anagrafiche, indirizzi, numeri "
                           "di telefono ed altri dati relativi a persone o aziende."),
            QStringLiteral("Le icone presenti in questa finestra permettono di eseguire le seguenti funzioni per la "
                           "gestione delle schede dei contatti:"),
            QStringLiteral("- icona Nuovo: vuota i campi di testo e li prepara ad accogliere una nuova scheda;"),
            QStringLiteral("- icona Salva: effettua il salvataggio in archivio dei dati presenti sullo schermo;"),
            QStringLiteral("- icona Cerca: visualizza la lista dei contatti presenti in archivio permettendo di "
                           "selezionare una scheda attraverso una ricerca rapida;"),
            QStringLiteral(
                "- icona Esporta: esporta la rubrica dei contatti in un file .CSV o in un foglio di Microsoft Excel."),
            QStringLiteral("- icona Backup: effettua una copia di sicurezza dell'archivio dei contatti corrente o "
                           "ripristina un file di backup salvato precedentemente;"),
            QStringLiteral("- icona Elimina: cancella la scheda corrente. Attenzione: i dati eliminati non possono più "
                           "essere recuperati;"),
            QStringLiteral("- icona Guida: visualizza una pagina della guida in linea sensibile al contesto;"),
            QStringLiteral(
                "- icona Esci: consente di uscire dalla finestra dei contatti e di tornare alla schermata principale."),
            QStringLiteral(
                "Le frecce di scorrimento presenti in fondo alla schermata consentono di visualizzare la scheda "
                "precedente o successiva a quella corrente oppure di posizionarsi in testa o in coda all'archivio."),
            QStringLiteral(
                "La rubrica dei contatti permette di collegarsi alla pagina Internet del nominativo selezionato senza "
                "uscire dal programma e di lanciare automaticamente il software predefinito per la gestione della "
                "posta elettronica con la comodità di trovare già trascritto l'indirizzo e-mail nella relativa "
                "casella. Inoltre, i campi relativi ai numeri di partita IVA e codice fiscale sono affiancati da "
                "pulsanti che consentono di controllare la validità dei dati inseriti. Una finestra di messaggio ci "
                "informa sull'esito della verifica. Se il numero di partita IVA è esatto, ci verrà anche fornito "
                "l'indicazione dell'ufficio provinciale che lo ha rilasciato."),
        }};
}

HelpTopic exportHelpTopic()
{
    return {QStringLiteral("Esportazione rubrica contatti"),
            {
                QStringLiteral("La funzione Esportazione dati consente di esportare la rubrica dei contatti in un file "
                               ".CSV oppure in un foglio di lavoro di Microsoft Excel."),
                QStringLiteral("L'ambiente per l'esportazione mostra la tabella dei contatti ordinati in base al "
                               "cognome, all'azienda o all'indirizzo e-mail."),
                QStringLiteral(
                    "Si tenga presente che, quando si ordina la tabella in base ad un criterio, le schede in cui il "
                    "campo relativo allo stesso criterio non è stato compilato non compariranno in elenco."),
                QStringLiteral("Se si vuole visualizzare l'elenco completo delle schede in archivio, a prescindere dai "
                               "campi che sono stati compilati, bisogna selezionare l'icona Tutti."),
            }};
}

HelpTopic helpTopicText(HelpTopicId id)
{
    switch (id) {
    case HelpTopicId::Cards:
        return cardHelpTopic();
    case HelpTopicId::Export:
        return exportHelpTopic();
    case HelpTopicId::Main:
        break;
    }
    return mainHelpTopic();
}
