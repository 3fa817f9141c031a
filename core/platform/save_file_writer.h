#pragma once

#include "core/platform/platform.h"

#include <functional>

namespace velmora {

// A text file written through the host's save file (host_save_file.h): lines go to a temporary file
// beside the target, and close() puts it in place of the old file in one step. A failed or
// abandoned save leaves the old file as it was. Throws RuntimeFailure when the file cannot be
// created.
// `encode` appends a line's bytes to the buffer it is given.
using LineEncoder = std::function<void(QStringView, QByteArray&)>;
std::unique_ptr<TextFileWriter> openSaveFileWriter(const QString& hostPath, LineEncoder encode);

} // namespace velmora
