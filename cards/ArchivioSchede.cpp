#include "cards/ArchivioSchede.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"
#include "archive/GiornaleArchivio.h"
#include "archive/Trim.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The position text as a number; an empty text counts as 0, the place before the first card.
qint64 numero(const QString& posizione)
{
    return posizione.toLongLong();
}

// Reads record `indice` of an open archive into `esito`, which then shows it at the archive's new
// current index. The caller closes the archive.
void mostra(ArchiveFile& archivio, qint64 indice, EsitoScorrimento& esito)
{
    TSchedaContatto scheda{};
    if (!archivio.seek(indice) || !archivio.read(scheda)) {
        esito.tipo = EsitoScorrimento::Errore;
        return;
    }
    esito.tipo = EsitoScorrimento::Mostra;
    esito.scheda = scheda;
    esito.posizione = QString::number(archivio.currentIndex());
}

void scorriAperto(ArchiveFile& archivio, Scorrimento direzione, EsitoScorrimento& esito)
{
    const QString trimmed = Trim(esito.posizione);
    if (direzione == Scorrimento::Successiva && trimmed.isEmpty())
        esito.posizione = QStringLiteral("0");
    if (direzione == Scorrimento::Precedente && trimmed == u"1")
        return; // the first card is on screen
    const qint64 count = archivio.recordCount();
    if (count == 0) {
        if (direzione == Scorrimento::Successiva)
            esito.posizione.clear();
        esito.tipo = EsitoScorrimento::NessunaScheda;
        return;
    }
    switch (direzione) {
    case Scorrimento::Prima:
        mostra(archivio, 0, esito);
        return;
    case Scorrimento::Ultima:
        mostra(archivio, count - 1, esito);
        return;
    case Scorrimento::Successiva: {
        const qint64 p = numero(Trim(esito.posizione));
        if (p < count)
            mostra(archivio, p, esito);
        return; // no wrap-around past the last card
    }
    case Scorrimento::Precedente:
        mostra(archivio, trimmed.isEmpty() ? 0 : numero(trimmed) - 2, esito);
        return;
    }
}

} // namespace

EsitoScorrimento scorri(const QString& appDir, Scorrimento direzione, const QString& posizione,
                        const ArchiveFile::DeviceFactory& dispositivi)
{
    EsitoScorrimento esito;
    esito.posizione = posizione;
    ArchiveFile archivio(ArchiveFile::archivePath(appDir), dispositivi);
    if (!archivio.open(ArchiveFile::Access::ReadOnly)) {
        esito.tipo = EsitoScorrimento::Errore;
        return esito;
    }
    scorriAperto(archivio, direzione, esito);
    if (!archivio.close() && esito.tipo != EsitoScorrimento::Errore) {
        esito.tipo = EsitoScorrimento::Errore;
        esito.posizione = posizione;
    }
    return esito;
}

bool haContenutoMinimo(const TestiScheda& testi)
{
    return !TrimView(testi[Cognome]).isEmpty() || !TrimView(testi[Nome]).isEmpty() ||
           !TrimView(testi[Azienda]).isEmpty();
}

namespace {

EsitoScrittura esitoDi(EsitoScrittura::Tipo tipo, const QString& posizione)
{
    EsitoScrittura esito;
    esito.tipo = tipo;
    esito.posizione = posizione;
    return esito;
}

// The card to show once the one on screen turned out changed: the record now at position p, or the first
// card when p is gone, or none.
// Whether the lock stops the write: another writer kept it for the whole wait, or its file is broken. `esito`
// then says so.
bool nonPreso(const ArchiveLock& blocco, const QString& posizione, EsitoScrittura& esito)
{
    if (!blocco.busy() && !blocco.guasto())
        return false;
    esito = esitoDi(blocco.busy() ? EsitoScrittura::Occupato : EsitoScrittura::Guasto, posizione);
    esito.messaggio = blocco.problema();
    return true;
}

EsitoScrittura cambiata(ArchiveFile& archivio, qint64 p)
{
    EsitoScrittura esito = esitoDi(EsitoScrittura::Cambiata, QString());
    const qint64 count = archivio.recordCount();
    if (count == 0)
        return esito;
    const qint64 indice = p >= 1 && p <= count ? p - 1 : 0;
    if (!archivio.seek(indice) || !archivio.read(esito.scheda))
        return esitoDi(EsitoScrittura::Errore, QString());
    esito.posizione = QString::number(archivio.currentIndex());
    return esito;
}

} // namespace

