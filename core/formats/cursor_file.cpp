#include "core/formats/cursor_file.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/platform.h"

namespace velmora {

namespace {

// Pointer images are a few kilobytes; a larger file is not one and is not read.
constexpr qint64 kLargestCursorFile = qint64{4} * 1024 * 1024;

// The directory's six bytes and its first 16-byte entry.
constexpr qsizetype kDirectoryAndFirstEntry = 22;

} // namespace

CursorFile readCursorFile(const QString& path)
{
    if (platform().fileLength(path) > kLargestCursorFile)
        throw Failure::invalidPicture();
    CursorFile file{platform().readWholeFile(path), std::nullopt};

    const QByteArray& bytes = file.bytes;
    auto word = [&](qsizetype at) {
        return static_cast<int>(static_cast<unsigned char>(bytes[at])) |
               static_cast<int>(static_cast<unsigned char>(bytes[at + 1])) << 8;
    };
    if (bytes.size() < kDirectoryAndFirstEntry || word(0) != 0 || (word(2) != 1 && word(2) != 2) ||
        word(4) < 1)
        throw Failure::invalidPicture();
    // A cursor's entry holds its hot spot where an icon's holds planes and depth.
    if (word(2) == 2)
        file.hotSpot = QPoint(word(10), word(12));
    return file;
}

} // namespace velmora
