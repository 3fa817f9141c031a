#pragma once

#include "core/platform/ansi_code_page.h"
#include "core/platform/platform.h"
#include "gui/platform/qt_platform.h"

#include <QStringList>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace velmora::test {

// The platform for tests: no window ever opens, nothing reaches a browser or the real
// clipboard. Files are the real ones (tests use temporary folders), each operation
// replaceable to inject a failure.
class FakePlatform : public Platform
{
public:
    FakePlatform();

    struct Box
    {
        QString text;
        MsgBoxIcon icon;
        QString title;
    };
    std::vector<Box> boxes;                       // every message box shown, in order
    std::function<void(const Box&)> onMessageBox; // runs while a box is "open"

    // Answers of the next dialogs, in order (empty string = cancel); what was asked.
    QStringList openAnswers;
    QStringList saveAnswers;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;

    // Clipboard: the text held, and how many of the next attempts refuse.
    QString clipboardText;
    bool clipboardHasText = false;
    int clipboardRefusals = 0;
    int clipboardClearCalls = 0;
    int clipboardSetCalls = 0;

    QStringList shellCommands;
    std::vector<int> shellWindowStyles; // one per command, in the same order
    bool shellFails = false;
    std::vector<double> rndValues; // drawn in order; 0.5 once they run out
    int randomizeCalls = 0;
    QString programFolderPath = QStringLiteral("Z:\\nonexistent-velmora-folder");

    // The message pump: counts yields and runs the action scheduled for the n-th (1-based).
    int yields = 0;
    std::map<int, std::function<void()>> atYield;
    std::function<void(int)> onEveryYield;
    bool pumpRealEvents = false; // also deliver Qt's pending events, as the real pump does

    // File operations; each defaults to the real one and may be replaced.
    std::function<bool(const QString&)> modificationTimeReadableHook;
    std::function<qint64(const QString&)> fileLengthHook;
    std::function<QByteArray(const QString&)> readWholeFileHook;
    std::function<std::unique_ptr<TextFileWriter>(const QString&)> createTextFileHook;

    void messageBox(const QString& text, MsgBoxIcon icon, const QString& title) override;
    using Platform::messageBox;
    QString showOpenDialog(const FileDialogRequest& request) override;
    QString showSaveDialog(const FileDialogRequest& request) override;
    void clipboardClear() override;
    void clipboardSetText(const QString& text) override;
    void shellRun(const QString& commandLine, int windowStyle) override;
    void randomize() override { ++randomizeCalls; }
    double rnd() override;
    QString programFolder() override { return programFolderPath; }
    bool modificationTimeReadable(const QString& path) override;
    bool normalFileExists(const QString& path) override { return m_real.normalFileExists(path); }
    qint64 fileLength(const QString& path) override
    {
        return fileLengthHook ? fileLengthHook(path) : m_real.fileLength(path);
    }
    QByteArray readWholeFile(const QString& path) override;
    std::unique_ptr<TextFileWriter> createTextFile(const QString& path) override;
    // The host's code page, for reading and saving: Windows-1252 unless a test chooses, so a
    // test's bytes mean the same on every host; none for the real platform's own.
    std::optional<CodePage> codePage = CodePage::Windows1252;
    QString decodeAnsi(QByteArrayView bytes) override;
    int memoryGiveBacks = 0; // the real give-back still runs, so memory behaves as in use
    void giveBackFreedMemory() override
    {
        ++memoryGiveBacks;
        m_real.giveBackFreedMemory();
    }

    // Work run off the calling thread; waiting for it pumps nothing and counts no yield.
    // Meanwhile the action scheduled for the n-th run (1-based) runs on this thread, as an
    // event handler does while the real wait pumps: alongside the work, or once the work
    // has finished when `actionsAfterWork` is set. Once the program is ending the work is
    // asked to stop, awaited, and ProgramEnding thrown, as the real wait does.
    int backgroundRuns = 0;
    std::map<int, std::function<void()>> whileWorking;
    bool actionsAfterWork = false;
    void runWhilePumping(const std::function<void(std::stop_token)>& work) override;
    // The real wait. VELMORA_SLOW_WORKER_MS=n makes the work take n ms longer, and counts
    // what the wait let through meanwhile.
    void runWhileRepainting(const std::function<void()>& work) override;
    static inline int eventsInsideRepaintOnlyWork = 0;

    QtPlatform& real() { return m_real; }

protected:
    void pumpEvents(Pump mode) override;

private:
    QtPlatform m_real;
    std::size_t m_nextRnd = 0;
    std::chrono::milliseconds m_slowWorker;
};

// Installs a FakePlatform for the lifetime of a test function.
class FakePlatformScope
{
public:
    FakePlatformScope() : m_scope(fake) {}
    FakePlatform fake;

private:
    ScopedPlatform m_scope;
};

} // namespace velmora::test
