#include "core/platform/save_file_writer.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/host_files.h"
#include "core/platform/host_paths.h"
#include "core/platform/host_save_file.h"
#include "core/platform/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtEndian>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <system_error>
#include <utility>

namespace velmora {

namespace {

RuntimeFailure writeFailure(QFileDevice::FileError error)
{
    return error == QFileDevice::ResourceError ? Failure::diskFull() : Failure::deviceIoError();
}

void appendUtf16(QStringView text, QByteArray& bytes)
{
    const qsizetype before = bytes.size();
    bytes.resize(before + 2 * text.size());
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data() + before);
}

// Text lines go to the host's save file (QSaveFile on Linux), so the old file stays until
// close() commits the new one. The save file is never committed after a failed write: a writer that
// is destroyed without a successful close() (a failure, or the program ending in the middle of a
// save) removes its temporary file and leaves the old file as it was.
class SaveFileWriter : public TextFileWriter
{
public:
    SaveFileWriter(const QString& hostPath, TextEncoding encoding)
        : m_file(std::make_unique<host::SaveFile>(hostPath)), m_encoding(std::move(encoding))
    {
        m_pending.reserve(kPendingBytes * 2);
    }

    // The same failures, in the same order of checks, as the system's own text-file
    // creation reports, so the error box reads the way users expect it to.
    void open()
    {
        const QFileInfo info(m_file->fileName());
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            throw Failure::pathNotFound();
        if (info.isDir())
            throw Failure::permissionDenied();
        if (info.exists() && (!info.isWritable() || !host::replaceable(info.filePath())))
            throw Failure::permissionDenied();
        if (!folder.isWritable())
            throw Failure::permissionDenied(); // no room for the file beside the old one
        if (!m_file->open())
            throw Failure::pathFileAccessError();
    }

    void writeLine(QStringView text) override
    {
        if (m_failure)
            throw *m_failure; // the rest of a broken file goes nowhere
        if (!m_unicode && m_encoding.append(text, m_pending)) {
            m_pending.append("\r\n", 2);
        } else {
            if (!m_unicode)
                restartInUnicode();
            appendUtf16(text, m_pending);
            appendUtf16(u"\r\n", m_pending);
        }
        if (m_pending.size() >= kPendingBytes)
            sendPending();
    }

    void close() override
    {
        if (m_failure)
            throw *m_failure;
        // The save file's commit() looks only at the errors of earlier writes: a buffer that
        // cannot be flushed at the end, or data the file system refuses only when asked to
        // keep it, would still replace the old file. Both are checked here, first.
        sendPending();
        host::clearFailureReason();
        if (!m_file->flush())
            fail();
        awaitDiskRequest();
        SyncOutcome last;
        besideWindow([&] { last = syncOf(m_file->handle(), host::SyncWhat::DataAndMetadata); });
        check(last);
        if (const QFileDevice::FileError error = m_file->commit(); error != QFileDevice::NoError) {
            m_failure = writeFailure(error);
            throw *m_failure;
        }
    }

private:
    // A big file is handed to the disk in pieces as it grows: left to the end, the sync
    // before the commit writes it in one go, and the window waits, frozen, for as long as
    // that takes. Each megabyte a request to the disk starts on a thread of its own, unless
    // the last one is still running: every four megabytes a sync, otherwise (on Linux) a
    // hint to start writing what came since the last request, which returns without waiting
    // for the disk but may wait for a busy device's queue. The writing waits for a request
    // only once 32 megabytes have been written since it started, and then, like the last
    // sync at the close, beside the window, which meanwhile only repaints. (Synced on the
    // window's thread, one sync in a save here took 100 to 150 ms, and one hint 20 to 35 ms
    // while the disk was still writing another program's file: bench_huge's save.) A sync
    // that fails shows when it is next looked at, at the latest at the close, and the file
    // is then never committed, as when it fails at once.
    static constexpr qint64 kWritebackChunk = 1 << 20;
    static constexpr qint64 kSyncEvery = qint64{4} << 20;
    static constexpr qint64 kMostWrittenDuringRequest = qint64{32} << 20;

