#include "core/platform/platform.h"

#include "core/errors/error_report.h"
#include "core/errors/runtime_failure.h"

#include <QtGlobal>

namespace velmora {

namespace {
Platform* g_installed = nullptr;
}

void Platform::yieldToEventLoop(Pump mode)
{
    if (m_ending)
        throw ProgramEnding{};
    pumpEvents(mode);
    if (m_ending)
        throw ProgramEnding{};
}

Platform& platform()
{
    if (!g_installed)
        qFatal("No platform installed: main() installs the real one, a test its double");
    return *g_installed;
}

ScopedPlatform::ScopedPlatform(Platform& replacement) : m_previous(g_installed)
{
    g_installed = &replacement;
    installErrorBoxDisplay([](const QString& message) {
        platform().messageBox(message, MsgBoxIcon::Exclamation, kErrorBoxTitle.toString());
    });
}

ScopedPlatform::~ScopedPlatform()
{
    g_installed = m_previous;
}

} // namespace velmora
