#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The host's own calls behind the real platform's file services, one file per host
// (posix/host_files_posix.cpp, win/host_files_win.cpp). Paths are Windows-form; each
// function maps the path to the host itself.
namespace velmora::host {

bool modificationTimeReadable(const QString& path); // never throws
qint64 fileLength(const QString& path);             // throws RuntimeFailure
QByteArray readWholeFile(const QString& path);      // throws RuntimeFailure

// What both hosts' readWholeFile do once the file is open: refuse a length beyond the
// largest readable file, make room for it, and call readSome(buffer, most) until the room
// is full or it gives 0. A file that grows meanwhile is cut at that length; one that
// shrinks gives what is left. readSome returns the bytes it read and throws on failure.
QByteArray readOpenFile(qint64 length, const std::function<qint64(char*, qint64)>& readSome);

// For the save-file writer (save_file_writer.cpp), on the open file's handle. Qt names
// a write that fills the disk part of the way a plain write error; the host's own reason,
// left by the refused call, tells the full disk apart.
void clearFailureReason();
bool lastFailureWasDiskFull(); // of the last refused call since clearFailureReason()
// Starts handing bytes from..to of the file to the disk without waiting; only a hint, and
// nothing on a host that has no such call, which hasWriteback() then says.
bool hasWriteback();
void startWriteback(int handle, qint64 from, qint64 to);
enum class SyncWhat
{
    Data,
    DataAndMetadata
};
// Waits until the file's bytes so far are on the disk; false when the disk refused them.
// A file that cannot be synced at all (a device, a pipe) counts as synced.
bool sync(int handle, SyncWhat what);

// Whether the file at this host path (which exists) may be put out of the way by the save's
// final step. False where another program holds it open without letting it be replaced, as
// Windows allows; the save is then refused at the start, with the old file as it was.
bool replaceable(const QString& hostPath);

} // namespace velmora::host
