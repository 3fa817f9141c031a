#include "gui/platform/host_file_pattern.h"

namespace velmora {

QString hostFilePattern(const QString& pattern)
{
    return pattern;
}

} // namespace velmora
