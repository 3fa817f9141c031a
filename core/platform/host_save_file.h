#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <memory>

namespace velmora::host {

// The file a save writes: a temporary file beside the target, put in its place by commit()
// in one step, so the target is the old file or the new one whole. One implementation per
// host (posix/host_save_file_posix.cpp, win/host_save_file_win.cpp), for what a save killed
// midway leaves behind: Linux's temporary file has no name until the commit, Windows' has.
class SaveFile
{
public:
    explicit SaveFile(const QString& target);
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    const QString& fileName() const { return m_target; } // the target's host path
    bool open();                                         // for writing
    qint64 write(const char* data, qint64 size) { return m_file->write(data, size); }
    qint64 write(const QByteArray& data) { return m_file->write(data); }
    bool flush() { return m_file->flush(); }
    qint64 pos() const { return m_file->pos(); }
    int handle() const { return m_file->handle(); } // the C library's descriptor
    QFileDevice::FileError error() const;
    bool commit();        // false: the target is the old file, and the temporary one is gone
    void cancelWriting(); // commit() then discards the file

private:
    QString m_target;
    std::unique_ptr<QFileDevice> m_file;
    QFileDevice::FileError m_commitError = QFileDevice::NoError;
    bool m_cancelled = false;
    bool m_open = false;
};

} // namespace velmora::host
