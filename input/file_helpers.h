#pragma once

#include <QString>

// The shared file and path procedures. Paths are Windows-form strings.
namespace velmora::Main {

// True when the path names an existing file or folder (its modification time can be
// read). Never fails.
bool FileExists(const QString& path);

// The file's whole text: "" when it does not exist, the literal "empty file" when it has
// no bytes; UTF-16 when it begins with a byte-order mark (kept as U+FEFF), else the ANSI
// code page byte by byte. Failures to open or read pass to the caller.
QString ReadFileText(const QString& path);

// The text after the last backslash (all of it when there is none).
QString FileNameFromPath(const QString& path);

// Doubled backslashes collapsed in one left-to-right pass; a leading run of backslashes
// becomes exactly two.
QString CollapseBackslashes(const QString& path);

} // namespace velmora::Main
