#pragma once

#include "archive/TestiScheda.h"

#include <QList>
#include <QString>

#include <functional>

class QIODevice;

// Cards in and out of the archive as vCard files. Plain functions over Contatti.pro in `appDir`; whoever calls them
// (the command line, a window) turns the outcome into its message with messaggioScambio().

struct EsitoScambio
{
    enum Tipo {
        Riuscito,
        FileIlleggibile,  // the chosen file cannot be opened or read; `dettaglio` holds the system's reason
        NonFileRegolare,  // not a regular file (a folder, a device, a FIFO), or larger than kMassimoFile
        FileVuoto,        // no contact in it
        NonVCard,         // not a vCard file
        FileIncompleto,   // a card begins and never ends
        FileArchivio,     // the chosen file is the archive itself, which an export must never replace
        ErroreArchivio,   // the archive could not be read, or the new one not written; it is as it was
        ArchivioOccupato, // another writer kept the archive's write lock; nothing was written
        BloccoGuasto,     // the archive's lock file is broken; nothing was written; `dettaglio` is the whole message
        ErroreScrittura,  // the chosen file cannot be written; `dettaglio` holds the system's reason
    };
    Tipo tipo = Riuscito;
    int schede = 0;            // cards imported or exported
    int accorciate = 0;        // imported cards that lost text on the way in
    qint64 primaPosizione = 0; // import: the archive position of the first card added
    QString dettaglio;

    bool riuscito() const { return tipo == Riuscito; }
};

// The largest vCard file read: far more than any address book holds, and little enough to hold in memory.
constexpr qint64 kMassimoFile = qint64(256) << 20;

struct FileVCardLetto
{
    EsitoScambio esito; // Riuscito with `schede` and `accorciate` counted, or why nothing can be imported
    QList<TestiScheda> schede;
};

// Reads and decodes the whole file before anything touches the archive, so the person can be asked first and a
// bad file changes nothing.
FileVCardLetto leggiFileVCard(const QString& percorso);

// Appends the cards through a complete copy of the archive in Contatti.tmp, renamed over Contatti.pro only once it
// is written and flushed: after any failure the archive is byte for byte what it was and no Contatti.tmp is left.
// The archive's write lock is held from the copy to the rename, so no card another writer adds meanwhile is lost.
// In a synchronised folder each card added goes into the journal (GiornaleArchivio).
EsitoScambio aggiungiSchede(const QString& appDir, const QList<TestiScheda>& schede);

// What leggiFileVCard, then aggiungiSchede would do, straight from the file's bytes to the records.
EsitoScambio importaVCard(const QString& appDir, const QString& percorso);

// Every card of the archive as vCards, in archive order. A missing archive has no cards and is not created.
EsitoScambio scriviVCardArchivio(const QString& appDir, QIODevice& out);

// Writes the whole file through a temporary file in the same folder, renamed over `percorso` only when complete:
// a failure leaves an existing file as it was and no temporary file behind. The archive itself is refused.
EsitoScambio salvaFile(const QString& appDir, const QString& percorso,
                       const std::function<EsitoScambio(QIODevice&)>& scrivi);

EsitoScambio esportaVCard(const QString& appDir, const QString& percorso);

// The message for a failed outcome, naming the file chosen.
QString messaggioScambio(const EsitoScambio& esito, const QString& percorso);

// For the card window's import of a dropped or opened file: the question before it and the report after it.
QString domandaImportazione(int schede);
QString messaggioImportazione(const EsitoScambio& esito);
