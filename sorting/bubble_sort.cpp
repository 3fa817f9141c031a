#include "sorting/bubble_sort.h"

#include "app/model/progress_indicator.h"
#include "app/platform/background_release.h"
#include "app/platform/platform.h"
#include "sorting/key_ranking.h"

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
QStringList& bubbleSortWithProgress(QStringList& keys, ProgressIndicator& bar)
{
    const std::int32_t n = static_cast<std::int32_t>(keys.size()) - 2; // last comparison

    std::optional<KeyRanking> ranking;
    try {
        platform().runWhilePumping([&](std::stop_token stop) { ranking.emplace(keys, stop); });
    } catch (...) {
        // The program may end once the ranking has taken the keys out of the list: they go
        // back as they were, where the plain sort's first yield would have left them.
        if (ranking)
            keys = ranking->takeOrderAfter(0, 0);
        throw;
    }

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
        keys = ranking->takeOrderAfter(pass - 1, reached);
        throw;
    }
    // What the ranking left of the list, every text moved out, is freed off this thread: ten
    // million emptied texts and their array take tens of milliseconds to free.
    releaseInBackground([husk = std::exchange(keys, ranking->takeSorted())] {});
    return keys;
}

} // namespace velmora::sorting
