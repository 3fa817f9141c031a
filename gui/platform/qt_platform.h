#pragma once

#include "core/platform/platform.h"
#include "core/threads/background_release.h"
#include "core/threads/serial_thread.h"

#include <QElapsedTimer>

#include <random>

namespace velmora {

// The real platform: Qt's message box, dialogs, clipboard and event loop, and the host's
// file system behind Windows-form paths.
class QtPlatform : public Platform
{
public:
    QtPlatform();

    void messageBox(const QString& text, MsgBoxIcon icon, const QString& title) override;
    using Platform::messageBox;
    QString showOpenDialog(const FileDialogRequest& request) override;
    QString showSaveDialog(const FileDialogRequest& request) override;
    void clipboardClear() override;
    void clipboardSetText(const QString& text) override;
    void shellRun(const QString& commandLine, int windowStyle) override;
    void randomize() override;
    double rnd() override;
    QString programFolder() override;
    bool modificationTimeReadable(const QString& path) override;
    bool normalFileExists(const QString& path) override;
    qint64 fileLength(const QString& path) override;
    QByteArray readWholeFile(const QString& path) override;
    std::unique_ptr<TextFileWriter> createTextFile(const QString& path) override;
    QString decodeAnsi(QByteArrayView bytes) override;
    void giveBackFreedMemory() override;
    void runWhilePumping(const std::function<void(std::stop_token)>& work) override;
    void runWhileRepainting(const std::function<void()>& work) override;

protected:
    void pumpEvents(Pump mode) override;

private:
    QElapsedTimer m_sinceLastPump;
    int m_skippablePumpsUnclocked = 0; // since the clock was last read
    std::mt19937_64 m_random;
    // The program's two worker threads end with it: the one work runs on while the window
    // repaints, and the one that frees what commands drop (joined first, once all is freed).
    SerialThread m_repaintingThread;
    ReleaseThread m_releaseThread;
};

} // namespace velmora
