#include "vcard/ScambioVCard.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"
#include "archive/GiornaleArchivio.h"
#include "archive/MessaggiArchivio.h"
#include "vcard/CodecVCard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

EsitoScambio fallito(EsitoScambio::Tipo tipo, const QString& dettaglio = {})
{
    EsitoScambio esito;
    esito.tipo = tipo;
    esito.dettaglio = dettaglio;
    return esito;
}

std::filesystem::path percorsoNativo(const QString& percorso)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(percorso.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(percorso).toStdString());
#endif
}

// Through a link, a second hard link or another spelling of the same path, the archive is still the archive.
bool eArchivio(const QString& appDir, const QString& percorso)
{
    const QString archivio = ArchiveFile::archivePath(appDir);
    std::error_code errore;
    if (std::filesystem::equivalent(percorsoNativo(archivio), percorsoNativo(percorso), errore))
        return true;
    return QFileInfo(archivio).absoluteFilePath() == QFileInfo(percorso).absoluteFilePath();
}

constexpr qsizetype kBloccoScrittura = 1 << 20;

bool scriviBlocco(QIODevice& out, QByteArray& blocco)
{
    const bool ok = out.write(blocco) == blocco.size();
    blocco.resize(0);
    return ok;
}

// The whole file, or false with the reason in `esito`. Only a regular file no larger than kMassimoFile is read:
// a device would be read for ever (/dev/zero) and a FIFO would hold the window in open() until a writer came. The
// file is opened without waiting, then looked at through the descriptor opened, so a name swapped meanwhile does
// not count.
bool leggiFile(const QString& percorso, QByteArray& contenuto, EsitoScambio& esito)
{
    QFile file;
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int errore = errno;
        esito = errore == EISDIR ? fallito(EsitoScambio::NonFileRegolare)
                                 : fallito(EsitoScambio::FileIlleggibile, QString::fromLocal8Bit(::strerror(errore)));
        return false;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMassimoFile) {
        ::close(fd);
        esito = fallito(EsitoScambio::NonFileRegolare);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        esito = fallito(EsitoScambio::FileIlleggibile, file.errorString());
        return false;
    }
#else
    const QFileInfo info(percorso);
    if (info.exists() && (!info.isFile() || info.size() > kMassimoFile)) {
        esito = fallito(EsitoScambio::NonFileRegolare);
        return false;
    }
    file.setFileName(percorso);
    if (!file.open(QIODevice::ReadOnly)) {
        esito = fallito(EsitoScambio::FileIlleggibile, file.errorString());
        return false;
    }
#endif
    // To its end, also when it grew meanwhile, but no further than just past the limit.
    contenuto.clear();
    contenuto.reserve(qsizetype(std::min(file.size(), kMassimoFile)));
    while (contenuto.size() <= kMassimoFile) {
        const QByteArray blocco = file.read(1 << 20);
        if (blocco.isEmpty())
            break;
        contenuto += blocco;
    }
    if (file.error() != QFileDevice::NoError) {
        esito = fallito(EsitoScambio::FileIlleggibile, file.errorString());
        return false;
    }
    if (contenuto.size() > kMassimoFile) {
        contenuto.clear();
        esito = fallito(EsitoScambio::NonFileRegolare);
        return false;
    }
    return true;
}

EsitoScambio::Tipo tipoLettura(LetturaVCard::Esito esito)
{
    switch (esito) {
    case LetturaVCard::Letta:
        break;
    case LetturaVCard::Vuota:
        return EsitoScambio::FileVuoto;
    case LetturaVCard::NonVCard:
        return EsitoScambio::NonVCard;
    case LetturaVCard::Incompleta:
        return EsitoScambio::FileIncompleto;
    }
    return EsitoScambio::Riuscito;
}

// Writes the new records into the copy of the archive, and notes each one's identity for the journal when the
// folder keeps one.
class NuoviRecord
{
public:
    NuoviRecord(ArchiveFile& copia, bool giornale) : m_copia(copia), m_giornale(giornale) {}

    bool operator()(const TSchedaContatto& scheda)
    {
        if (m_giornale)
            m_operazioni << OperazioneGiornale{OperazioneGiornale::Tipo::Aggiunta, {}, identitaRecord(scheda)};
        return m_copia.write(scheda);
    }
    const QList<OperazioneGiornale>& operazioni() const { return m_operazioni; }

private:
    ArchiveFile& m_copia;
    bool m_giornale;
    QList<OperazioneGiornale> m_operazioni;
};

