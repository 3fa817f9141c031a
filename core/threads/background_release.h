#pragma once

#include "core/threads/serial_thread.h"

#include <functional>

namespace velmora {

// The thread that frees what commands drop, in the order handed over, so the window goes on
// at once: giving back a cleared list of ten million rows takes tens of milliseconds. The real
// platform owns the program's and installs it for its lifetime; destroyed, it first frees
// everything still handed over, and the one installed before comes back.
class ReleaseThread
{
public:
    ReleaseThread();
    ~ReleaseThread();
    ReleaseThread(const ReleaseThread&) = delete;
    ReleaseThread& operator=(const ReleaseThread&) = delete;

    void hand(std::function<void()> release) { m_thread.hand(std::move(release)); }

private:
    ReleaseThread* m_previous;
    SerialThread m_thread;
};

// Hands `release` to the release thread installed last; what is handed over must need nothing
// from the thread that dropped it. With none installed (a test without the real platform) it
// is freed here at once.
void releaseInBackground(std::function<void()> release);

} // namespace velmora
