#include "core/platform/host_paths.h"

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
bool isHostDrive(const QString& path)
{
    return path.size() >= 2 && (path[0] == u'Z' || path[0] == u'z') && path[1] == u':';
}
bool hasDrive(const QString& path)
{
    return path.size() >= 2 && path[1] == u':';
}
} // namespace

QString toHostPath(const QString& windowsPath)
{
    if (windowsPath.isEmpty() || windowsPath.startsWith(u"\\\\"_s))
        return {};
    QString rest;
    if (isHostDrive(windowsPath)) {
        rest = windowsPath.mid(2);
        if (!rest.startsWith(u'\\'))
            rest.prepend(u'\\'); // "Z:" and "Z:name" both start at the host root
    } else if (hasDrive(windowsPath)) {
        return {};
    } else {
        rest = windowsPath; // relative, or rooted on the current drive, which is Z:
    }
    rest.replace(u'\\', u'/');
    return rest;
}

QString toWindowsPath(const QString& hostPath)
{
    QString path = hostPath;
    path.replace(u'/', u'\\');
    if (path.startsWith(u'\\'))
        path.prepend(u"Z:"_s);
    return path;
}

} // namespace velmora
