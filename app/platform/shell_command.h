#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// Runs a command line the way the shell of Windows does, with one of its window styles
// (0 hidden, 1 normal, 2 minimised, 3 maximised, 4 normal without focus, 6 minimised
// without focus). Nothing waits for the program started. Throws RuntimeFailure "File not
// found" when it cannot be started.
//
// Windows runs the command line itself (shell_command_win.cpp). Elsewhere there is no
// Explorer: the one command line the program runs, explorer "address", opens the address
// in the desktop's web browser, and the window style is the browser's own business
// (shell_command.cpp).
void runShellCommand(const QString& commandLine, int windowStyle);

// What stands between the first and the last double quote of a command line: the address
// in explorer "address". Empty when the line holds no such pair.
QString quotedAddress(QStringView commandLine);

// The window-show command Windows takes for a window style; -1 for a style the shell
// refuses.
int showWindowCommand(int windowStyle);

} // namespace velmora
