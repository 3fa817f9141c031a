#include "core/errors/runtime_failure.h"
#include "core/platform/shell_command.h"

#include <windows.h>

#include <string>

namespace velmora {

namespace {

// The window-show command Windows takes for a window style; -1 for a style the shell
// refuses.
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

} // namespace

void runShellCommand(const QString& commandLine, int windowStyle,
                     const AddressOpener& /*openAddress: Windows runs the line itself*/)
{
    const int show = showWindowCommand(windowStyle);
    if (show < 0)
        throw Failure::invalidProcedureCall();

    // The first word names the program, found beside this one, in the system folders or on
    // the path; explorer "address" hands the address to the user's web browser.
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring line = commandLine.toStdWString();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        throw Failure::fileNotFound();
    // Nobody waits for the program or asks how it ended.
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
}

} // namespace velmora
