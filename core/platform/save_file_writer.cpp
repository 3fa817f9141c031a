#include "core/platform/save_file_writer.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/host_files.h"
#include "core/platform/host_save_file.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace velmora {

namespace {

RuntimeFailure writeFailure(QFileDevice::FileError error)
{
    return error == QFileDevice::ResourceError ? Failure::diskFull() : Failure::deviceIoError();
}

// Text lines go to the host's save file (QSaveFile on Linux), so the old file stays until
// close() commits the new one. The save file is never committed after a failed write: a writer that
// is destroyed without a successful close() (a failure, or the program ending in the middle of a
// save) removes its temporary file and leaves the old file as it was.
class SaveFileWriter : public TextFileWriter
{
public:
    SaveFileWriter(const QString& hostPath, LineEncoder encode)
        : m_file(hostPath), m_encode(std::move(encode))
    {
        m_pending.reserve(kPendingBytes * 2);
    }

    // The same failures, in the same order of checks, as the system's own text-file
    // creation reports, so the error box reads the way users expect it to.
    void open()
    {
        const QFileInfo info(m_file.fileName());
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            throw Failure::pathNotFound();
        if (info.isDir())
            throw Failure::permissionDenied();
        if (info.exists() && (!info.isWritable() || !host::replaceable(info.filePath())))
            throw Failure::permissionDenied();
        if (!folder.isWritable())
            throw Failure::permissionDenied(); // no room for the file beside the old one
        if (!m_file.open())
            throw Failure::pathFileAccessError();
    }

    void writeLine(QStringView text) override
    {
        if (m_failure)
            throw *m_failure; // the rest of a broken file goes nowhere
        m_encode(text, m_pending);
        m_pending.append("\r\n", 2);
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
        if (!m_file.flush())
            fail();
        sync(host::SyncWhat::DataAndMetadata);
        if (!m_file.commit()) {
            m_failure = writeFailure(m_file.error());
            throw *m_failure;
        }
    }

private:
    // A big file is handed to the disk in pieces as it grows: left to the end, the sync
    // before the commit writes it in one go, and the window waits, frozen, for as long as
    // that takes. On Linux each megabyte is sent off without waiting, and every fourth
    // one is waited for; elsewhere every four megabytes are synced.
    static constexpr qint64 kWritebackChunk = 1 << 20;
    static constexpr int kChunksPerSync = 4;

    // The lines are handed to the device a few dozen kilobytes at a time: a write per line
    // cost more than making the line.
    static constexpr qsizetype kPendingBytes = 64 * 1024;

    void sendPending()
    {
        if (m_pending.isEmpty())
            return;
        host::clearFailureReason();
        if (m_file.write(m_pending) != m_pending.size())
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
        if (!m_file.flush())
            fail();
        // Only a hint: a failure to start early shows in the sync.
        const qint64 end = m_file.pos();
        host::startWriteback(m_file.handle(), m_sentUpTo, end);
        m_sentUpTo = end;
        if (++m_chunksSinceSync == kChunksPerSync) {
            m_chunksSinceSync = 0;
            sync(host::SyncWhat::Data);
        }
    }

    // A refusal to keep the bytes so far is a failed write.
    void sync(host::SyncWhat what)
    {
        if (!host::sync(m_file.handle(), what))
            fail(host::lastFailureWasDiskFull() ? QFileDevice::ResourceError
                                                : QFileDevice::WriteError);
    }

    // Qt calls a disk that fills up part of the way through its buffer a plain write error
    // (a resource error only when not a byte could be stored), so the host's own reason has
    // the last word.
    [[noreturn]] void fail()
    {
        if (host::lastFailureWasDiskFull())
            fail(QFileDevice::ResourceError);
        fail(m_file.error());
    }
    [[noreturn]] void fail(QFileDevice::FileError error)
    {
        m_failure = writeFailure(error);
        m_file.cancelWriting(); // commit() now discards whatever happens next
        throw *m_failure;
    }

    host::SaveFile m_file;
    LineEncoder m_encode;
    QByteArray m_pending; // encoded lines not yet handed to the device
    qint64 m_unsent = 0;
    qint64 m_sentUpTo = 0;
    int m_chunksSinceSync = 0;
    std::optional<RuntimeFailure> m_failure; // the first failure; every later step repeats it
};

} // namespace

std::unique_ptr<TextFileWriter> openSaveFileWriter(const QString& hostPath, LineEncoder encode)
{
    auto writer = std::make_unique<SaveFileWriter>(hostPath, std::move(encode));
    writer->open();
    return writer;
}

} // namespace velmora
