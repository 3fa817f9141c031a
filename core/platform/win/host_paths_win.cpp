#include "core/platform/host_paths.h"

#include <QDir>

namespace velmora {

// Paths are already in Windows form here.
QString toHostPath(const QString& windowsPath)
{
    return windowsPath;
}

QString toWindowsPath(const QString& hostPath)
{
    return QDir::toNativeSeparators(hostPath);
}

} // namespace velmora
