#include "app/CartellaProgramma.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstring>
#include <iterator>

#if defined(Q_OS_LINUX)
#include <link.h>
#include <sys/stat.h>
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace {

#if defined(Q_OS_LINUX)
// The loader lists the main program first, whoever started it; its program headers lie in its first mapping.
int primoOggetto(dl_phdr_info* info, size_t, void* dato)
{
    *static_cast<quintptr*>(dato) = reinterpret_cast<quintptr>(info->dlpi_phdr);
    return 1;
}

// The file that /proc/self/maps names for the mapping holding `indirizzo`: the kernel's own name for it, with
// symbolic links resolved, a line break written as \012 and " (deleted)" added once the file was replaced.
QString fileMappato(quintptr indirizzo)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {};
    // start-end perms offset device inode   path
    for (QByteArray riga = maps.readLine(); !riga.isEmpty(); riga = maps.readLine()) {
        const qsizetype trattino = riga.indexOf('-');
        const qsizetype spazio = riga.indexOf(' ');
        if (trattino <= 0 || spazio < trattino)
            continue;
        bool letto = false;
        bool lettaFine = false;
        const quintptr inizio = riga.left(trattino).toULongLong(&letto, 16);
        const quintptr fine = riga.mid(trattino + 1, spazio - trattino - 1).toULongLong(&lettaFine, 16);
        if (!letto || !lettaFine || indirizzo < inizio || indirizzo >= fine)
            continue;
        // No field before the path holds a slash.
        const qsizetype barra = riga.indexOf('/');
        if (barra < 0)
            return {};
        QByteArray percorso = riga.mid(barra);
        if (percorso.endsWith('\n'))
            percorso.chop(1);
        if (percorso.endsWith(" (deleted)"))
            percorso.chop(int(std::strlen(" (deleted)")));
        percorso.replace("\\012", "\n");
        return QFile::decodeName(percorso);
    }
    return {};
}

// Whether `dato` is the file `vero` itself. lstat: a symbolic link to the program from another folder is not the
// program, and its folder holds no archive of ours.
bool stessoFile(const QString& dato, const QString& vero)
{
    struct stat a = {};
    struct stat b = {};
    return ::lstat(QFile::encodeName(dato).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(vero).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
#endif

} // namespace

QString cartellaProgramma(const char* argv0)
{
    const QString nome = argv0 ? QFile::decodeName(argv0) : QString();
#if defined(Q_OS_LINUX)
    quintptr intestazioni = 0;
    dl_iterate_phdr(primoOggetto, &intestazioni);
    const QString vero = fileMappato(intestazioni);
    // A name without a slash was looked up in PATH by whoever started the program: the kernel ran it directly.
    const QString dato =
        nome.contains(QLatin1Char('/')) ? QDir::cleanPath(QDir::current().absoluteFilePath(nome)) : QString();
    if (!dato.isEmpty() && (vero.isEmpty() || stessoFile(dato, vero)))
        return QFileInfo(dato).absolutePath();
    if (!vero.isEmpty())
        return QFileInfo(vero).absolutePath();
    // No /proc (a bare chroot): what argv[0] says is all there is, as for Qt.
    return QFileInfo(QStandardPaths::findExecutable(nome)).absolutePath();
#elif defined(Q_OS_WIN)
    Q_UNUSED(nome);
    wchar_t file[32768];
    const DWORD lunghezza = GetModuleFileNameW(nullptr, file, DWORD(std::size(file)));
    return QFileInfo(QString::fromWCharArray(file, int(lunghezza))).absolutePath();
#else
    return QFileInfo(nome).absolutePath();
#endif
}

PercorsiQt percorsiQt(const QString& cartella)
{
    const QDir dir(cartella);
    const QString conf = dir.filePath(QStringLiteral("qt.conf"));
    if (!QFileInfo(conf).isFile())
        return {};
    QSettings impostazioni(conf, QSettings::IniFormat);
    impostazioni.beginGroup(QStringLiteral("Paths"));
    // As Qt reads it: relative entries start from Prefix, a relative Prefix from qt.conf's own folder.
    const QDir prefisso(
        dir.absoluteFilePath(impostazioni.value(QStringLiteral("Prefix"), QStringLiteral(".")).toString()));
    const auto percorso = [&](const QString& chiave, const QString& predefinito) {
        return QDir::cleanPath(prefisso.absoluteFilePath(impostazioni.value(chiave, predefinito).toString()));
    };
    return {percorso(QStringLiteral("Plugins"), QStringLiteral("plugins")),
            percorso(QStringLiteral("Translations"), QStringLiteral("translations"))};
}

void usaPluginDellaCartella(const QString& cartella)
{
    const QString plugins = percorsiQt(cartella).plugins;
    if (!plugins.isEmpty())
        QCoreApplication::setLibraryPaths({plugins});
}
