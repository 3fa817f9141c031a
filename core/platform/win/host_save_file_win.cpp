#include "core/platform/host_save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

namespace velmora::host {

// Qt's QSaveFile gives its temporary file a random name and opens it without sharing
// deletion, so the file a killed save leaves could never be told from the user's own and
// would stay. Ours are named <target>.velmora-save<n>: a save first removes those of its
// target, which only succeeds for the ones no save holds open any more (a save under way
// keeps its own), then takes the first free number.
namespace {

constexpr auto kSuffix = ".velmora-save";

QString temporaryFor(const QString& target, int number)
{
    return target + QLatin1String(kSuffix) + QString::number(number);
}

} // namespace

SaveFile::SaveFile(const QString& target) : m_target(target), m_file(std::make_unique<QFile>()) {}

SaveFile::~SaveFile()
{
    if (m_open) { // neither committed nor discarded: the temporary file goes
        m_file->close();
        QFile::remove(m_file->fileName());
    }
}

bool SaveFile::open()
{
    const QFileInfo target(m_target);
    const QDir folder = target.dir();
    const QStringList left = folder.entryList({target.fileName() + QLatin1String(kSuffix) + u'*'},
                                              QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : left)
        QFile::remove(folder.filePath(name));
    auto& file = static_cast<QFile&>(*m_file);
    for (int number = 1; number <= 100 && !m_open; ++number) {
        file.setFileName(temporaryFor(m_target, number));
        m_open = file.open(QIODevice::ReadWrite | QIODevice::NewOnly); // read back: readBack()
    }
    return m_open;
}

qint64 SaveFile::readBack(qint64 offset, char* data, qint64 size)
{
    const qint64 end = m_file->pos();
    if (!m_file->seek(offset))
        return -1;
    const qint64 got = m_file->read(data, size);
    return m_file->seek(end) ? got : -1;
}

// The rename waits until it is on the disk (write-through), so once commit() has returned
// the target is the new file even if the power goes.
QFileDevice::FileError SaveFile::commit()
{
    if (!m_open)
        return QFileDevice::WriteError; // discarded already
    m_open = false;
    const QString temporary = m_file->fileName();
    QFileDevice::FileError error = m_file->error();
    m_file->close();
    if (error == QFileDevice::NoError)
        error = m_file->error();
    if (error != QFileDevice::NoError) {
        QFile::remove(temporary);
        return error;
    }
    if (!MoveFileExW(QDir::toNativeSeparators(temporary).toStdWString().c_str(),
                     QDir::toNativeSeparators(m_target).toStdWString().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        QFile::remove(temporary);
        return QFileDevice::RenameError;
    }
    return QFileDevice::NoError;
}

// Nothing more goes to the file: it goes at once.
void SaveFile::cancelWriting()
{
    if (!m_open)
        return;
    m_open = false;
    m_file->close();
    QFile::remove(m_file->fileName());
}

} // namespace velmora::host
