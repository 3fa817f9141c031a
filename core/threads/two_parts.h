#pragma once

#include "core/threads/failure_carrier.h"

#include <QtGlobal>

#include <cstddef>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

namespace velmora {

// Runs work(begin, middle) on this thread and work(middle, end) on another, for the passes
// over a sort's millions of entries and texts, which mostly wait for memory. With one
// processor, or no thread to be had, this thread does both parts, front first; either way
// each part is done exactly once. Rethrows what either part threw, once both are done.
template <class Work> void inTwoParts(qsizetype begin, qsizetype middle, qsizetype end, Work&& work)
{
    FailureCarrier front;
    FailureCarrier back;
    {
        std::optional<std::jthread> other;
        if (std::thread::hardware_concurrency() >= 2) {
            try {
                other.emplace([&] { back.run([&] { work(middle, end); }); });
            } catch (const std::system_error&) {
                // no thread to be had: this one does both
            } catch (const std::bad_alloc&) {
                // no room for one: the same
            }
        }
        front.run([&] { work(begin, middle); });
        if (!other)
            back.run([&] { work(middle, end); });
    }
    front.rethrowIfFailed();
    back.rethrowIfFailed();
}

// Below this many entries or texts, one thread is done before a second would have started.
inline constexpr qsizetype kTwoThreadsFrom = 1 << 16;
// Runs work(begin, end) over [0, count): in two halves as above from kTwoThreadsFrom on,
// else in one part on this thread.
template <class Work> void inOneOrTwoHalves(qsizetype count, Work&& work)
{
    if (count >= kTwoThreadsFrom)
        inTwoParts(0, count / 2, count, work);
    else
        work(0, count);
}

// Which half of inOneOrTwoHalves() begins at `begin`: 0 for the front (or the one part),
// 1 for the back, which never begins at 0. For work that keeps a result per half.
inline std::size_t halfBeginningAt(qsizetype begin)
{
    static_assert(kTwoThreadsFrom >= 2);
    return begin == 0 ? 0 : 1;
}

} // namespace velmora
