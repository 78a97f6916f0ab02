#include "archive/ArchiveDevice.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

bool ArchiveDevice::syncToDisk()
{
    if (!isOpen())
        return false;
#ifdef Q_OS_WIN
    // The file's data and its size through the disk's cache, as fsync does.
    const auto file = reinterpret_cast<HANDLE>(::_get_osfhandle(handle()));
    const bool ok = file != INVALID_HANDLE_VALUE && ::FlushFileBuffers(file);
    if (!ok)
        setErrorString(qt_error_string(int(::GetLastError())));
#else
    const bool ok = ::fsync(handle()) == 0;
    if (!ok)
        setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    return ok;
}

bool ArchiveDevice::closeFile()
{
    unsetError();
    close();
    return error() == QFileDevice::NoError;
}
