#include "core/platform/shell_command.h"

namespace velmora {

QString quotedAddress(QStringView commandLine)
{
    const qsizetype open = commandLine.indexOf(u'"');
    const qsizetype close = commandLine.lastIndexOf(u'"');
    if (open < 0 || close <= open)
        return {};
    return commandLine.mid(open + 1, close - open - 1).toString();
}

} // namespace velmora
