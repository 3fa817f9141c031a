#include "tests/host/host_faults.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#endif

namespace velmora::test::host {

namespace {

bool superuser()
{
    return ::geteuid() == 0;
}

bool setImmutable([[maybe_unused]] const QByteArray& path, [[maybe_unused]] bool on)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
#else
    return false;
#endif
}

} // namespace

// The permission bits stop an ordinary user; root, whom they do not stop, is stopped by the
// immutable attribute.
WriteProtection::WriteProtection(const QString& hostPath) : m_path(hostPath)
{
    const QByteArray path = QFile::encodeName(m_path);
    if (!superuser()) {
        struct stat status
        {};
        m_applied = ::stat(path.constData(), &status) == 0 &&
                    ::chmod(path.constData(), status.st_mode & ~0222) == 0;
        m_saved = status.st_mode;
        return;
    }
    m_applied = setImmutable(path, true);
}

WriteProtection::~WriteProtection()
{
    if (!m_applied)
        return;
    const QByteArray path = QFile::encodeName(m_path);
    if (!superuser())
        ::chmod(path.constData(), static_cast<mode_t>(m_saved));
    else
        setImmutable(path, false);
}

// Mounted in a namespace of this process alone, so nothing outside ever sees it and it goes
// with the process whatever happens.
SmallDisk::SmallDisk(const QString& dir, [[maybe_unused]] int kib)
{
#ifdef Q_OS_LINUX
    const QString folder = dir + QStringLiteral("/disk");
    if (!QDir().mkpath(folder))
        return;
    const QByteArray options = "size=" + QByteArray::number(kib) + "k";
    m_mounted = ::unshare(CLONE_NEWNS) == 0 &&
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("velmora-test", QFile::encodeName(folder).constData(), "tmpfs", 0,
                        options.constData()) == 0;
    if (m_mounted)
        m_folder = folder;
#else
    Q_UNUSED(dir);
#endif
}

SmallDisk::~SmallDisk()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
#endif
}

WritesRefused::WritesRefused() = default;

bool WritesRefused::possible()
{
    return true;
}

// A write past the limit fails with EFBIG instead of ending the process with SIGXFSZ.
bool WritesRefused::start()
{
    rlimit fileSize{};
    if (getrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return false;
    m_normal = static_cast<qint64>(fileSize.rlim_cur);
    std::signal(SIGXFSZ, SIG_IGN);
    fileSize.rlim_cur = 0;
    m_started = setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
    return m_started;
}

WritesRefused::~WritesRefused()
{
    if (!m_started)
        return;
    rlimit fileSize{};
    getrlimit(RLIMIT_FSIZE, &fileSize);
    fileSize.rlim_cur = static_cast<rlim_t>(m_normal);
    setrlimit(RLIMIT_FSIZE, &fileSize);
    std::signal(SIGXFSZ, SIG_DFL);
}

ReadLock::ReadLock(const QString& hostPath) : m_path(hostPath)
{
    m_applied = !superuser() && QFile::setPermissions(m_path, {});
}

ReadLock::~ReadLock()
{
    if (m_applied)
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

bool makePipe(const QString& hostPath)
{
    return ::mkfifo(QFile::encodeName(hostPath).constData(), 0600) == 0;
}

QString endlessDevice()
{
    return QStringLiteral("/dev/zero");
}

} // namespace velmora::test::host
