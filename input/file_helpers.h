#pragma once

#include <QString>

// The shared file and path procedures. Paths are Windows-form strings.
namespace velmora::Main {

// True when the path names an existing file or folder (its modification time can be
// read). Never fails.
bool FileExists(const QString& path);

// The file's whole text: "" when it does not exist, the literal "empty file" when it has
// no bytes. A file that starts FF FE is UTF-16 little-endian, one that starts FE FF is
// UTF-16 big-endian; either way the mark stays at the front as U+FEFF and a final odd
// byte becomes U+FFFD. Every other file is the ANSI code page, byte by byte (no UTF-8
// detection). Failures to open or read, and files over 2 GiB, throw RuntimeFailure.
QString ReadFileText(const QString& path);

// The text after the last backslash (all of it when there is none).
QString FileNameFromPath(const QString& path);

// Doubled backslashes collapsed in one left-to-right pass; a leading run of backslashes
// becomes exactly two.
QString CollapseBackslashes(const QString& path);

} // namespace velmora::Main
