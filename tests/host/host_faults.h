#pragma once

#include <QByteArray>
#include <QString>

// Faults the tests bring about for real in the host's file system, one implementation per
// host (posix/host_faults_posix.cpp, win/host_faults_win.cpp). Each says whether it could:
// a test falls back on a double of the platform where the host or the user cannot.
namespace velmora::test::host {

// Makes a file or folder refuse to be written; undone when it goes out of scope, so the
// temporary folder can be removed. On Linux the permission bits, or for root the immutable
// attribute; on Windows the read-only attribute, which folders do not have.
class WriteProtection
{
public:
    explicit WriteProtection(const QString& hostPath);
    ~WriteProtection();
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;
    bool applied() const { return m_applied; }

private:
    QString m_path;
    quint32 m_saved = 0; // the mode or attributes to put back
    bool m_applied = false;
};

// A file system of its own, too small for what is saved onto it. On Linux a tmpfs of that
// many KiB mounted over a new folder in dir, in a mount namespace private to this process;
// on Windows the drive the test run provides (VELMORA_TEST_SMALL_DISK, a Wine drive on a
// small tmpfs), emptied first. Not there without the right to mount.
class SmallDisk
{
public:
    SmallDisk(const QString& dir, int kib);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool available() const { return !m_folder.isEmpty(); }
    const QString& folder() const { return m_folder; } // host path, without a trailing slash

private:
    QString m_folder;
    bool m_mounted = false;
};

// From its start on, every write to a file is refused, as on a full disk, until it goes out
// of scope. Linux: a file-size limit of 0; Windows has no such limit, and start() says so.
class WritesRefused
{
public:
    WritesRefused();
    ~WritesRefused();
    WritesRefused(const WritesRefused&) = delete;
    WritesRefused& operator=(const WritesRefused&) = delete;
    bool start(); // false where the host cannot
    static bool possible();

private:
    qint64 m_normal = 0;
    bool m_started = false;
};

// A file that exists but cannot be opened for reading; undone when it goes out of scope.
// Linux: no permission bits, which only stop an ordinary user; Windows: held open by another
// handle that shares nothing, which stops everyone.
class ReadLock
{
public:
    explicit ReadLock(const QString& hostPath);
    ~ReadLock();
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;
    bool applied() const { return m_applied; }

private:
    QString m_path;
    void* m_handle = nullptr;
    bool m_applied = false;
};

// A named pipe at that path; false on a host whose file system has none.
bool makePipe(const QString& hostPath);

// The host path of a device that reads without end (/dev/zero); empty on a host whose
// folders hold no devices.
QString endlessDevice();

} // namespace velmora::test::host