// Appends `nuove` records, written by `scriviNuove` through a NuoviRecord, through a complete copy of the archive
// in Contatti.tmp that is renamed over Contatti.pro only once it is written and flushed, all under the archive's
// write lock.
template <typename F> EsitoScambio aggiungiRecord(const QString& appDir, qsizetype nuove, F&& scriviNuove)
{
    EsitoScambio esito;
    if (nuove == 0)
        return esito;
    const QString archivio = ArchiveFile::archivePath(appDir);
    const QString temporaneo = ArchiveFile::tempPath(appDir);
    const ArchiveLock blocco(archivio);
    if (blocco.busy())
        return fallito(EsitoScambio::ArchivioOccupato);
    if (blocco.guasto())
        return fallito(EsitoScambio::BloccoGuasto, blocco.problema());
    bool creato = false;
    QList<OperazioneGiornale> giornale;
    const bool scritto = [&] {
        ArchiveFile origine(archivio);
        ArchiveFile copia(temporaneo);
        creato = copia.create();
        if (!creato)
            return false;
        qint64 presenti = 0;
        // A missing archive is not created here: the renamed copy becomes the archive.
        if (QFileInfo::exists(archivio)) {
            if (!origine.open(ArchiveFile::Access::ReadOnly))
                return false;
            presenti = origine.recordCount();
            if (!copia.copyRecordsFrom(origine, 0, presenti) || !origine.close())
                return false;
        }
        NuoviRecord scrivi(copia, giornaleAttivo(appDir));
        if (!scriviNuove(scrivi) || !copia.sync() || !copia.close())
            return false;
        giornale = scrivi.operazioni();
        esito.primaPosizione = presenti + 1;
        return true;
    }();
    if (!scritto || !ArchiveFile::replaceWith(temporaneo, archivio)) {
        // A Contatti.tmp this import did not make (a folder, a link planted meanwhile) is not its to remove.
        if (creato)
            QFile::remove(temporaneo);
        return fallito(EsitoScambio::ErroreArchivio);
    }
    registraNelGiornale(appDir, giornale);
    esito.schede = int(nuove);
    return esito;
}

} // namespace

FileVCardLetto leggiFileVCard(const QString& percorso)
{
    FileVCardLetto letto;
    QByteArray contenuto;
    if (!leggiFile(percorso, contenuto, letto.esito))
        return letto;
    LetturaVCard lettura = leggiVCard(contenuto);
    if (lettura.esito != LetturaVCard::Letta) {
        letto.esito = fallito(tipoLettura(lettura.esito));
        return letto;
    }
    letto.esito.schede = int(lettura.schede.size());
    letto.esito.accorciate = lettura.accorciate;
    letto.schede = std::move(lettura.schede);
    return letto;
}

EsitoScambio aggiungiSchede(const QString& appDir, const QList<TestiScheda>& schede)
{
    return aggiungiRecord(appDir, schede.size(), [&](NuoviRecord& scrivi) {
        for (const TestiScheda& testi : schede) {
            TSchedaContatto scheda{};
            schedaDaTesti(scheda, testi);
            if (!scrivi(scheda))
                return false;
        }
        return true;
    });
}

EsitoScambio importaVCard(const QString& appDir, const QString& percorso)
{
    EsitoScambio esito;
    QByteArray contenuto;
    if (!leggiFile(percorso, contenuto, esito))
        return esito;
    // Straight from the file's bytes to the records, without a QString for every text.
    const RecordVCard lettura = leggiRecordVCard(contenuto);
    contenuto.clear();
    if (lettura.esito != LetturaVCard::Letta)
        return fallito(tipoLettura(lettura.esito));
    esito = aggiungiRecord(appDir, lettura.schede, [&](NuoviRecord& scrivi) {
        TSchedaContatto scheda;
        qsizetype pos = 0;
        for (qsizetype i = 0; i < lettura.schede; ++i) {
            pos = recordDaSlot(lettura.slot, pos, scheda);
            if (!scrivi(scheda))
                return false;
        }
        return true;
    });
    if (esito.riuscito())
        esito.accorciate = lettura.accorciate;
    return esito;
}

