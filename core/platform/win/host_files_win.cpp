#include "core/platform/host_files.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/host_paths.h"
#include "core/platform/platform.h"

#include <QDir>

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <new>
#include <string>

namespace velmora::host {

// Win32's own calls rather than QFile: only they tell a file held open by another program
// (a sharing violation) from one that is not there, and let us refuse a device or a pipe
// before a byte of it is read.
namespace {

RuntimeFailure failureFromWin32(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return Failure::fileNotFound();
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return Failure::pathNotFound();
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Failure::permissionDenied();
    case ERROR_NOT_READY:
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_DEV_NOT_EXIST:
        return Failure::deviceIoError();
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return Failure::outOfMemory();
    default:
        return Failure::pathFileAccessError();
    }
}

// The path as the wide calls take it; empty when there is none. A NUL inside the path
// would silently cut it short, so such a path names nothing.
std::wstring nativePath(const QString& path)
{
    if (path.contains(QChar(u'\0')))
        return {};
    return toHostPath(path).toStdWString();
}

class FileHandle
{
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

bool modificationTimeReadable(const QString& path)
{
    const std::wstring native = nativePath(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    return !native.empty() && GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data);
}

qint64 fileLength(const QString& path)
{
    const std::wstring native = nativePath(path);
    if (native.empty())
        throw Failure::pathNotFound();
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data))
        throw failureFromWin32(GetLastError());
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        throw Failure::pathFileAccessError(); // a folder has no length to read
    return (static_cast<qint64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

QByteArray readWholeFile(const QString& path)
{
    const std::wstring native = nativePath(path);
    if (native.empty())
        throw Failure::pathNotFound();
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Failure::pathFileAccessError(); // never open a folder
    // Others may go on reading, writing or even deleting it meanwhile, as with any program
    // that only reads.
    const FileHandle file(CreateFileW(native.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        throw failureFromWin32(GetLastError());
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        throw Failure::pathFileAccessError(); // never read a device or a pipe
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size))
        throw failureFromWin32(GetLastError());
    return readOpenFile(size.QuadPart, [&](char* buffer, qint64 most) -> qint64 {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, static_cast<DWORD>(std::min<qint64>(most, 1 << 30)), &got,
                      nullptr))
            throw failureFromWin32(GetLastError());
        return got;
    });
}

void clearFailureReason()
{
    SetLastError(ERROR_SUCCESS);
}

bool lastFailureWasDiskFull()
{
    const DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

// Windows has no call that starts writing a range without waiting for it; the sync every
// few megabytes does the work.
bool hasWriteback()
{
    return false;
}
void startWriteback(int /*handle*/, qint64 /*from*/, qint64 /*to*/) {}

// The handle is the C runtime's descriptor Qt keeps for the file.
bool sync(int handle, SyncWhat /*what: Windows flushes data and metadata together*/)
{
    if (handle < 0)
        return true;
    const auto native = reinterpret_cast<HANDLE>(_get_osfhandle(handle));
    if (native == INVALID_HANDLE_VALUE)
        return true;
    if (FlushFileBuffers(native))
        return true;
    // A device or a pipe cannot be flushed at all.
    const DWORD error = GetLastError();
    return error == ERROR_INVALID_HANDLE || error == ERROR_INVALID_FUNCTION;
}

// Replacing a file needs the right to delete it, which a program that holds it open without
// FILE_SHARE_DELETE withholds from everyone else; asking for that right alone, and sharing
// everything, finds out without disturbing anybody.
bool replaceable(const QString& hostPath)
{
    const FileHandle probe(CreateFileW(QDir::toNativeSeparators(hostPath).toStdWString().c_str(),
                                       DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return probe.get() != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION;
}

} // namespace velmora::host
