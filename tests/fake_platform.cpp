#include "fake_platform.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/save_file_writer.h"
#include "core/threads/failure_carrier.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QTimer>

#include <memory>
#include <thread>

namespace velmora::test {

FakePlatform::FakePlatform() : m_slowWorker(qEnvironmentVariableIntValue("VELMORA_SLOW_WORKER_MS"))
{}

void FakePlatform::messageBox(const QString& text, MsgBoxIcon icon, const QString& title)
{
    boxes.push_back({text, icon, title});
    if (onMessageBox)
        onMessageBox(boxes.back());
}

QString FakePlatform::showOpenDialog(const FileDialogRequest& request)
{
    openRequests.push_back(request);
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString FakePlatform::showSaveDialog(const FileDialogRequest& request)
{
    saveRequests.push_back(request);
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

void FakePlatform::clipboardClear()
{
    ++clipboardClearCalls;
    if (clipboardRefusals > 0) {
        --clipboardRefusals;
        throw Failure::pathFileAccessError();
    }
    clipboardText.clear();
    clipboardHasText = false;
}

void FakePlatform::clipboardSetText(const QString& text)
{
    ++clipboardSetCalls;
    if (clipboardRefusals > 0) {
        --clipboardRefusals;
        throw Failure::pathFileAccessError();
    }
    clipboardText = text;
    clipboardHasText = true;
}

void FakePlatform::shellRun(const QString& commandLine, int windowStyle)
{
    shellCommands.append(commandLine);
    shellWindowStyles.push_back(windowStyle);
    if (shellFails)
        throw Failure::fileNotFound();
}

double FakePlatform::rnd()
{
    return m_nextRnd < rndValues.size() ? rndValues[m_nextRnd++] : 0.5;
}

bool FakePlatform::modificationTimeReadable(const QString& path)
{
    return modificationTimeReadableHook ? modificationTimeReadableHook(path)
                                        : m_real.modificationTimeReadable(path);
}

QByteArray FakePlatform::readWholeFile(const QString& path)
{
    return readWholeFileHook ? readWholeFileHook(path) : m_real.readWholeFile(path);
}

std::unique_ptr<TextFileWriter> FakePlatform::createTextFile(const QString& path)
{
    if (createTextFileHook)
        return createTextFileHook(path);
    if (!codePage)
        return m_real.createTextFile(path);
    const CodePage chosen = *codePage;
    return createTextFileAt(
        path, {[chosen](QStringView text, QByteArray& bytes) {
                   return appendCodePage(chosen, text, bytes);
               },
               [chosen](QByteArrayView bytes) { return decodeCodePage(chosen, bytes); }});
}

QString FakePlatform::decodeAnsi(QByteArrayView bytes)
{
    return codePage ? decodeCodePage(*codePage, bytes) : m_real.decodeAnsi(bytes);
}

void FakePlatform::runWhilePumping(const std::function<void(std::stop_token)>& work)
{
    const int run = ++backgroundRuns;
    FailureCarrier failure;
    {
        std::jthread worker(
            [&](std::stop_token stop) { failure.run([&] { work(std::move(stop)); }); });
        if (auto scheduled = whileWorking.find(run); scheduled != whileWorking.end()) {
            const std::function<void()> action = scheduled->second; // it may reschedule
            if (actionsAfterWork)
                worker.join();
            action();
        }
        // Awaited here: a jthread left to its destructor would be asked to stop first.
        if (programEnding())
            worker.request_stop();
        if (worker.joinable())
            worker.join();
    }
    if (programEnding())
        throw ProgramEnding{};
    failure.rethrowIfFailed();
}

void FakePlatform::runWhileRepainting(const std::function<void()>& work)
{
    // The real wait, so what it lets through is what the program's lets through. Slowed
    // down, the work outlasts a call queued and a timer started just before it, and both
    // must come after it.
    if (m_slowWorker == std::chrono::milliseconds::zero()) {
        m_real.runWhileRepainting(work);
        return;
    }
    const auto inside = std::make_shared<bool>(true);
    const auto probe = [inside] {
        if (*inside)
            ++eventsInsideRepaintOnlyWork;
    };
    QMetaObject::invokeMethod(QCoreApplication::instance(), probe, Qt::QueuedConnection);
    QTimer::singleShot(0, QCoreApplication::instance(), probe);
    const auto finished = qScopeGuard([&] { *inside = false; });
    m_real.runWhileRepainting([&] {
        std::this_thread::sleep_for(m_slowWorker);
        work();
    });
}

void FakePlatform::pumpEvents(Pump /*mode*/)
{
    ++yields;
    if (onEveryYield)
        onEveryYield(yields);
    if (auto action = atYield.find(yields); action != atYield.end())
        action->second();
    if (pumpRealEvents)
        QCoreApplication::processEvents();
}

} // namespace velmora::test
