// The restore path over arbitrary bytes: the file chosen as a backup is copied over the archive of a program
// folder, which then holds exactly those bytes, and the archive reader takes it as it is.
#include "Fuzz.h"

#include "archive/ArchiveFile.h"
#include "archive/TestiScheda.h"
#include "backup/Backup.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString appDir = Fuzz::cartella() + QStringLiteral("/app");
    static const bool fatta = QDir().mkpath(appDir);
    if (!fatta)
        abort();
    const QString scelto = Fuzz::scrivi(QStringLiteral("copia.bkc"), data, size);
    if (Backup::ripristinaBackup(appDir, scelto) != Backup::Ripristino::Riuscito)
        abort();

    QFile ripristinato(ArchiveFile::archivePath(appDir));
    if (!ripristinato.open(QIODevice::ReadOnly))
        abort();
    const QByteArray letto = ripristinato.readAll();
    if (letto.size() != qsizetype(size) || (size > 0 && std::memcmp(letto.constData(), data, size) != 0))
        abort();
    ripristinato.close();

    ArchiveFile archivio(ArchiveFile::archivePath(appDir));
    if (!archivio.open(ArchiveFile::Access::ReadOnly))
        abort();
    TSchedaContatto scheda;
    for (qint64 i = 0; i < archivio.recordCount(); ++i) {
        if (!archivio.read(scheda))
            abort();
        testiDaScheda(scheda);
    }
    return 0;
}