EsitoScrittura salva(const QString& appDir, const TestiScheda& testi, const QString& posizione,
                     const TSchedaContatto& caricata, const ArchiveFile::DeviceFactory& dispositivi)
{
    const QString percorso = ArchiveFile::archivePath(appDir);
    const ArchiveLock blocco(percorso);
    if (EsitoScrittura fermo; nonPreso(blocco, posizione, fermo))
        return fermo;
    const EsitoScrittura errore = esitoDi(EsitoScrittura::Errore, posizione);
    ArchiveFile archivio(percorso, dispositivi);
    if (!archivio.open(ArchiveFile::Access::OpenOrCreate))
        return errore;

    const QString trimmed = Trim(posizione);
    const qint64 count = archivio.recordCount();
    qint64 indice = count;
    if (!trimmed.isEmpty()) {
        const qint64 p = numero(trimmed);
        if (p < 1)
            return errore;
        // Another program may have changed, moved or removed the card since it was loaded: writing over
        // whatever is at that place now would lose a card without a word.
        if (!archivio.holds(p - 1, caricata)) {
            EsitoScrittura esito = cambiata(archivio, p);
            return archivio.close() ? esito : errore;
        }
        indice = p - 1;
    }
    const qint64 dimensione = QFileInfo(percorso).size();
    EsitoScrittura esito;
    schedaDaTesti(esito.scheda, testi);
    const bool scritta = archivio.seek(indice) && archivio.write(esito.scheda);
    const QString nuova = QString::number(archivio.currentIndex());
    if (!archivio.close() || !scritta) {
        // A new card that did not land whole (a full disk) or whose landing was not confirmed is taken off
        // again: a failed save leaves the archive as it was, without half a record or a card the user was
        // told is not saved and would save a second time. The lock is held, so the bytes after the old end
        // are this save's own.
        if (indice == count)
            QFile::resize(percorso, dimensione);
        return errore;
    }
    esito.tipo = trimmed.isEmpty() ? EsitoScrittura::Aggiunta : EsitoScrittura::Modificata;
    esito.posizione = nuova;
    const QByteArray dopo = identitaRecord(esito.scheda);
    registraNelGiornale(appDir, {trimmed.isEmpty() ? OperazioneGiornale{OperazioneGiornale::Tipo::Aggiunta, {}, dopo}
                                                   : OperazioneGiornale{OperazioneGiornale::Tipo::Sostituita,
                                                                        identitaRecord(caricata), dopo}});
    return esito;
}

namespace {

// Copies every record of the archive but record `saltato` (none when -1) into the temporary file, and forces
// it to the disk: renaming a file whose records may still be only in memory could leave an empty archive
// after a power cut. Whole records only: the bytes of an incomplete last record are left behind. The two
// ranges around the record left out go across in one piece each, which the kernel copies itself where it can.
bool copiaTranne(ArchiveFile& archivio, ArchiveFile& temporaneo, qint64 saltato)
{
    const qint64 count = archivio.recordCount();
    const bool salta = saltato >= 0;
    const qint64 prima = salta ? saltato : count;
    if (!temporaneo.copyRecordsFrom(archivio, 0, prima))
        return false;
    if (salta && !temporaneo.copyRecordsFrom(archivio, saltato + 1, count - saltato - 1))
        return false;
    return archivio.close() && temporaneo.sync() && temporaneo.close();
}

} // namespace

EsitoScrittura elimina(const QString& appDir, const QString& posizione, const TSchedaContatto& caricata,
                       const ArchiveFile::DeviceFactory& dispositivi)
{
    const QString archivePath = ArchiveFile::archivePath(appDir);
    const ArchiveLock blocco(archivePath);
    if (EsitoScrittura fermo; nonPreso(blocco, posizione, fermo))
        return fermo;
    // Beside the file the archive really is, which a symbolic link may put in another folder.
    const QString tempPath = ArchiveFile::tempPathFor(archivePath);
    // The record left out is the one whose position, written as decimal text, equals the label's text.
    const QString testo = Trim(posizione);
    bool numerico = false;
    const qint64 p = testo.toLongLong(&numerico);
    const qint64 saltato = numerico && QString::number(p) == testo ? p - 1 : -1;
    bool creato = false;
    bool ok = false;
    {
        ArchiveFile archivio(archivePath, dispositivi);
        if (!archivio.open(ArchiveFile::Access::ExistingOnly))
            return esitoDi(EsitoScrittura::Errore, posizione);
        if (saltato >= 0 && !archivio.holds(saltato, caricata)) {
            EsitoScrittura esito = cambiata(archivio, p);
            return archivio.close() ? esito : esitoDi(EsitoScrittura::Errore, posizione);
        }
        ArchiveFile temporaneo(tempPath, dispositivi);
        creato = temporaneo.create();
        ok = creato && copiaTranne(archivio, temporaneo, saltato);
    }
    ok = ok && ArchiveFile::replaceWith(tempPath, archivePath);
    // A Contatti.tmp that this deletion did not make (a folder of that name, say) is not ours to remove.
    if (!ok && creato)
        QFile::remove(tempPath);
    if (ok && saltato >= 0)
        registraNelGiornale(appDir, {{OperazioneGiornale::Tipo::Rimossa, identitaRecord(caricata), {}}});
    return esitoDi(ok ? EsitoScrittura::Eliminata : EsitoScrittura::Errore, ok ? QString() : posizione);
}
