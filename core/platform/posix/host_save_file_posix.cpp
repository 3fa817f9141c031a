#include "core/platform/host_save_file.h"

#include <QSaveFile>

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

QFileDevice::FileError SaveFile::error() const
{
    return m_commitError != QFileDevice::NoError ? m_commitError : m_file->error();
}

bool SaveFile::commit()
{
    m_open = false;
    return static_cast<QSaveFile&>(*m_file).commit();
}

void SaveFile::cancelWriting()
{
    m_cancelled = true;
    static_cast<QSaveFile&>(*m_file).cancelWriting();
}

} // namespace velmora::host
