#include "app/errors/runtime_failure.h"
#include "app/platform/shell_command.h"

#include <windows.h>

#include <string>

namespace velmora {

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
