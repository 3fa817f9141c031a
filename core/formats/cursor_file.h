#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <optional>

namespace velmora {

// A pointer image file: an icon or cursor file of the Windows kind.
struct CursorFile
{
    QByteArray bytes;              // the whole file, for an image reader
    std::optional<QPoint> hotSpot; // a cursor's own; an icon has none
};

// Reads the pointer file at a Windows-form path and checks its directory: reserved 0, type
// 1 (icon) or 2 (cursor), at least one image entry. Throws RuntimeFailure when it cannot be
// read or is no such file; the picture itself is the image reader's to check.
CursorFile readCursorFile(const QString& path);

} // namespace velmora
