#include "core/threads/background_release.h"

namespace velmora {

namespace {
ReleaseThread* g_installed = nullptr;
}

ReleaseThread::ReleaseThread() : m_previous(g_installed)
{
    g_installed = this;
}

ReleaseThread::~ReleaseThread()
{
    g_installed = m_previous;
}

void releaseInBackground(std::function<void()> release)
{
    if (g_installed)
        g_installed->hand(std::move(release));
    else
        release();
}

} // namespace velmora
