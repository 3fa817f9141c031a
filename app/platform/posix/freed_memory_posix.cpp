#include "app/platform/freed_memory.h"

#include <cstdlib> // defines __GLIBC__ on glibc systems

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velmora {

void giveBackFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace velmora
