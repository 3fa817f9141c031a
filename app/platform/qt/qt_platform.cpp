#include "app/platform/qt/qt_platform.h"

#include "app/errors/runtime_failure.h"
#include "app/platform/ansi_code_page.h"
#include "app/platform/host_paths.h"
#include "app/platform/qt/save_file_writer.h"
#include "app/platform/shell_command.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTime>

#include <limits>

#ifndef Q_OS_WIN
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Below this gap since the last real pump, a pump that may be skipped is skipped: a save
// yields per cell, and processing events a million times costs more than the save.
constexpr qint64 kPumpSkipNanoseconds = 2'000'000;

// The largest file one text can hold: the file length is a 32-bit signed number.
constexpr qint64 kLargestReadableFile = std::numeric_limits<qint32>::max();

QFileInfo hostInfo(const QString& path)
{
    const QString host = toHostPath(path);
    return host.isEmpty() ? QFileInfo() : QFileInfo(host);
}

#ifdef Q_OS_WIN
RuntimeFailure openFailure(const QFileInfo& info, QFileDevice::FileError error)
{
    if (!info.exists())
        return info.dir().exists() ? Failure::fileNotFound() : Failure::pathNotFound();
    if (error == QFileDevice::PermissionsError)
        return Failure::permissionDenied();
    return Failure::pathFileAccessError();
}
#endif

QString forDisplay(QString text)
{
    // Message texts use bare CR as a line break; Qt's labels break only at LF.
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

QtPlatform::QtPlatform() : m_random(0)
{
    m_sinceLastPump.start();
}

void QtPlatform::messageBox(const QString& text, MsgBoxIcon icon, const QString& title)
{
    QMessageBox box(icon == MsgBoxIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    title, forDisplay(text), QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString toQtFileFilter(const QString& barSeparatedFilter)
{
    const QStringList parts = barSeparatedFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype paren = description.indexOf(u'(');
        if (paren > 0)
            description = description.left(paren).trimmed();
        QString pattern = parts[i + 1];
        pattern.replace(u"*.*"_s, u"*"_s); // "all files" must match names without a dot too
        pattern.replace(u';', u' ');
        filters.append(description + u" ("_s + pattern + u')');
    }
    return filters.join(u";;"_s);
}

QString QtPlatform::showOpenDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, QString(),
                       toQtFileFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & FileDialogFlags::AllowMultiSelect)
                           ? QFileDialog::ExistingFiles
                           : QFileDialog::ExistingFile);
    if (!request.fileName.isEmpty())
        dialog.selectFile(toHostPath(request.fileName));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return {};
    if (files.size() == 1)
        return toWindowsPath(QFileInfo(files.front()).absoluteFilePath());
    // Several names: the folder, then each name, separated by NUL.
    QString result = toWindowsPath(QFileInfo(files.front()).absolutePath());
    for (const QString& file : files)
        result += QChar(u'\0') + QFileInfo(file).fileName();
    return result;
}

QString QtPlatform::showSaveDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, QString(),
                       toQtFileFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!(request.flags & FileDialogFlags::OverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return toWindowsPath(QFileInfo(dialog.selectedFiles().front()).absoluteFilePath());
}

void QtPlatform::clipboardClear()
{
    QGuiApplication::clipboard()->clear();
}

void QtPlatform::clipboardSetText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

void QtPlatform::shellRun(const QString& commandLine, int windowStyle)
{
    runShellCommand(commandLine, windowStyle);
}

void QtPlatform::randomize()
{
    m_random.seed(static_cast<std::uint64_t>(QTime::currentTime().msecsSinceStartOfDay()));
}

double QtPlatform::rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
}

QString QtPlatform::programFolder()
{
    return toWindowsPath(QCoreApplication::applicationDirPath());
}

#ifdef Q_OS_WIN

bool QtPlatform::modificationTimeReadable(const QString& path)
{
    const QFileInfo info = hostInfo(path);
    return !info.filePath().isEmpty() && info.exists() && info.lastModified().isValid();
}

#endif

bool QtPlatform::normalFileExists(const QString& path)
{
    const QFileInfo info = hostInfo(path);
    return !info.filePath().isEmpty() && info.isFile() && !info.isHidden();
}

#ifdef Q_OS_WIN

qint64 QtPlatform::fileLength(const QString& path)
{
    const QFileInfo info = hostInfo(path);
    if (info.filePath().isEmpty() || !info.exists())
        throw Failure::fileNotFound();
    if (!info.isFile())
        throw Failure::pathFileAccessError(); // a folder or a device has no length to read
    return info.size();
}

QByteArray QtPlatform::readWholeFile(const QString& path)
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

#else

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

bool QtPlatform::modificationTimeReadable(const QString& path)
{
    const QByteArray native = nativePath(path);
    struct stat status;
    return !native.isEmpty() && ::stat(native.constData(), &status) == 0;
}

qint64 QtPlatform::fileLength(const QString& path)
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

QByteArray QtPlatform::readWholeFile(const QString& path)
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
    if (status.st_size > kLargestReadableFile)
        throw Failure::fileTooLarge();

    QByteArray bytes;
    try {
        bytes = QByteArray(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        throw Failure::outOfMemory();
    }
    // The length seen by fstat is what we read; a file that grows meanwhile is cut there,
    // one that shrinks gives what is left.
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(file.get(), bytes.data() + filled,
                                   static_cast<std::size_t>(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw failureFromErrno(errno);
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

#endif

std::unique_ptr<TextFileWriter> QtPlatform::createTextFile(const QString& path)
{
    const QString host = toHostPath(path);
    if (host.isEmpty())
        throw Failure::pathNotFound();
    return openSaveFileWriter(host, [this](QStringView text) { return encodeAnsi(text); });
}

QString QtPlatform::decodeAnsi(QByteArrayView bytes)
{
    return decodeAnsiCodePage(bytes);
}

QByteArray QtPlatform::encodeAnsi(QStringView text)
{
    return encodeAnsiCodePage(text);
}

void QtPlatform::pumpEvents(Pump mode)
{
    if (mode == Pump::MaySkip && m_sinceLastPump.nsecsElapsed() < kPumpSkipNanoseconds)
        return;
    QCoreApplication::processEvents();
    m_sinceLastPump.restart();
}

} // namespace velmora
