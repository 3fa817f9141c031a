#include "gui/platform/qt_platform.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/ansi_code_page.h"
#include "core/platform/host_files.h"
#include "core/platform/host_paths.h"
#include "core/platform/memory_give_back.h"
#include "core/platform/save_file_writer.h"
#include "core/platform/shell_command.h"
#include "core/threads/background_release.h"
#include "core/threads/failure_carrier.h"
#include "core/threads/serial_thread.h"
#include "gui/platform/host_save_dialog.h"
#include "gui/platform/qt_file_dialogs.h"

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// How often a wait for work on another thread looks whether the program is ending.
constexpr int kEndingWatchIntervalMs = 20;

// Below this gap since the last real pump, a pump that may be skipped is skipped: a save
// yields per cell, and processing events a million times costs more than the save.
constexpr qint64 kPumpSkipNanoseconds = 2'000'000;
// Reading the clock costs about as much as a cell of a save: only every so many pumps look.
constexpr int kSkippablePumpsPerClockRead = 64;

// Work that must not yield and takes longer than this is painted beside every so often: a
// part of a window uncovered meanwhile would otherwise stay blank until the work ends.
constexpr auto kRepaintInterval = std::chrono::milliseconds(100);

// Paints what needs painting, and does nothing else: the widgets' pending paint requests
// are delivered, and every window's picture is shown again whole, since the window
// system's own requests to repaint wait with all its other events.
void repaintOnly()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->backingStore())
            window->backingStore()->flush(QRegion(window->rect()), window->windowHandle());
    }
}

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

QString QtPlatform::showOpenDialog(const FileDialogRequest& request)
{
    return showQtOpenDialog(request);
}

QString QtPlatform::showSaveDialog(const FileDialogRequest& request)
{
    return showHostSaveDialog(request);
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
    runShellCommand(commandLine, windowStyle,
                    [](const QUrl& address) { return QDesktopServices::openUrl(address); });
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

bool QtPlatform::modificationTimeReadable(const QString& path)
{
    return host::modificationTimeReadable(path);
}

bool QtPlatform::normalFileExists(const QString& path)
{
    const QString host = toHostPath(path);
    if (host.isEmpty())
        return false;
    const QFileInfo info(host);
    return info.isFile() && !info.isHidden();
}

qint64 QtPlatform::fileLength(const QString& path)
{
    return host::fileLength(path);
}

QByteArray QtPlatform::readWholeFile(const QString& path)
{
    return host::readWholeFile(path);
}

std::unique_ptr<TextFileWriter> QtPlatform::createTextFile(const QString& path)
{
    return createTextFileAt(path, {&appendAnsiCodePage, &decodeAnsiCodePage});
}

QString QtPlatform::decodeAnsi(QByteArrayView bytes)
{
    return decodeAnsiCodePage(bytes);
}

void QtPlatform::giveBackFreedMemory()
{
    // After what has been handed off to be freed, and off the window's thread too: trimming
    // a heap of gigabytes takes a while.
    releaseInBackground([] { giveBackFreedHeap(); });
}

void QtPlatform::runWhilePumping(const std::function<void(std::stop_token)>& work)
{
    QEventLoop loop;
    // A closed window ends the program at once: the loop stops waiting, the work is asked
    // to stop, and only then does the caller unwind.
    QTimer endingWatch;
    QObject::connect(&endingWatch, &QTimer::timeout, &loop, [&] {
        if (programEnding())
            loop.quit();
    });
    endingWatch.start(kEndingWatchIntervalMs);
    FailureCarrier failure;
    std::atomic<bool> done = false;
    {
        // The worker ends the loop through the loop's own thread, so the quit is seen even
        // when it arrives while a handler inside this loop has a modal box open.
        std::jthread worker([&](std::stop_token stop) {
            failure.run([&] { work(std::move(stop)); });
            done = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        // exec() also returns when the application is told to exit, and from then on returns
        // at once until the application's own loop has ended: only the program's end stops
        // the work, anything else goes on waiting for it, still processing events.
        while (!done && !programEnding()) {
            loop.exec();
            if (!done && !programEnding())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        // Awaited here: a jthread left to its destructor would be asked to stop first.
        if (programEnding())
            worker.request_stop();
        worker.join();
    }
    if (programEnding())
        throw ProgramEnding{};
    failure.rethrowIfFailed();
}

void QtPlatform::runWhileRepainting(const std::function<void()>& work)
{
    // The event loop does not turn meanwhile: input, closings, queued calls, timers, deferred
    // deletions and socket messages (a screen reader's among them) all wait, in their order,
    // until the work is done, as they would had it run on this thread. Only painting goes on.
    struct Wait
    {
        FailureCarrier failure;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
    };
    // Shared with the job, which may still be signalling when this call returns.
    auto wait = std::make_shared<Wait>();
    // Always the same thread: glibc gives each thread a heap arena of its own, and a list
    // loaded there and later freed returns its memory to that arena, where the next load
    // finds it again. A new thread each time would take fresh memory while the old sat idle.
    m_repaintingThread.hand([wait, &work] {
        wait->failure.run(work);
        {
            const std::lock_guard lock(wait->mutex);
            wait->done = true;
        }
        wait->finished.notify_one(); // `work` may be gone from here on
    });
    std::unique_lock lock(wait->mutex);
    while (!wait->finished.wait_for(lock, kRepaintInterval, [&] { return wait->done; })) {
        lock.unlock();
        repaintOnly();
        lock.lock();
    }
    wait->failure.rethrowIfFailed();
}

void QtPlatform::pumpEvents(Pump mode)
{
    if (mode == Pump::MaySkip) {
        if (++m_skippablePumpsUnclocked < kSkippablePumpsPerClockRead)
            return;
        m_skippablePumpsUnclocked = 0;
        if (m_sinceLastPump.nsecsElapsed() < kPumpSkipNanoseconds)
            return;
    }
    QCoreApplication::processEvents();
    m_sinceLastPump.restart();
}

} // namespace velmora
