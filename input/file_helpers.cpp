#include "input/file_helpers.h"

#include "app/platform.h"

namespace velmora::Main {

bool FileExists(const QString& path)
{
    return platform().modificationTimeReadable(path);
}

QString ReadFileText(const QString& /*path*/)
{
    return {};
} // not built yet

QString FileNameFromPath(const QString& path)
{
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

QString CollapseBackslashes(const QString& path)
{
    return path;
} // not built yet

} // namespace velmora::Main
