#include "core/sorting/bubble_sort.h"

#include "core/model/progress_indicator.h"
#include "core/platform/platform.h"
#include "core/sorting/key_ranking.h"
#include "core/threads/background_release.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

namespace velmora::sorting {

namespace {

// The bar value at comparison position i of a pass whose last position is n: 0 at i = 0,
// else floor(i / n * 100) in doubles, division first.
double barValueAt(std::int32_t i, std::int32_t n)
{
    if (i == 0)
        return 0.0;
    return std::floor(static_cast<double>(i) / static_cast<double>(n) * 100.0);
}

// The bar values of one pass, positions 0..n; none when n is below 0. What stays exact is
// every value a watcher of the bar sees (it gets them all) and the bar's value at every
// yield and at the end. A bar nobody watches gets only a pass's last value: the real bar,
// which paints at once when its whole percent changes and 30 ms have passed, may then
// paint fewer of the values between two yields, but none the plain sort does not write.
// `reached` is the position being written, the comparisons before it are made.
void writePassValues(ProgressIndicator& bar, std::int32_t n, std::int32_t& reached)
{
    for (reached = bar.hasWriteObserver() ? 0 : std::max(n, 0); reached <= n; ++reached)
        bar.setValue(barValueAt(reached, n));
}

} // namespace

// A bubble sort whose passes are counted rather than run. Between two yields nothing of
// the sort can be seen but the bar, and the keys only at the end or when something fails;
// so the keys are ranked once, the passes are counted from the ranks, each pass is its
// yield and its bar values, and the keys are placed in the order the plain sort has then
// reached: sorted at the end, or where the failure caught it.
TextColumn& bubbleSortWithProgress(TextColumn& keys, ProgressIndicator& bar, TextColumn* listOrder)
{
    const std::int32_t n = static_cast<std::int32_t>(keys.size()) - 2; // last comparison

    // The program may end while the keys are ranked: they are then as they were, where the
    // plain sort's first yield would have left them.
    std::optional<KeyRanking> ranking;
    platform().runWhilePumping([&](std::stop_token stop) {
        ranking.emplace(keys, stop,
                        listOrder ? KeyRanking::ListOrder::Keep : KeyRanking::ListOrder::Drop);
    });

    std::int64_t pass = 0;
    std::int32_t reached = 0;
    try {
        for (pass = 1; pass <= ranking->passCount(); ++pass) {
            reached = 0;
            platform().yieldToEventLoop(Pump::MaySkip);
            writePassValues(bar, n, reached);
        }
        bar.setValue(0);
    } catch (...) {
        keys = ranking->orderAfter(pass - 1, reached);
        throw;
    }
    // The keys in list order and the ranking are freed off this thread: ten million keys'
    // views and ranks take milliseconds to give back.
    if (listOrder)
        *listOrder = ranking->takeListOrderOverSorted();
    releaseInBackground(
        [unsorted = std::exchange(keys, ranking->takeSorted()), ranking = std::move(ranking)] {});
    return keys;
}

} // namespace velmora::sorting
