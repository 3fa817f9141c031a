#pragma once

#include <functional>

namespace velmora {

// Frees what a command has dropped on a thread of its own, in the order handed over, so the
// window goes on at once: giving back a cleared list of ten million rows takes tens of
// milliseconds. What is handed over must need nothing from the thread that dropped it, and
// is freed before the program ends.
void releaseInBackground(std::function<void()> release);

} // namespace velmora
