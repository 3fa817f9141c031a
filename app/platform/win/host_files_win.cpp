#include "app/platform/host_files.h"

#include "app/errors/runtime_failure.h"
#include "app/platform/host_paths.h"
#include "app/platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <new>

namespace velmora::host {

namespace {

QFileInfo hostInfo(const QString& path)
{
    const QString host = toHostPath(path);
    return host.isEmpty() ? QFileInfo() : QFileInfo(host);
}

RuntimeFailure openFailure(const QFileInfo& info, QFileDevice::FileError error)
{
    if (!info.exists())
        return info.dir().exists() ? Failure::fileNotFound() : Failure::pathNotFound();
    if (error == QFileDevice::PermissionsError)
        return Failure::permissionDenied();
    return Failure::pathFileAccessError();
}

} // namespace

bool modificationTimeReadable(const QString& path)
{
    const QFileInfo info = hostInfo(path);
    return !info.filePath().isEmpty() && info.exists() && info.lastModified().isValid();
}

qint64 fileLength(const QString& path)
{
    const QFileInfo info = hostInfo(path);
    if (info.filePath().isEmpty() || !info.exists())
        throw Failure::fileNotFound();
    if (!info.isFile())
        throw Failure::pathFileAccessError(); // a folder or a device has no length to read
    return info.size();
}

QByteArray readWholeFile(const QString& path)
{
    const QFileInfo info = hostInfo(path);
    if (info.filePath().isEmpty())
        throw Failure::pathNotFound();
    if (info.exists() && !info.isFile())
        throw Failure::pathFileAccessError(); // never open a folder, device or pipe
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        throw openFailure(info, file.error());
    if (file.size() > kLargestReadableFile)
        throw Failure::fileTooLarge();
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc&) {
        throw Failure::outOfMemory();
    }
    if (file.error() != QFileDevice::NoError)
        throw Failure::deviceIoError();
    return bytes;
}

// QFile's own error is all there is to go by here, and the file is left to the system's
// cache until QSaveFile commits it.
void clearFailureReason() {}

bool lastFailureWasDiskFull()
{
    return false;
}

void startWriteback(int /*handle*/, qint64 /*from*/, qint64 /*to*/) {}

bool sync(int /*handle*/, SyncWhat /*what*/)
{
    return true;
}

} // namespace velmora::host
