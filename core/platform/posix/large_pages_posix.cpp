#include "core/platform/large_pages.h"

#include <cstdint>

#include <sys/mman.h>

namespace velmora {

namespace {
constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
// Below this, the few large pages a block could hold do not pay for the call.
constexpr std::size_t kSmallestAdvised = std::size_t{8} << 20;
} // namespace

// Linux backs the large-page-aligned whole pages inside an advised range with large pages
// when transparent huge pages are on "madvise" (the common setting) or "always"; where they
// are off, or on a system without them, the call fails and nothing changes.
void adviseLargePages(void* start, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    if (start == nullptr || bytes < kSmallestAdvised)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = (begin + bytes) & ~(kLargePage - 1);
    if (first < end)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    static_cast<void>(start);
    static_cast<void>(bytes);
#endif
}

} // namespace velmora
