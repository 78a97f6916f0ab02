#pragma once

#include "archive/ArchiveFile.h"

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

class QIODevice;

// Why a copy failed, in the system's words; the windows show their own message instead.
class ErroreCopia : public std::runtime_error
{
public:
    explicit ErroreCopia(const QString& motivo) : std::runtime_error(motivo.toStdString()) {}
};

// How the copy makes the file it writes: the archive's own kind of device, whose forcing to the disk and
// closing can fail. Tests hand in devices that fail the way a full disk or a pulled stick does.
using DispositivoCopia = ArchiveFile::DeviceFactory;

// Copies exactly `quanti` bytes from the current position of `da` to `a`. A source that ends early or a
// write that lands short is a failure: a backup is only worth anything whole.
void copiaDati(QIODevice& da, QIODevice& a, qint64 quanti);

// The whole content of the file `sorgente` becomes the file `destinazione`. The copy goes into a new file
// beside the destination (the kernel moving the bytes where it will, the program's buffer where it refuses),
// is flushed to the disk and only then renamed over it, so whatever fails the
// destination holds either its old content or the complete copy, and no half-written file is left behind.
// Refuses to copy a file onto itself (through a link or another name too): on Linux nothing else would stop
// the copy from emptying the file it reads. Throws ErroreCopia.
void CopiaFile(const QString& sorgente, const QString& destinazione, const DispositivoCopia& dispositivo = {});
