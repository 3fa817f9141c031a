#include "core/platform/host_files.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/host_paths.h"
#include "core/platform/platform.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::host {

// The host's own calls rather than QFile: only they let us refuse a pipe or a device
// without first opening it in a way that blocks or reads forever, and tell the user why
// a file could not be read.
namespace {

RuntimeFailure failureFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return Failure::fileNotFound();
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return Failure::pathNotFound();
    case EACCES:
    case EPERM:
        return Failure::permissionDenied();
    case EIO:
    case ENXIO:
    case ENODEV:
        return Failure::deviceIoError();
    case ENOMEM:
        return Failure::outOfMemory();
    case EFBIG:
    case EOVERFLOW:
        return Failure::fileTooLarge();
    default:
        return Failure::pathFileAccessError();
    }
}

// The host path as the system calls take it; empty when there is none. A NUL inside the
// path would silently cut it short, so such a path names nothing.
QByteArray nativePath(const QString& path)
{
    if (path.contains(QChar(u'\0')))
        return {};
    const QString host = toHostPath(path);
    return host.isEmpty() ? QByteArray() : QFile::encodeName(host);
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

bool modificationTimeReadable(const QString& path)
{
    const QByteArray native = nativePath(path);
    struct stat status;
    return !native.isEmpty() && ::stat(native.constData(), &status) == 0;
}

qint64 fileLength(const QString& path)
{
    const QByteArray native = nativePath(path);
    if (native.isEmpty())
        throw Failure::pathNotFound();
    struct stat status;
    if (::stat(native.constData(), &status) != 0)
        throw failureFromErrno(errno);
    if (!S_ISREG(status.st_mode))
        throw Failure::pathFileAccessError(); // a folder or a device has no length to read
    return static_cast<qint64>(status.st_size);
}

QByteArray readWholeFile(const QString& path)
{
    const QByteArray native = nativePath(path);
    if (native.isEmpty())
        throw Failure::pathNotFound();
    // Non-blocking, so a pipe put in place of the file cannot hang the window in open().
    const FileDescriptor file(
        ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        throw failureFromErrno(errno);
    struct stat status;
    if (::fstat(file.get(), &status) != 0)
        throw failureFromErrno(errno);
    if (!S_ISREG(status.st_mode))
        throw Failure::pathFileAccessError(); // never read a folder, device or pipe
    return readOpenFile(status.st_size, [&](char* buffer, qint64 most) -> qint64 {
        for (;;) {
            const ssize_t got = ::read(file.get(), buffer, static_cast<std::size_t>(most));
            if (got >= 0)
                return got;
            if (errno != EINTR)
                throw failureFromErrno(errno);
        }
    });
}

void clearFailureReason()
{
    errno = 0;
}

bool lastFailureWasDiskFull()
{
    return errno == ENOSPC || errno == EDQUOT;
}

bool hasWriteback()
{
#ifdef Q_OS_LINUX
    return true;
#else
    return false;
#endif
}

void startWriteback([[maybe_unused]] int handle, [[maybe_unused]] qint64 from,
                    [[maybe_unused]] qint64 to)
{
#ifdef Q_OS_LINUX
    ::sync_file_range(handle, from, to - from, SYNC_FILE_RANGE_WRITE);
#endif
}

bool sync(int handle, [[maybe_unused]] SyncWhat what)
{
    int synced = 0;
    do {
#ifdef Q_OS_LINUX
        synced = what == SyncWhat::Data ? ::fdatasync(handle) : ::fsync(handle);
#else
        synced = ::fsync(handle);
#endif
    } while (synced != 0 && errno == EINTR);
    // EINVAL and EROFS: a file that cannot be synced at all.
    return synced == 0 || errno == EINVAL || errno == EROFS;
}

// A rename replaces a file whoever holds it open.
bool replaceable(const QString& /*hostPath*/)
{
    return true;
}

} // namespace velmora::host
