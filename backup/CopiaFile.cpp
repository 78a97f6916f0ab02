#include "backup/CopiaFile.h"

#include "archive/ArchiveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <typeinfo>

namespace {

// Large enough that a copy costs few system calls, small enough to sit in memory beside the program.
constexpr qint64 kBlocco = 1 << 20;

std::filesystem::path percorsoNativo(const QString& percorso)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(percorso.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(percorso).toStdString());
#endif
}

// The copy is written in the folder of the file it replaces, so that the final rename stays on one file system.
// A destination that is a link is replaced where the link points.
QString cartellaDestinazione(const QString& destinazione)
{
    const QFileInfo info(destinazione);
    const QString reale = info.exists() ? info.canonicalFilePath() : QString();
    return reale.isEmpty() ? info.absolutePath() : QFileInfo(reale).absolutePath();
}

void controllaDestinazione(const QString& sorgente, const QString& destinazione)
{
    std::error_code errore;
    const std::filesystem::path a = percorsoNativo(destinazione);
    if (!std::filesystem::exists(a, errore))
        return;
    if (!std::filesystem::is_regular_file(a, errore))
        throw ErroreCopia(QStringLiteral("La destinazione non è un file: %1").arg(destinazione));
    if (std::filesystem::equivalent(percorsoNativo(sorgente), a, errore) || errore)
        throw ErroreCopia(QStringLiteral("Origine e destinazione sono lo stesso file: %1").arg(destinazione));
    // The rename would replace a write-protected file too; the user protected it, so it stays.
    if (!QFileInfo(destinazione).isWritable())
        throw ErroreCopia(QStringLiteral("La destinazione è protetta in scrittura: %1").arg(destinazione));
}

// A name taken, by a link that leads nowhere too.
bool occupato(const QString& percorso)
{
    return QFileInfo::exists(percorso) || QFileInfo(percorso).isSymLink();
}

// The new file beside the destination: removed again on every path that does not rename it into place.
class FileProvvisorio
{
public:
    FileProvvisorio(const QString& cartella, const DispositivoCopia& dispositivo)
    {
        const auto crea = dispositivo ? dispositivo : [](const QString& percorso) {
            return std::make_unique<ArchiveDevice>(percorso);
        };
        for (int tentativo = 0; tentativo < 16; ++tentativo) {
            const QString nome =
                QStringLiteral(".Carnetto-%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            m_percorso = QDir(cartella).filePath(nome);
            if (occupato(m_percorso))
                continue;
            // NewOnly is O_CREAT | O_EXCL: a file or link put under this name meanwhile is never written through.
            m_file = crea(m_percorso);
            if (m_file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
                return;
            const QString motivo = m_file->errorString();
            m_file.reset();
            if (!occupato(m_percorso))
                throw ErroreCopia(motivo);
        }
        throw ErroreCopia(QStringLiteral("Impossibile creare un file provvisorio in %1").arg(cartella));
    }
    ~FileProvvisorio()
    {
        if (!m_file)
            return;
        m_file->close();
        QFile::remove(m_percorso);
    }
    FileProvvisorio(const FileProvvisorio&) = delete;
    FileProvvisorio& operator=(const FileProvvisorio&) = delete;

    ArchiveDevice& file() { return *m_file; }

    const QString& percorso() const { return m_percorso; }

    // Closing may be where the last bytes fail to land, so its result counts.
    void chiudi()
    {
        if (!m_file->closeFile())
            throw ErroreCopia(m_file->errorString());
    }
    void rinominato() { m_file.reset(); }

private:
    QString m_percorso;
    std::unique_ptr<ArchiveDevice> m_file;
};

// The kernel moves the bytes from the start of `da` to the start of `a` where it will (copy_file_range); the
// bytes it copied, after which both files stand where the buffered copy carries on. A device of another kind
// decides itself what its writes do, so the kernel must not go round it.
qint64 copiaNelKernel(QFile& da, ArchiveDevice& a, qint64 quanti)
{
    if (typeid(a) != typeid(ArchiveDevice) || da.handle() < 0 || a.handle() < 0)
        return 0;
    const qint64 fatti = ArchiveFile::kernelCopyBytes(da.handle(), 0, a.handle(), 0, quanti);
    if (fatti < 0)
        throw ErroreCopia(QString::fromLocal8Bit(std::strerror(errno)));
    if (fatti > 0 && !da.seek(fatti))
        throw ErroreCopia(da.errorString());
    if (fatti > 0 && !a.seek(fatti))
        throw ErroreCopia(a.errorString());
    return fatti;
}

} // namespace

void copiaDati(QIODevice& da, QIODevice& a, qint64 quanti)
{
    QByteArray blocco(std::min(quanti, kBlocco), Qt::Uninitialized);
    for (qint64 restano = quanti; restano > 0;) {
        const qint64 letti = da.read(blocco.data(), std::min(restano, kBlocco));
        if (letti <= 0)
            throw ErroreCopia(letti < 0 ? da.errorString()
                                        : QStringLiteral("Il file di origine è più corto del previsto"));
        for (qint64 scritti = 0; scritti < letti;) {
            const qint64 n = a.write(blocco.constData() + scritti, letti - scritti);
            if (n <= 0)
                throw ErroreCopia(a.errorString());
            scritti += n;
        }
        restano -= letti;
    }
}

void CopiaFile(const QString& sorgente, const QString& destinazione, const DispositivoCopia& dispositivo)
{
    std::error_code errore;
    if (!std::filesystem::is_regular_file(percorsoNativo(sorgente), errore))
        throw ErroreCopia(QStringLiteral("Il file di origine non esiste o non è un file: %1").arg(sorgente));
    QFile origine(sorgente);
    if (!origine.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ErroreCopia(origine.errorString());
    controllaDestinazione(sorgente, destinazione);

    FileProvvisorio copia(cartellaDestinazione(destinazione), dispositivo);
    const qint64 quanti = origine.size();
    const qint64 nelKernel = copiaNelKernel(origine, copia.file(), quanti);
    copiaDati(origine, copia.file(), quanti - nelKernel);
    if (!copia.file().syncToDisk())
        throw ErroreCopia(QStringLiteral("Impossibile scrivere la copia sul disco"));
    copia.chiudi();
    if (!ArchiveFile::replaceWith(copia.percorso(), destinazione))
        throw ErroreCopia(QStringLiteral("Impossibile sostituire %1").arg(destinazione));
    copia.rinominato();
}
