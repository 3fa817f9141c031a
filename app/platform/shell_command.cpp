#include "app/platform/shell_command.h"

#include "app/errors/runtime_failure.h"

#include <QDesktopServices>
#include <QUrl>

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

#ifndef Q_OS_WIN

void runShellCommand(const QString& commandLine, int /*windowStyle*/)
{
    const QUrl url(quotedAddress(commandLine));
    if (url.isEmpty() || !url.isValid() || !QDesktopServices::openUrl(url))
        throw Failure::fileNotFound();
}

#endif

} // namespace velmora
