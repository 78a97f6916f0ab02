#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// What every reader's entry point shares: a private folder for the files a user could hand to the program,
// made once per process and reused by every input.
namespace Fuzz {

inline const QString& cartella()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/carnetto-fuzz-XXXXXX"));
    static const QString path = dir.path();
    if (!dir.isValid())
        abort();
    return path;
}

// Writes `data` as the file `nome` in the folder, replacing what an earlier input left there.
inline QString scrivi(const QString& nome, const uint8_t* data, size_t size)
{
    const QString path = cartella() + u'/' + nome;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        abort();
    if (size > 0 && f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        abort();
    f.close();
    return path;
}

} // namespace Fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
