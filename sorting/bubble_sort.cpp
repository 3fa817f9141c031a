#include "sorting/bubble_sort.h"

#include "app/controls/progress_indicator.h"
#include "app/platform/platform.h"
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
// keep their order. Every key a comparison leaves in place is written back to the list at
// once, so the list always holds the pass-by-pass order. The strings are moved as raw
// bytes: QString is relocatable (Qt itself moves it with memcpy), so no reference count is
// touched, and each QString object stays in the list exactly once.
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
        const auto less = [this](std::uint32_t a, std::uint32_t b) {
            return codeUnitLess(m_keys[a], m_keys[b]);
        };
        // Lists often come in sorted already; one look saves the whole ranking sort then.
        if (!std::is_sorted(order.begin(), order.end(), less))
            std::stable_sort(order.begin(), order.end(), less);
        m_sorted.resize(count);
        m_ranks.resize(count);
        for (std::uint32_t rank = 0; rank < count; ++rank) {
            std::memcpy(&m_sorted[rank], static_cast<const void*>(&m_keys[order[rank]]),
                        sizeof(QString));
            m_ranks[order[rank]] = rank;
        }
    }

    // After a yield: someone may have copied the list meanwhile, sharing its storage; take
    // a storage of our own again before writing into it.
    void reattach(QStringList& keys) { m_keys = keys.data(); }

    std::uint32_t rankAt(std::int32_t position) const
    {
        return m_ranks[static_cast<std::size_t>(position)];
    }

    // Puts the key of the given rank at a position.
    void place(std::int32_t position, std::uint32_t rank)
    {
        m_ranks[static_cast<std::size_t>(position)] = rank;
        std::memcpy(static_cast<void*>(&m_keys[position]), &m_sorted[rank], sizeof(QString));
    }

    // The comparisons begin..end-1 of a pass. The bubble travels in a register: `carry` is
    // the key at position i, and every comparison either leaves it behind or carries it
    // on. On random keys a branch here is mispredicted about every other time, and
    // compilers turn min/max back into one, so on x86-64 the exchange is written by hand as
    // conditional moves; elsewhere as masks. The carry chain is then two cycles long, and
    // writing the key left behind overlaps with it.
    void bubble(std::int32_t begin, std::int32_t end, std::uint32_t& carry, std::int32_t& lastSwap)
    {
        std::uint32_t* const ranks = m_ranks.data();
        QString* const keys = m_keys;
        const RawString* const sorted = m_sorted.data();
        std::uint32_t bubble = carry;
        std::int32_t last = lastSwap;
        for (std::int32_t i = begin; i < end; ++i) {
            const std::uint32_t next = ranks[i + 1];
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
            std::uint32_t low = bubble;
            std::uint32_t high = next;
            asm("cmp %[bubble], %[next]\n\t"
                "cmovb %[next], %[low]\n\t"
                "cmovb %[bubble], %[high]\n\t"
                "cmovb %[i], %[last]"
                : [low] "+&r"(low), [high] "+&r"(high), [last] "+&r"(last)
                : [bubble] "r"(bubble), [next] "r"(next), [i] "r"(i)
                : "cc");
#else
            const std::uint32_t mask = 0u - static_cast<std::uint32_t>(bubble > next);
            const std::uint32_t differ = (bubble ^ next) & mask;
            const std::uint32_t low = bubble ^ differ;
            const std::uint32_t high = next ^ differ;
            last ^= (last ^ i) & static_cast<std::int32_t>(mask);
#endif
            ranks[i] = low;
            std::memcpy(static_cast<void*>(&keys[i]), &sorted[low], sizeof(QString));
            bubble = high;
        }
        carry = bubble;
        lastSwap = last;
    }

private:
    QString* m_keys;
    std::vector<RawString> m_sorted; // the key objects' bytes in rank order
    std::vector<std::uint32_t> m_ranks;
};

// One pass over positions 0..n+1. Everything from `settled` on is already in its final
// place (bubble sort leaves all positions after a pass's last exchange final), so the
// comparisons there cannot exchange and are not made; their bar values still are written.
// Writing the value the bar already holds changes nothing, so each segment's value is
// written once, before its comparisons, unless something watches every write (tests do):
// then every comparison writes it and every comparison is made. Returns the position of
// the pass's last exchange, -1 when it made none. When the bar fails, the keys are left
// in the order the pass had reached.
std::int32_t runPass(RankedKeys& keys, std::int32_t settled,
                     const std::vector<BarSegment>& segments, ProgressIndicator& bar)
{
    std::uint32_t carry = keys.rankAt(0);
    std::int32_t lastSwap = -1;
    std::int32_t reached = 0;
    try {
        if (bar.hasWriteObserver()) {
            for (const BarSegment& segment : segments) {
                for (reached = segment.begin; reached < segment.end; ++reached) {
                    bar.setValue(segment.value);
                    keys.bubble(reached, reached + 1, carry, lastSwap);
                }
            }
        } else {
            const std::int32_t live = settled - 1; // comparisons 0..live-1 can exchange
            for (const BarSegment& segment : segments) {
                reached = std::min(segment.begin, live);
                bar.setValue(segment.value);
                keys.bubble(reached, std::min(segment.end, live), carry, lastSwap);
            }
            reached = live;
        }
    } catch (...) {
        keys.place(reached, carry); // the key the bubble held belongs where the pass stopped
        throw;
    }
    keys.place(reached, carry);
    return lastSwap;
}

} // namespace

QStringList& BubbleSortWithProgress(QStringList& keys, ProgressIndicator& bar)
{
    const std::int32_t n = static_cast<std::int32_t>(keys.size()) - 2; // last comparison
    if (n < 0) {
        platform().DoEvents();
        bar.setValue(0);
        return keys;
    }

    RankedKeys ranked(keys);
    const std::vector<BarSegment> segments = barSegments(n);
    std::int32_t settled = n + 2;
    for (;;) {
        platform().DoEvents();
        ranked.reattach(keys);
        const std::int32_t lastSwap = runPass(ranked, settled, segments, bar);
        if (lastSwap < 0)
            break;
        settled = lastSwap + 1;
    }

    bar.setValue(0);
    return keys;
}

} // namespace velmora::SortArray
