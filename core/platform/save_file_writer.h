#pragma once

#include "core/platform/platform.h"

#include <functional>

namespace velmora {

// A code page's two ways, as a writer takes them.
struct TextEncoding
{
    // Appends a line's bytes to the buffer; false, with the buffer as it was, when the code
    // page cannot hold one of its characters.
    std::function<bool(QStringView, QByteArray&)> append;
    // What bytes appended so read as: the same text.
    std::function<QString(QByteArrayView)> decode;
};

// A text file written through the host's save file (host_save_file.h): lines go to a
// temporary file beside the target, and close() puts it in place of the old file in one
// step. A failed or abandoned save leaves the old file as it was. Throws RuntimeFailure when
// the file cannot be created.
//
// Lines are written in the encoding's code page. At the first character it cannot hold,
// the whole file so far is written again, in a new temporary file, as UTF-16 little-endian
// with the FF FE mark, and the lines after it go on so: a file in which every character is
// held has the code page's bytes, and no other file loses a character.
std::unique_ptr<TextFileWriter> openSaveFileWriter(const QString& hostPath, TextEncoding encoding);

// The same for a Windows-form path, mapped to the host's: "Path not found" when it has no
// place there.
std::unique_ptr<TextFileWriter> createTextFileAt(const QString& windowsPath, TextEncoding encoding);

} // namespace velmora
