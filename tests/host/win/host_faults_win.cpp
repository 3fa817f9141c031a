#include "tests/host/host_faults.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace velmora::test::host {

namespace {

std::wstring native(const QString& hostPath)
{
    return QDir::toNativeSeparators(hostPath).toStdWString();
}

} // namespace

// Windows keeps the read-only attribute of a folder for the shell's own use and lets files
// be made in it all the same, so only files can be protected this way.
WriteProtection::WriteProtection(const QString& hostPath) : m_path(hostPath)
{
    if (QFileInfo(hostPath).isDir())
        return;
    const DWORD attributes = GetFileAttributesW(native(m_path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    m_saved = attributes;
    m_applied = SetFileAttributesW(native(m_path).c_str(), attributes | FILE_ATTRIBUTE_READONLY);
}

WriteProtection::~WriteProtection()
{
    if (m_applied)
        SetFileAttributesW(native(m_path).c_str(), m_saved);
}

// The drive is made by the test run (tests/win/small_disk.sh, a CTest fixture); whatever
// an earlier test left on it goes first.
SmallDisk::SmallDisk(const QString& /*dir*/, int /*kib*/)
{
    const QString drive = qEnvironmentVariable("VELMORA_TEST_SMALL_DISK");
    if (drive.isEmpty() || !QFileInfo(drive).isDir())
        return;
    QDir root(drive);
    for (const QFileInfo& entry :
         root.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
    m_folder = QDir::fromNativeSeparators(drive);
    while (m_folder.endsWith(u'/'))
        m_folder.chop(1);
}

SmallDisk::~SmallDisk() = default;

WritesRefused::WritesRefused() = default;
WritesRefused::~WritesRefused() = default;

bool WritesRefused::possible()
{
    return false;
}

bool WritesRefused::start()
{
    return false;
}

ReadLock::ReadLock(const QString& hostPath) : m_path(hostPath)
{
    HANDLE handle = CreateFileW(native(m_path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    m_handle = handle;
    m_applied = true;
}

ReadLock::~ReadLock()
{
    if (m_applied)
        CloseHandle(static_cast<HANDLE>(m_handle));
}

// Windows names its pipes in a namespace of their own (\\.\pipe\), never in a folder.
bool makePipe(const QString& /*hostPath*/)
{
    return false;
}

// Windows devices (NUL, CON, COM1) live in a namespace of their own, not in a folder.
QString endlessDevice()
{
    return {};
}

} // namespace velmora::test::host
