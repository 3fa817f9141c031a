#pragma once

#include <cstddef>

namespace velmora {

// Asks the system to back this memory, not yet written, with large pages where it can
// (posix/large_pages_posix.cpp, win/large_pages_win.cpp): a hint with no effect on what the
// memory holds. The first write to fresh memory costs the system a page at a time; for the
// hundreds of megabytes a list of ten million lines, a sort or a copy makes, that was half
// their time on a virtual machine (bench_huge's "in the kernel"), and large pages make it a
// few milliseconds. Smaller blocks are left as they are.
void adviseLargePages(void* start, std::size_t bytes);

// The same for an array of T.
template <class T> void adviseLargePagesFor(T* start, std::size_t count)
{
    adviseLargePages(static_cast<void*>(start), count * sizeof(T));
}

} // namespace velmora
