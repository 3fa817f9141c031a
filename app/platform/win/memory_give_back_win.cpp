#include "app/platform/memory_give_back.h"

namespace velmora {

// The Windows heap hands big freed blocks (a list's arrays) back to the system and decommits
// free pages by itself; there is no call to make.
void giveBackFreedHeap() {}

} // namespace velmora
