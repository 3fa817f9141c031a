#pragma once

#include <QString>

// Reading the text files the user picks. Paths are Windows-form strings.
namespace velmora::input {

// True when the path names an existing file or folder (its modification time can be
// read). Never fails.
bool fileExists(const QString& path);

// The file's whole text: "" when it does not exist, the literal "empty file" when it has
// no bytes. A file that starts FF FE is UTF-16 little-endian, one that starts FE FF is
// UTF-16 big-endian; either way the mark stays at the front as U+FEFF and a final odd
// byte becomes U+FFFD. Every other file is in the ANSI code page: byte by byte in an 8-bit
// one; under UTF-8 as UTF-8 when it is valid UTF-8 (its mark, too, stays as U+FEFF), byte by
// byte in Windows-1252 when not. Failures to open or read, and files over 2 GiB, throw
// RuntimeFailure.
QString readFileText(const QString& path);

} // namespace velmora::input
