#include "archive/ArchiveDevice.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

bool ArchiveDevice::syncToDisk()
{
    if (!isOpen())
        return false;
#ifdef Q_OS_WIN
    const bool ok = ::_commit(handle()) == 0;
#else
    const bool ok = ::fsync(handle()) == 0;
#endif
    if (!ok)
        setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
    return ok;
}

bool ArchiveDevice::closeFile()
{
    unsetError();
    close();
    return error() == QFileDevice::NoError;
}