    // The lines are handed to the device a few dozen kilobytes at a time: a write per line
    // cost more than making the line.
    static constexpr qsizetype kPendingBytes = 64 * 1024;

    void sendPending()
    {
        if (m_pending.isEmpty())
            return;
        host::clearFailureReason();
        if (m_file->write(m_pending) != m_pending.size())
            fail();
        m_unsent += m_pending.size();
        m_pending.truncate(0);
        if (m_unsent >= kWritebackChunk)
            startWriteback();
    }

    void startWriteback()
    {
        m_unsent = 0;
        host::clearFailureReason();
        if (!m_file->flush())
            fail();
        const qint64 end = m_file->pos();
        if (diskRequestRunning() && end - m_requestStartedAt < kMostWrittenDuringRequest)
            return; // what came meanwhile goes with the next request
        awaitDiskRequest();
        const int handle = m_file->handle();
        const qint64 from = std::exchange(m_sentUpTo, end);
        if (end - m_syncedUpTo >= kSyncEvery) {
            m_syncedUpTo = end;
            startDiskRequest(end, [handle] { return syncOf(handle, host::SyncWhat::Data); });
        } else if (host::hasWriteback()) {
            startDiskRequest(end, [handle, from, end] {
                host::startWriteback(handle, from, end); // only a hint: a failure shows in the sync
                return SyncOutcome{};
            });
        }
    }

    struct SyncOutcome
    {
        bool kept = true;
        bool diskFull = false;
    };

    // Made on whichever thread syncs: the failure's reason is that thread's own.
    static SyncOutcome syncOf(int handle, host::SyncWhat what)
    {
        host::clearFailureReason();
        if (host::sync(handle, what))
            return {};
        return {false, host::lastFailureWasDiskFull()};
    }

    // Starts a request to the disk (a sync, or a hint that cannot fail) on a thread of its
    // own.
    void startDiskRequest(qint64 writtenSoFar, const std::function<SyncOutcome()>& work)
    {
        m_requestStartedAt = writtenSoFar;
        try {
            m_diskRequest = std::async(std::launch::async, work);
        } catch (const std::system_error&) { // no thread to be had: the request is made here
            std::promise<SyncOutcome> outcome;
            outcome.set_value(work());
            m_diskRequest = outcome.get_future();
        }
    }

    bool diskRequestRunning() const
    {
        return m_diskRequest.valid() &&
               m_diskRequest.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    }

    // Waits for the request to the disk under way, if any, and looks at its outcome.
    void awaitDiskRequest()
    {
        if (!m_diskRequest.valid())
            return;
        if (diskRequestRunning())
            besideWindow([&] { m_diskRequest.wait(); });
        check(m_diskRequest.get());
    }

    // A wait for the disk runs beside the window, which meanwhile only repaints, unless it
    // is already part of such work (the restart in UTF-16).
    void besideWindow(const std::function<void()>& wait)
    {
        if (m_besideWindow)
            wait();
        else
            platform().runWhileRepainting(wait);
    }

    // A refusal to keep the bytes so far is a failed write.
    void check(const SyncOutcome& outcome)
    {
        if (!outcome.kept)
            fail(outcome.diskFull ? QFileDevice::ResourceError : QFileDevice::WriteError);
    }

    // Qt calls a disk that fills up part of the way through its buffer a plain write error
    // (a resource error only when not a byte could be stored), so the host's own reason has
    // the last word.
    [[noreturn]] void fail()
    {
        if (host::lastFailureWasDiskFull())
            fail(QFileDevice::ResourceError);
        fail(m_file->error());
    }
    [[noreturn]] void fail(QFileDevice::FileError error)
    {
        m_failure = writeFailure(error);
        m_file->cancelWriting(); // commit() now discards whatever happens next
        throw *m_failure;
    }

