#include "sorting/bubble_sort.h"

#include "app/platform.h"
#include "app/vendor_progress_bar.h"
#include "sorting/text_order.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <vector>

namespace velmora::SortArray {

namespace {

// The bar value at comparison position i of a pass whose last position is n: 0 at i = 0,
// else floor(i / n * 100) in doubles, division first. It is monotone in i, so a pass is a
// run of at most 101 segments of equal value, worked out once per sort instead of one
// division per comparison.
struct BarSegment
{
    std::int32_t begin;
    std::int32_t end; // one past the segment's last position
    double value;
};

double barValueAt(std::int32_t i, std::int32_t n)
{
    if (i == 0)
        return 0.0;
    const double ratio = static_cast<double>(i) / static_cast<double>(n);
    return std::floor(ratio * 100.0);
}

std::vector<BarSegment> barSegments(std::int32_t n)
{
    std::vector<BarSegment> segments;
    std::int32_t begin = 0;
    while (begin <= n) {
        const double value = barValueAt(begin, n);
        // The first position whose value differs; values are monotone, so bisect.
        std::int32_t lo = begin, hi = n + 1;
        while (hi - lo > 1) {
            const std::int32_t mid = lo + (hi - lo) / 2;
            (barValueAt(mid, n) == value ? lo : hi) = mid;
        }
        segments.push_back({begin, hi, value});
        begin = hi;
    }
    return segments;
}

// The sort compares 32-bit ranks instead of strings: a key's rank is its place in a
// stable sort of all keys, so ranks are distinct, order like the keys, and equal keys
// keep their order. The strings themselves follow the ranks only where a pass moved them,
// and are moved as raw bytes: QString is relocatable (Qt itself moves it with memcpy), so
// no reference count is touched. Each QString object stays in `keys` exactly once.
struct alignas(QString) RawString
{
    unsigned char bytes[sizeof(QString)];
};
static_assert(QTypeInfo<QString>::isRelocatable);

class RankedKeys
{
public:
    explicit RankedKeys(QStringList& keys) : m_keys(keys.data())
    {
        const auto count = static_cast<std::size_t>(keys.size());
        std::vector<std::uint32_t> order(count);
        std::iota(order.begin(), order.end(), 0u);
        std::stable_sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) {
            return codeUnitLess(m_keys[a], m_keys[b]);
        });
        m_sorted.resize(count);
        m_ranks.resize(count);
        for (std::uint32_t rank = 0; rank < count; ++rank) {
            std::memcpy(&m_sorted[rank], static_cast<const void*>(&m_keys[order[rank]]),
                        sizeof(QString));
            m_ranks[order[rank]] = rank;
        }
    }

    std::uint32_t* ranks() { return m_ranks.data(); }

    // After a yield: someone may have copied the list meanwhile, sharing its storage; take
    // a storage of our own again before writing into it.
    void reattach(QStringList& keys) { m_keys = keys.data(); }

    // Puts the strings of positions first..last where the ranks say they are.
    void sync(std::int32_t first, std::int32_t last)
    {
        for (std::int32_t i = first; i <= last; ++i)
            std::memcpy(static_cast<void*>(&m_keys[i]), &m_sorted[m_ranks[i]], sizeof(QString));
    }

private:
    QString* m_keys;
    std::vector<RawString> m_sorted; // the key objects' bytes in rank order
    std::vector<std::uint32_t> m_ranks;
};

} // namespace

QStringList& BubbleSortWithProgress(QStringList& keys, VendorProgressBar& bar)
{
    const std::int32_t n = static_cast<std::int32_t>(keys.size()) - 2; // last comparison
    if (n < 0) {
        platform().DoEvents();
        bar.setValue(0);
        return keys;
    }

    RankedKeys ranked(keys);
    std::uint32_t* const rank = ranked.ranks();
    const std::vector<BarSegment> segments = barSegments(n);

    bool swapped = true;
    while (swapped) {
        platform().DoEvents();
        ranked.reattach(keys);
        swapped = false;
        std::int32_t firstSwap = 0;
        std::int32_t lastSwap = -1;
        std::int32_t i = 0;
        // The bubble travels in a register: `carry` is the key at position i, and every
        // comparison either leaves it behind or carries it on. No branches on the data.
        std::uint32_t carry = rank[0];
        try {
            for (const BarSegment& segment : segments) {
                for (i = segment.begin; i < segment.end; ++i) {
                    bar.setValue(segment.value);
                    const std::uint32_t next = rank[i + 1];
                    const bool exchange = carry > next;
                    rank[i] = exchange ? next : carry;
                    carry = exchange ? carry : next;
                    firstSwap = swapped ? firstSwap : i;
                    lastSwap = exchange ? i : lastSwap;
                    swapped = swapped | exchange;
                }
            }
            rank[n + 1] = carry;
        } catch (...) {
            // A failed bar write: hand the keys back in the order this pass had reached.
            rank[i] = carry;
            ranked.sync(0, n + 1);
            throw;
        }
        if (swapped)
            ranked.sync(firstSwap, lastSwap + 1);
    }

    bar.setValue(0);
    return keys;
}

} // namespace velmora::SortArray
