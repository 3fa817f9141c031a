#pragma once

#include "core/errors/runtime_failure.h"
#include "core/platform/product.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>
#include <limits>
#include <memory>
#include <stop_token>

namespace velmora {

// What a command sets on the common file dialog before showing it.
struct FileDialogRequest
{
    QString fileName; // offered name; the commands always start from an empty one
    int flags = 0;    // the dialog flag word; see FileDialogFlags
    QString title;
    QString filter; // "Description|pattern|Description|pattern|"
};

namespace FileDialogFlags {
inline constexpr int ReadOnly = 0x1;
inline constexpr int AllowMultiSelect = 0x200;
inline constexpr int Explorer = 0x80000;
inline constexpr int LongNames = 0x200000;
} // namespace FileDialogFlags

enum class MsgBoxIcon
{
    None,
    Exclamation
};

// How eagerly a yield must process events. Only the real pump may skip a call that comes
// less than ~2 ms after its last real one; every call still reaches the platform object.
enum class Pump
{
    Always,
    MaySkip
};

// The largest file one text can hold: the file length is a 32-bit signed number. Reading a
// larger one fails with Failure::fileTooLarge(), before a byte of it is read.
inline constexpr qint64 kLargestReadableFile = std::numeric_limits<qint32>::max();

// A text file being written, in the system's ANSI code page or, when that cannot hold a
// character of it, in UTF-16 (see save_file_writer.h). Lines reach the disk only when
// close() succeeds, so a failed or abandoned save never replaces the file that was there.
class TextFileWriter
{
public:
    virtual ~TextFileWriter() = default;
    virtual void writeLine(QStringView text) = 0; // throws RuntimeFailure
    virtual void close() = 0;                     // commits; throws RuntimeFailure
};

// Every service the program takes from the operating system. One real implementation
// (QtPlatform) and one test double (tests/fake_platform.h). Paths are Windows-form strings
// everywhere in the program; implementations map them to the host at this edge.
class Platform
{
public:
    virtual ~Platform() = default;

    // Modal box with one OK button; returns when the user has closed it.
    virtual void messageBox(const QString& text, MsgBoxIcon icon, const QString& title) = 0;
    void messageBox(const QString& text, MsgBoxIcon icon = MsgBoxIcon::None)
    {
        messageBox(text, icon, m_appTitle);
    }

    // Empty on cancel. Open: one full path, or the folder followed by each chosen name,
    // separated by NUL characters. Save: one full path.
    virtual QString showOpenDialog(const FileDialogRequest& request) = 0;
    virtual QString showSaveDialog(const FileDialogRequest& request) = 0;

    // One attempt each; throw RuntimeFailure when the clipboard refuses.
    virtual void clipboardClear() = 0;
    virtual void clipboardSetText(const QString& text) = 0;

    // Runs a command line such as: explorer "https://..." with a window style.
    virtual void shellRun(const QString& commandLine, int windowStyle) = 0;

    // Clock-seeded generator: randomize() seeds it, rnd() draws from [0, 1).
    virtual void randomize() = 0;
    virtual double rnd() = 0;

    // The folder that holds the program file, Windows form, without a trailing backslash.
    virtual QString programFolder() = 0;

    // Files (Windows-form paths).
    virtual bool modificationTimeReadable(const QString& path) = 0; // never throws
    virtual bool normalFileExists(const QString& path) = 0;         // a file, and not hidden
    virtual qint64 fileLength(const QString& path) = 0;             // throws RuntimeFailure
    virtual QByteArray readWholeFile(const QString& path) = 0;      // throws RuntimeFailure
    virtual std::unique_ptr<TextFileWriter> createTextFile(const QString& path) = 0; // throws

    // The text of a file in the system's ANSI code page: on Windows the system's, elsewhere
    // the locale's (UTF-8 under a UTF-8 locale, otherwise Windows-1252).
    virtual QString decodeAnsi(QByteArrayView bytes) = 0;

    // Hands heap memory freed since to the system. The allocator keeps freed blocks for later
    // use; after a command has dropped tens of megabytes (a cleared list, a sort's scratch)
    // the program would otherwise stay that much bigger until the next such command.
    virtual void giveBackFreedMemory() = 0;

    // The message pump. Throws ProgramEnding, before and after pumping, once the program
    // has been asked to end, so a command waiting in a yield unwinds instead of going on.
    void yieldToEventLoop(Pump mode = Pump::Always)
    {
        if (m_ending)
            throw ProgramEnding{};
        pumpEvents(mode);
        if (m_ending)
            throw ProgramEnding{};
    }
    // Runs work on another thread while this one goes on processing events, as in a yield
    // but not counted as one; returns when the work is done, rethrowing what it threw. When
    // the program is asked to end meanwhile, the work is asked to stop (through the token),
    // awaited, and ProgramEnding thrown, even if the work had finished. Nothing else stops
    // the work: an event loop told to exit goes on waiting for it.
    virtual void runWhilePumping(const std::function<void(std::stop_token)>& work) = 0;
    // Runs work on another thread while this one only repaints: everything else that arrives
    // meanwhile (input, window closings, queued calls, timers, socket messages) waits in its
    // order until the work is done, as it would had the work run here, so no handler runs
    // inside it. Returns when the work is done, rethrowing what it threw.
    virtual void runWhileRepainting(const std::function<void()>& work) = 0;
    void requestProgramEnd() { m_ending = true; }
    bool programEnding() const { return m_ending; }

    // The title of every message box that names none of its own.
    void setAppTitle(const QString& title) { m_appTitle = title; }

protected:
    virtual void pumpEvents(Pump mode) = 0;

private:
    bool m_ending = false;
    QString m_appTitle = kProductName.toString();
};

namespace detail {
extern Platform* installedPlatform; // set only by ScopedPlatform
[[noreturn]] void stopWithoutPlatform();
} // namespace detail

// The platform in use: the one installed last. main() installs the real one (QtPlatform,
// above this layer), tests and tools their own; with none installed the program stops.
// Inline, as the yield is: the save and the copy yield between all the cells of millions
// of rows (bench_output).
inline Platform& platform()
{
    if (!detail::installedPlatform)
        detail::stopWithoutPlatform();
    return *detail::installedPlatform;
}

// Installs a platform for the lifetime of this object; the one before comes back after.
class ScopedPlatform
{
public:
    explicit ScopedPlatform(Platform& replacement);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* m_previous;
};

} // namespace velmora
