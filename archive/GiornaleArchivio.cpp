#include "archive/GiornaleArchivio.h"

#include "archive/ArchiveFile.h"
#include "archive/ArchiveLock.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qsizetype kIdentita = 32;

QString percorsoGiornale(const QString& appDir)
{
    return appDir + QStringLiteral("/Contatti.giornale");
}

char lettera(OperazioneGiornale::Tipo tipo)
{
    switch (tipo) {
    case OperazioneGiornale::Tipo::Sostituita:
        return 'S';
    case OperazioneGiornale::Tipo::Rimossa:
        return 'R';
    case OperazioneGiornale::Tipo::Aggiunta:
        break;
    }
    return 'A';
}

QByteArray righe(const QList<OperazioneGiornale>& operazioni)
{
    QByteArray testo;
    testo.reserve(operazioni.size() * (4 + 2 * kIdentita));
    for (const OperazioneGiornale& op : operazioni) {
        testo += lettera(op.tipo);
        if (op.tipo != OperazioneGiornale::Tipo::Aggiunta)
            testo += ' ' + op.prima;
        if (op.tipo != OperazioneGiornale::Tipo::Rimossa)
            testo += ' ' + op.dopo;
        testo += '\n';
    }
    return testo;
}

// One identity and the separator before it at `pos` of `riga`; the position after it, or -1.
qsizetype identita(QByteArrayView riga, qsizetype pos, QByteArray& out)
{
    if (riga.size() < pos + 1 + kIdentita || riga[pos] != ' ')
        return -1;
    const QByteArrayView cifre = riga.sliced(pos + 1, kIdentita);
    for (char c : cifre) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return -1;
    }
    out = cifre.toByteArray();
    return pos + 1 + kIdentita;
}

// A line without its newline; false for anything but the three forms.
bool leggiRiga(QByteArrayView riga, OperazioneGiornale& op)
{
    if (riga.isEmpty())
        return false;
    qsizetype pos = 1;
    switch (riga[0]) {
    case 'S':
        op.tipo = OperazioneGiornale::Tipo::Sostituita;
        pos = identita(riga, pos, op.prima);
        pos = pos < 0 ? pos : identita(riga, pos, op.dopo);
        break;
    case 'R':
        op.tipo = OperazioneGiornale::Tipo::Rimossa;
        pos = identita(riga, pos, op.prima);
        break;
    case 'A':
        op.tipo = OperazioneGiornale::Tipo::Aggiunta;
        pos = identita(riga, pos, op.dopo);
        break;
    default:
        return false;
    }
    return pos == riga.size();
}

// The whole journal; false when it is there but no regular file this user can read. Never follows a link, and
// never waits on a FIFO.
bool leggiFile(const QString& percorso, QByteArray& contenuto)
{
    contenuto.clear();
#ifdef Q_OS_WIN
    if (!QFileInfo::exists(percorso))
        return true;
    QFile file(percorso);
    if (QFileInfo(percorso).isSymLink() || !file.open(QIODevice::ReadOnly))
        return false;
#else
    const int fd =
        ::open(QFile::encodeName(percorso).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    struct stat st;
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
#endif
    contenuto = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// Appends `testo` in one write; on failure cuts the file back to its lines before.
bool aggiungi(const QString& percorso, const QByteArray& testo)
{
#ifdef Q_OS_WIN
    if (QFileInfo(percorso).isSymLink())
        return false;
    QFile file(percorso);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 prima = file.size();
    if (file.write(testo) == testo.size())
        return true;
    file.resize(prima);
    return false;
#else
    const int fd = ::open(QFile::encodeName(percorso).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    ssize_t scritti;
    do
        scritti = ::write(fd, testo.constData(), size_t(testo.size()));
    while (scritti < 0 && errno == EINTR);
    const bool ok = scritti == testo.size();
    if (!ok)
        (void)::ftruncate(fd, st.st_size);
    return ::close(fd) == 0 && ok;
#endif
}

} // namespace

QByteArray identitaRecord(const TSchedaContatto& scheda)
{
    const QByteArrayView byte(reinterpret_cast<const char*>(&scheda), sizeof scheda);
    return QCryptographicHash::hash(byte, QCryptographicHash::Blake2b_256).first(kIdentita / 2).toHex();
}

bool giornaleAttivo(const QString& appDir)
{
    return QFileInfo::exists(appDir + QStringLiteral("/Contatti.sync"));
}

bool registraNelGiornale(const QString& appDir, const QList<OperazioneGiornale>& operazioni)
{
    if (operazioni.isEmpty() || !giornaleAttivo(appDir))
        return true;
    return aggiungi(percorsoGiornale(appDir), righe(operazioni));
}

Giornale leggiGiornale(const QString& appDir)
{
    Giornale giornale;
    QByteArray contenuto;
    if (!leggiFile(percorsoGiornale(appDir), contenuto)) {
        giornale.integro = false;
        return giornale;
    }
    const QByteArrayView testo(contenuto);
    qsizetype pos = 0;
    while (pos < testo.size()) {
        const qsizetype a = testo.indexOf('\n', pos);
        OperazioneGiornale op{};
        // A last line without its newline is a write that did not finish: no more to be trusted than a damaged one.
        if (a < 0 || !leggiRiga(testo.sliced(pos, a - pos), op)) {
            giornale.integro = false;
            break;
        }
        giornale.operazioni << op;
        pos = a + 1;
    }
    giornale.fine = pos;
    return giornale;
}

bool consumaGiornale(const QString& appDir, qint64 fine)
{
    if (fine <= 0)
        return fine == 0;
    const ArchiveLock blocco(ArchiveFile::archivePath(appDir));
    if (blocco.state() != ArchiveLock::State::Held)
        return false;
    const QString percorso = percorsoGiornale(appDir);
    QByteArray contenuto;
    // Only whole lines go: a cut anywhere else means the journal is not the one that was read.
    if (!leggiFile(percorso, contenuto) || fine > contenuto.size() || contenuto[fine - 1] != '\n')
        return false;
    if (fine == contenuto.size())
        return QFile::remove(percorso);
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(contenuto.constData() + fine, contenuto.size() - fine);
    return file.commit();
}

void azzeraGiornale(const QString& appDir)
{
    QFile::remove(percorsoGiornale(appDir));
}
