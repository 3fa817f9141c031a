#include "app/platform.h"

#include "app/qt_platform.h"
#include "app/runtime_failure.h"

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
