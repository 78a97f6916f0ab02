#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

class QFile;
class QIODevice;

// Why a copy failed, in the system's words; the windows show their own message instead.
class ErroreCopia : public std::runtime_error
{
public:
    explicit ErroreCopia(const QString& motivo) : std::runtime_error(motivo.toStdString()) {}
};

// How the copy makes and flushes the file it writes. Tests hand in devices that fail the way a full disk
// or a pulled stick does.
struct DispositivoCopia
{
    // An unopened file for the path; the copy opens it for writing.
    std::function<std::unique_ptr<QFile>(const QString& percorso)> crea;
    // Forces the written bytes to the disk; false when that fails.
    std::function<bool(QFile& file)> sincronizza;

    static std::unique_ptr<QFile> fileNormale(const QString& percorso);
    static bool fsync(QFile& file);
};

// Copies exactly `quanti` bytes from the current position of `da` to `a`. A source that ends early or a
// write that lands short is a failure: a backup is only worth anything whole.
void copiaDati(QIODevice& da, QIODevice& a, qint64 quanti);

// The whole content of the file `sorgente` becomes the file `destinazione`. The copy goes into a new file
// beside the destination, is flushed to the disk and only then renamed over it, so whatever fails the
// destination holds either its old content or the complete copy, and no half-written file is left behind.
// Refuses to copy a file onto itself (through a link or another name too): on Linux nothing else would stop
// the copy from emptying the file it reads. Throws ErroreCopia.
void CopiaFile(const QString& sorgente, const QString& destinazione, const DispositivoCopia& dispositivo = {});
