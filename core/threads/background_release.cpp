#include "core/threads/background_release.h"

#include "core/threads/serial_thread.h"

namespace velmora {

void releaseInBackground(std::function<void()> release)
{
    // Everything handed over is freed before the program ends.
    static SerialThread thread;
    thread.hand(std::move(release));
}

} // namespace velmora
