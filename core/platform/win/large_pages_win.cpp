#include "core/platform/large_pages.h"

namespace velmora {

// Windows gives large pages only to a program holding the "lock pages in memory" right,
// through VirtualAlloc, never to memory already allocated: nothing to ask for here.
void adviseLargePages(void*, std::size_t) {}

} // namespace velmora