EsitoScambio scriviVCardArchivio(const QString& appDir, QIODevice& out)
{
    EsitoScambio esito;
    const QString percorso = ArchiveFile::archivePath(appDir);
    if (!QFileInfo::exists(percorso))
        return esito;
    ArchiveFile archivio(percorso);
    if (!archivio.open(ArchiveFile::Access::ReadOnly) || !archivio.seek(0))
        return fallito(EsitoScambio::ErroreArchivio);
    const qint64 n = archivio.recordCount();
    QByteArray blocco;
    blocco.reserve(kBloccoScrittura + 4096);
    TSchedaContatto scheda;
    for (qint64 i = 0; i < n; ++i) {
        if (!archivio.read(scheda))
            return fallito(EsitoScambio::ErroreArchivio);
        scriviVCard(scheda, blocco);
        if (blocco.size() >= kBloccoScrittura && !scriviBlocco(out, blocco))
            return fallito(EsitoScambio::ErroreScrittura, out.errorString());
    }
    if (!archivio.close())
        return fallito(EsitoScambio::ErroreArchivio);
    if (!blocco.isEmpty() && !scriviBlocco(out, blocco))
        return fallito(EsitoScambio::ErroreScrittura, out.errorString());
    esito.schede = int(n);
    return esito;
}

EsitoScambio salvaFile(const QString& appDir, const QString& percorso,
                       const std::function<EsitoScambio(QIODevice&)>& scrivi)
{
    if (eArchivio(appDir, percorso))
        return fallito(EsitoScambio::FileArchivio);
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return fallito(EsitoScambio::ErroreScrittura, file.errorString());
    EsitoScambio esito = scrivi(file);
    if (!esito.riuscito()) {
        file.cancelWriting();
        return esito;
    }
    // commit() flushes the temporary file to the disk and renames it; on failure it removes it.
    if (!file.commit())
        return fallito(EsitoScambio::ErroreScrittura, file.errorString());
    return esito;
}

EsitoScambio esportaVCard(const QString& appDir, const QString& percorso)
{
    return salvaFile(appDir, percorso, [&](QIODevice& out) { return scriviVCardArchivio(appDir, out); });
}

QString messaggioScambio(const EsitoScambio& esito, const QString& percorso)
{
    const QString nome = QDir::toNativeSeparators(percorso);
    switch (esito.tipo) {
    case EsitoScambio::Riuscito:
        return {};
    case EsitoScambio::FileIlleggibile:
        return QStringLiteral("Attenzione: impossibile leggere il file \"%1\" (%2).").arg(nome, esito.dettaglio);
    case EsitoScambio::NonFileRegolare:
        return QStringLiteral("Attenzione: «%1» non è un file vCard leggibile.").arg(nome);
    case EsitoScambio::FileVuoto:
        return QStringLiteral("Attenzione: il file \"%1\" non contiene alcun contatto.").arg(nome);
    case EsitoScambio::NonVCard:
        return QStringLiteral("Attenzione: il file \"%1\" non è un file vCard (.vcf).").arg(nome);
    case EsitoScambio::FileIncompleto:
        return QStringLiteral("Attenzione: il file \"%1\" è incompleto: l'ultimo contatto non termina. "
                              "Nessun contatto è stato importato.")
            .arg(nome);
    case EsitoScambio::FileArchivio:
        return QStringLiteral("Attenzione: il file \"%1\" è l'archivio dei contatti e non può essere sostituito "
                              "da un'esportazione.")
            .arg(nome);
    case EsitoScambio::ErroreArchivio:
        return messaggioErroreArchivio();
    case EsitoScambio::ArchivioOccupato:
        return messaggioArchivioOccupato();
    case EsitoScambio::BloccoGuasto:
        return esito.dettaglio;
    case EsitoScambio::ErroreScrittura:
        return QStringLiteral("Attenzione: impossibile scrivere il file \"%1\" (%2).").arg(nome, esito.dettaglio);
    }
    return {};
}

QString domandaImportazione(int schede)
{
    return schede == 1 ? QStringLiteral("Importare 1 contatto nell'archivio?")
                       : QStringLiteral("Importare %1 contatti nell'archivio?").arg(schede);
}

QString messaggioImportazione(const EsitoScambio& esito)
{
    QString testo =
        esito.schede == 1
            ? QStringLiteral("Importato 1 contatto nell'archivio, alla posizione %1.").arg(esito.primaPosizione)
            : QStringLiteral("Importati %1 contatti nell'archivio, dalla posizione %2.")
                  .arg(esito.schede)
                  .arg(esito.primaPosizione);
    if (esito.accorciate > 0) {
        testo += QStringLiteral("\n\n");
        testo += esito.accorciate == 1 ? QStringLiteral("1 contatto è stato accorciato: ")
                                       : QStringLiteral("%1 contatti sono stati accorciati: ").arg(esito.accorciate);
        testo += QStringLiteral("testi più lunghi dei campi della scheda, o caratteri che l'archivio non può "
                                "contenere, sostituiti da \"?\".");
    }
    return testo;
}
