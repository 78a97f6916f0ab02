#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The commands for scripts: export and import without a window, and without a display.
//     Carnetto --esporta-vcard FILE | --esporta-csv FILE | --importa-vcard FILE |
//              --sincronizza [URL UTENTE] [--certificato SHA256] | --help
struct RigaDiComando
{
    enum Azione {
        Finestre, // no command of ours: the program starts its windows, with `file` when one was given to open
        Aiuto,
        EsportaVCard,
        EsportaCsv,
        ImportaVCard,
        Sincronizza, // `url` and `utente` for the first synchronisation of a folder, empty afterwards
        Sbagliata,   // a command of ours given wrongly; `errore` says how
    };
    Azione azione = Finestre;
    QString file;
    QString url;
    QString utente;
    QString certificato; // --certificato: the SHA-256 fingerprint of a server certificate to accept
    QString errore;
};

// The arguments after the program's name.
RigaDiComando leggiRigaDiComando(const QStringList& argomenti);

// Runs a command over the archive in `appDir`: one line on `out` on success, the message on `err` on failure.
// A relative file name is taken from the current folder. Returns the exit status: 0, 1 on failure, 2 for a
// command given wrongly. The synchronisation takes its password from CARNETTO_PASSWORD or from `in`, and
// returns 2 as well when the server has several address books (listed on `out`: the address of one is then
// given), 3 when conflicts are left for the window.
int eseguiRigaDiComando(const RigaDiComando& riga, const QString& appDir, QTextStream& out, QTextStream& err,
                        QTextStream* in = nullptr);

// Called by main() before any application object exists, so that a command never needs a display: -1 when the
// windows should start, otherwise the exit status of the command it ran over the archive in `appDir`.
int avviaRigaDiComando(int argc, char* argv[], const QString& appDir);
