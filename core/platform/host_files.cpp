#include "core/platform/host_files.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/large_pages.h"
#include "core/platform/platform.h"

#include <new>

namespace velmora::host {

QByteArray readOpenFile(qint64 length, const std::function<qint64(char*, qint64)>& readSome)
{
    if (length > kLargestReadableFile)
        throw Failure::fileTooLarge();
    QByteArray bytes;
    try {
        bytes = QByteArray(static_cast<qsizetype>(length), Qt::Uninitialized);
        adviseLargePagesFor(bytes.data(), std::size_t(bytes.size()));
    } catch (const std::bad_alloc&) {
        throw Failure::outOfMemory();
    }
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const qint64 got = readSome(bytes.data() + filled, bytes.size() - filled);
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

} // namespace velmora::host
