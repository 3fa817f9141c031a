#include "app/platform/shell_command.h"

namespace velmora {

QString quotedAddress(QStringView commandLine)
{
    const qsizetype open = commandLine.indexOf(u'"');
    const qsizetype close = commandLine.lastIndexOf(u'"');
    if (open < 0 || close <= open)
        return {};
    return commandLine.mid(open + 1, close - open - 1).toString();
}

int showWindowCommand(int windowStyle)
{
    // The shell's styles are the show commands of the same number, except that
    // "minimised without focus" is 6 for the shell and 7 for the window manager; 5 is not
    // a style.
    switch (windowStyle) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return windowStyle;
    case 6:
        return 7;
    default:
        return -1;
    }
}

} // namespace velmora
