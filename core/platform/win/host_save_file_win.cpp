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
        m_open = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    return m_open;
}

QFileDevice::FileError SaveFile::error() const
{
    return m_commitError != QFileDevice::NoError ? m_commitError : m_file->error();
}

// The rename waits until it is on the disk (write-through), so once commit() has returned
// the target is the new file even if the power goes.
bool SaveFile::commit()
{
    if (!m_open)
        return false;
    m_open = false;
    const QString temporary = m_file->fileName();
    const bool written = !m_cancelled && m_file->error() == QFileDevice::NoError;
    m_file->close();
    if (!written || m_file->error() != QFileDevice::NoError) {
        QFile::remove(temporary);
        return false;
    }
    if (!MoveFileExW(QDir::toNativeSeparators(temporary).toStdWString().c_str(),
                     QDir::toNativeSeparators(m_target).toStdWString().c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        m_commitError = QFileDevice::RenameError;
        QFile::remove(temporary);
        return false;
    }
    return true;
}

void SaveFile::cancelWriting()
{
    m_cancelled = true;
}

} // namespace velmora::host
