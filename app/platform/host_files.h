#pragma once

#include <QByteArray>
#include <QString>

// The host's own calls behind the real platform's file services, one file per host
// (posix/host_files_posix.cpp, win/host_files_win.cpp). Paths are Windows-form; each
// function maps the path to the host itself.
namespace velmora::HostFiles {

bool modificationTimeReadable(const QString& path); // never throws
qint64 fileLength(const QString& path);             // throws RuntimeFailure
QByteArray readWholeFile(const QString& path);      // throws RuntimeFailure

} // namespace velmora::HostFiles
