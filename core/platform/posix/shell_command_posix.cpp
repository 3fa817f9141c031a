#include "core/platform/shell_command.h"

#include "core/errors/runtime_failure.h"

#include <QUrl>

namespace velmora {

void runShellCommand(const QString& commandLine, int /*windowStyle*/,
                     const AddressOpener& openAddress)
{
    const QUrl url(quotedAddress(commandLine));
    if (url.isEmpty() || !url.isValid() || !openAddress(url))
        throw Failure::fileNotFound();
}

} // namespace velmora