    // The file so far, read back from the old temporary file, and the lines still waiting,
    // are written again as UTF-16 into a new one, which takes the old one's place. The
    // window only repaints meanwhile: for a big file that takes a while.
    void restartInUnicode()
    {
        host::clearFailureReason();
        if (!m_file->flush())
            fail();
        awaitDiskRequest(); // the old file's, before it goes
        const qint64 written = m_file->pos();
        auto unicode = std::make_unique<host::SaveFile>(m_file->fileName());
        if (!unicode->open())
            fail(host::lastFailureWasDiskFull() ? QFileDevice::ResourceError : unicode->error());
        const std::unique_ptr<host::SaveFile> old = std::exchange(m_file, std::move(unicode));
        const QByteArray waiting = std::exchange(m_pending, QByteArray());
        m_pending.reserve(kPendingBytes * 2);
        m_unsent = 0;
        m_sentUpTo = 0;
        m_syncedUpTo = 0;
        m_unicode = true;
        m_pending.append("\xFF\xFE", 2);
        m_besideWindow = true;
        const auto back = qScopeGuard([&] { m_besideWindow = false; });
        platform().runWhileRepainting([&] {
            QByteArray chunk;
            for (qint64 from = 0; from < written;) {
                const qsizetype lines = readLinesBack(*old, from, written, chunk);
                convertToUnicode(QByteArrayView(chunk).first(lines));
                from += lines;
            }
            convertToUnicode(waiting);
        });
    }

    // Reads whole lines from `from` into the chunk (a cut inside a line could cut a
    // character of a double-byte code page); the bytes taken.
    qsizetype readLinesBack(host::SaveFile& old, qint64 from, qint64 written, QByteArray& chunk)
    {
        for (qint64 size = kReadBackBytes;; size *= 2) {
            const qint64 wanted = std::min(size, written - from);
            chunk.resize(static_cast<qsizetype>(wanted));
            if (old.readBack(from, chunk.data(), wanted) != wanted)
                fail(QFileDevice::ReadError);
            if (from + wanted == written)
                return chunk.size();
            if (const qsizetype feed = chunk.lastIndexOf('\n'); feed >= 0)
                return feed + 1;
        }
    }

    void convertToUnicode(QByteArrayView bytes)
    {
        appendUtf16(m_encoding.decode(bytes), m_pending);
        if (m_pending.size() >= kPendingBytes)
            sendPending();
    }

    static constexpr qint64 kReadBackBytes = 1 << 20;

    std::unique_ptr<host::SaveFile> m_file;
    TextEncoding m_encoding;
    bool m_unicode = false; // UTF-16 from its first byte
    QByteArray m_pending;   // encoded lines not yet handed to the device
    qint64 m_unsent = 0;
    qint64 m_sentUpTo = 0;                   // the bytes the last request to the disk covered
    qint64 m_syncedUpTo = 0;                 // the bytes the last sync covered
    std::optional<RuntimeFailure> m_failure; // the first failure; every later step repeats it
    // After the file: a writer that goes waits for its last request before the file closes.
    std::future<SyncOutcome> m_diskRequest;
    qint64 m_requestStartedAt = 0; // the bytes written when the last request started
    bool m_besideWindow = false;   // in work beside the window already
};

} // namespace

std::unique_ptr<TextFileWriter> openSaveFileWriter(const QString& hostPath, TextEncoding encoding)
{
    auto writer = std::make_unique<SaveFileWriter>(hostPath, std::move(encoding));
    writer->open();
    return writer;
}

std::unique_ptr<TextFileWriter> createTextFileAt(const QString& windowsPath, TextEncoding encoding)
{
    const QString host = toHostPath(windowsPath);
    if (host.isEmpty())
        throw Failure::pathNotFound();
    return openSaveFileWriter(host, std::move(encoding));
}

} // namespace velmora
