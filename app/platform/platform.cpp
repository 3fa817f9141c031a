#include "app/platform/platform.h"

#include "app/errors/runtime_failure.h"
#include "app/platform/qt/qt_platform.h"

namespace velmora {

namespace {
Platform* g_override = nullptr;
}

void Platform::DoEvents(Pump mode)
{
    if (m_ending)
        throw ProgramEnding{};
    pumpEvents(mode);
    if (m_ending)
        throw ProgramEnding{};
}

Platform& platform()
{
    if (g_override)
        return *g_override;
    static QtPlatform real;
    return real;
}

ScopedPlatform::ScopedPlatform(Platform& replacement) : m_previous(g_override)
{
    g_override = &replacement;
}

ScopedPlatform::~ScopedPlatform()
{
    g_override = m_previous;
}

} // namespace velmora
