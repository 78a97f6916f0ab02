#pragma once

#include "archive/ArchiveFile.h"
#include "archive/TestiScheda.h"

#include <QString>

// The card window's archive operations as plain functions. Each opens Contatti.pro, works by record
// index and closes it before returning; the window keeps only the position text, and hands it in.
// `dispositivi` makes the files the operation opens; tests pass one that fails on demand.

enum class Scorrimento { Prima, Precedente, Successiva, Ultima };

struct EsitoScorrimento
{
    enum Tipo {
        Mostra,        // `testi` hold the card to show
        NessunaScheda, // the archive is empty
        Niente,        // already at the first or last card: nothing to do, nothing to say
        Errore,        // the archive failed
    };
    Tipo tipo = Niente;
    TestiScheda testi;
    QString posizione; // the position text after the step, whatever the outcome
};

EsitoScorrimento scorri(const QString& appDir, Scorrimento direzione, const QString& posizione,
                        const ArchiveFile::DeviceFactory& dispositivi = {});

struct EsitoSalvataggio
{
    enum Tipo { Aggiunta, Modificata, Errore };
    Tipo tipo = Errore;
    QString posizione;
};

// The minimum a card needs to be saved: a surname, a first name or a company.
bool haContenutoMinimo(const TestiScheda& testi);

// An empty position appends the card; a position overwrites that record in place.
EsitoSalvataggio salva(const QString& appDir, const TestiScheda& testi, const QString& posizione,
                       const ArchiveFile::DeviceFactory& dispositivi = {});

// Rewrites the archive without the record whose position text equals `posizione`, through Contatti.tmp.
// The archive holds its old content until the complete temporary file, forced to the disk, is renamed over
// it; a symbolic link stays a link and the permission bits stay (ArchiveFile::replaceWith). False on failure,
// and then no Contatti.tmp made by this deletion is left behind.
bool elimina(const QString& appDir, const QString& posizione, const ArchiveFile::DeviceFactory& dispositivi = {});
