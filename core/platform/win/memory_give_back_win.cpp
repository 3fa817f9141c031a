#include "core/platform/memory_give_back.h"

#include <malloc.h>

namespace velmora {

// The Windows heap gives big freed blocks (a list's arrays) back by itself, but may keep the
// pages of a million small ones (a cleared list's texts) committed for later use; _heapmin
// asks the C runtime's heap to decommit what it no longer uses.
void giveBackFreedHeap()
{
    _heapmin();
}

} // namespace velmora
