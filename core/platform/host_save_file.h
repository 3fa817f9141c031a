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
    qint64 write(const QByteArray& data) { return m_file->write(data); }
    // Reads back size bytes of what was written from offset on, once flushed; the bytes
    // read, -1 on failure. The position stays where the writing left it.
    qint64 readBack(qint64 offset, char* data, qint64 size);
    bool flush() { return m_file->flush(); }
    qint64 pos() const { return m_file->pos(); }
    int handle() const { return m_file->handle(); } // the C library's descriptor
    QFileDevice::FileError error() const { return m_file->error(); }
    // NoError: the target is the new file. Otherwise it is the old one, the temporary one
    // is gone, and this is why.
    QFileDevice::FileError commit();
    void cancelWriting(); // commit() then discards the file

private:
    QString m_target;
    std::unique_ptr<QFileDevice> m_file;
    bool m_open = false; // the temporary file is there and open
};

} // namespace velmora::host
