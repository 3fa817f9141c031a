#include "core/platform/memory_give_back.h"

#include <cstdlib> // defines __GLIBC__ on glibc systems

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velmora {

// glibc's malloc keeps freed blocks below its mapping threshold for later use, however many
// megabytes they add up to, until it is asked to trim; other C libraries have no such call.
void giveBackFreedHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace velmora
