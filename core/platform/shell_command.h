#pragma once

#include <QString>
#include <QStringView>

#include <functional>

class QUrl;

namespace velmora {

// Runs a command line the way the shell of Windows does, with one of its window styles
// (0 hidden, 1 normal, 2 minimised, 3 maximised, 4 normal without focus, 6 minimised
// without focus). Nothing waits for the program started. Throws RuntimeFailure "File not
// found" when it cannot be started.
//
// Windows runs the command line itself (win/shell_command_win.cpp). Elsewhere there is no
// Explorer: the one command line the program runs, explorer "address", hands the address to
// openAddress, which the real platform points at the desktop's web browser (a service of
// the GUI, out of this layer's reach), and the window style is the browser's own business
// (posix/shell_command_posix.cpp).
using AddressOpener = std::function<bool(const QUrl& address)>; // false: it could not
void runShellCommand(const QString& commandLine, int windowStyle, const AddressOpener& openAddress);

// What stands between the first and the last double quote of a command line: the address
// in explorer "address". Empty when the line holds no such pair.
QString quotedAddress(QStringView commandLine);

} // namespace velmora
