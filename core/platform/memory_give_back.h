#pragma once

namespace velmora {

// Hands heap memory that has been freed back to the system, on this host's terms
// (posix/memory_give_back_posix.cpp, win/memory_give_back_win.cpp). The real platform's
// giveBackFreedMemory() is this.
void giveBackFreedHeap();

} // namespace velmora
