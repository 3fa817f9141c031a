#include "gui/platform/host_file_pattern.h"

using namespace Qt::StringLiterals;

namespace velmora {

QString hostFilePattern(const QString& pattern)
{
    QString matching = pattern;
    matching.replace(u"*.*"_s, u"*"_s); // "all files" takes names without a dot too
    return matching;
}

} // namespace velmora
