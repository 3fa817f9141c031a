#include "core/platform/host_save_file.h"

#include <QSaveFile>

#include <cerrno>

#include <unistd.h>

namespace velmora::host {

// Qt's QSaveFile: where Linux can, its temporary file has no name until the commit
// (O_TMPFILE), so a save killed midway leaves nothing behind.
SaveFile::SaveFile(const QString& target)
    : m_target(target), m_file(std::make_unique<QSaveFile>(target))
{}

SaveFile::~SaveFile() = default;

bool SaveFile::open()
{
    m_open = m_file->open(QIODevice::WriteOnly);
    return m_open;
}

// QSaveFile opens its temporary file for reading too, though it reads nothing itself.
qint64 SaveFile::readBack(qint64 offset, char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = pread(m_file->handle(), data + done, static_cast<size_t>(size - done),
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

QFileDevice::FileError SaveFile::commit()
{
    m_open = false;
    auto& file = static_cast<QSaveFile&>(*m_file);
    return file.commit() ? QFileDevice::NoError : file.error();
}

void SaveFile::cancelWriting()
{
    static_cast<QSaveFile&>(*m_file).cancelWriting();
}

} // namespace velmora::host
