#include "core/platform/windows_paths.h"

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Doubled backslashes become one, scanning once from the left: "\\\" gives "\\".
QString collapsePairs(QStringView path)
{
    QString result;
    result.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        result.append(path[i]);
        if (path[i] == u'\\' && i + 1 < path.size() && path[i + 1] == u'\\')
            ++i;
    }
    return result;
}

} // namespace

QString fileNameFromPath(const QString& path)
{
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

QString collapseBackslashes(const QString& path)
{
    if (!path.startsWith(u'\\'))
        return collapsePairs(path);
    qsizetype firstOther = 0;
    while (firstOther < path.size() && path[firstOther] == u'\\')
        ++firstOther;
    // A network path keeps exactly its two leading backslashes, however many it came with.
    return u"\\\\"_s + collapsePairs(QStringView(path).sliced(firstOther));
}

} // namespace velmora
