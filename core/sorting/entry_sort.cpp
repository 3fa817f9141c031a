#include "core/sorting/entry_sort.h"

#include "core/platform/large_pages.h"
#include "core/sorting/text_order.h"
#include "core/threads/two_parts.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <utility>

namespace velmora::sorting {

namespace {

// The keys are sorted as entries: a key's next code units packed into two numbers and its
// place in the list. Entries are ordered a byte of the packed units at a time (a radix
// sort), so random keys, which mostly differ in their first six units, are ordered with no
// visit to their texts and no comparison at all. Keys alike in those units are then ordered
// by the units that follow: packed once more where many are alike, compared as texts where
// few are. Written by hand for speed (bench_sort's ranking figures compare it with a stable
// sort that compares the texts).
constexpr qsizetype kPackedUnits = 6;

struct RankEntry
{
    std::uint64_t head;     // the first four of the packed units, missing units as 0
    std::uint32_t more;     // the last two
    std::uint32_t position; // in the list
};

// The bits in which some two entries' packed units differ.
struct VaryingBits
{
    std::uint64_t head = 0;
    std::uint32_t more = 0;
};

class VaryingBitsFinder
{
public:
    void add(const RankEntry& entry)
    {
        m_all.head &= entry.head;
        m_all.more &= entry.more;
        m_any.head |= entry.head;
        m_any.more |= entry.more;
    }
    VaryingBits bits() const { return bitsWith(*this); }
    // The bits in which some two entries told to either finder differ.
    VaryingBits bitsWith(const VaryingBitsFinder& other) const
    {
        const std::uint64_t allHeads = m_all.head & other.m_all.head;
        const std::uint32_t allMores = m_all.more & other.m_all.more;
        return {allHeads ^ (m_any.head | other.m_any.head),
                allMores ^ (m_any.more | other.m_any.more)};
    }

private:
    VaryingBits m_all{~std::uint64_t{0}, ~std::uint32_t{0}};
    VaryingBits m_any;
};

// Packs the key's units from `offset` on into the entry.
void pack(RankEntry& entry, QStringView key, qsizetype offset)
{
    const auto unit = [&](qsizetype i) -> std::uint64_t {
        return offset + i < key.size() ? key.at(offset + i).unicode() : 0u;
    };
    entry.head = unit(0) << 48 | unit(1) << 32 | unit(2) << 16 | unit(3);
    entry.more = static_cast<std::uint32_t>(unit(4) << 16 | unit(5));
}

bool sameUnits(const RankEntry& a, const RankEntry& b)
{
    return a.head == b.head && a.more == b.more;
}

// For entries of keys alike in their first `offset` units (a missing unit counting as 0),
// packed from there on: the packed units decide, then the rest of the texts, then their
// lengths, then list order. This is code-unit order (a key that ends inside the packed
// units is a proper prefix of any it is alike with but longer) followed by list order: a
// strict total order, so an unstable sort under it gives the stable order.
class EntryLess
{
public:
    EntryLess(const TextColumn& keys, qsizetype offset)
        : m_keys(&keys), m_restFrom(offset + kPackedUnits)
    {}

    bool operator()(const RankEntry& a, const RankEntry& b) const
    {
        if (a.head != b.head)
            return a.head < b.head;
        if (a.more != b.more)
            return a.more < b.more;
        const QStringView x = m_keys->at(a.position);
        const QStringView y = m_keys->at(b.position);
        const int order = compareTexts(rest(x), rest(y));
        if (order != 0)
            return order < 0;
        if (x.size() != y.size())
            return x.size() < y.size();
        return a.position < b.position;
    }

private:
    QStringView rest(QStringView key) const { return key.sliced(std::min(key.size(), m_restFrom)); }

    const TextColumn* m_keys;
    qsizetype m_restFrom;
};

// Fewer entries than this are sorted by comparing: the radix sort's 256 buckets a byte
// would cost more than they save.
constexpr qsizetype kRadixFrom = 1 << 10;

void checkForStop(const std::stop_token& stop)
{
    if (stop.stop_requested())
        throw RankingStopped{};
}

// The packed units' bytes, least significant first: the last two units' four bytes, then
// the first four units' eight.
constexpr int kPackedBytes = 12;

unsigned byteOf(const RankEntry& entry, int byte)
{
    return byte < 4 ? (entry.more >> (8 * byte)) & 0xFFu : (entry.head >> (8 * (byte - 4))) & 0xFFu;
}

bool varies(const VaryingBits& varying, int byte)
{
    return byteOf({varying.head, varying.more, 0}, byte) != 0;
}

using ByteCounts = std::array<std::size_t, 256>;

void countByByte(std::span<const RankEntry> from, int byte, ByteCounts& counts)
{
    for (const RankEntry& entry : from)
        ++counts[byteOf(entry, byte)];
}

// Moves each entry to the next place for its byte's value, in the order they stand.
void moveByByte(std::span<const RankEntry> from, std::span<RankEntry> to, int byte,
                ByteCounts& next, const std::stop_token& stop)
{
    for (std::size_t i = 0; i < from.size(); ++i) {
        if ((i & 0xFFFF) == 0)
            checkForStop(stop);
        to[next[byteOf(from[i], byte)]++] = from[i];
    }
}

// Where each value's entries start in `to` (the last one: where they all end).
using ByteStarts = std::array<std::size_t, 257>;

// Turns each part's counts of a byte's values into the places its entries of each value go
// to, value by value and, within a value, part by part; returns where each value starts.
template <std::size_t Parts> ByteStarts placesFromCounts(std::array<ByteCounts, Parts>& parts)
{
    ByteStarts starts{};
    std::size_t start = 0;
    for (int value = 0; value < 256; ++value) {
        starts[value] = start;
        for (ByteCounts& part : parts)
            start += std::exchange(part[value], start);
    }
    starts[256] = start;
    return starts;
}

// Moves the entries into `to`, ordered by one byte and otherwise in the order they stand.
// Each of two threads counts and moves one half; the front half's entries of a byte go
// before the back half's.
ByteStarts distributeByByte(std::span<const RankEntry> from, std::span<RankEntry> to, int byte,
                            const std::stop_token& stop)
{
    const auto count = static_cast<qsizetype>(from.size());
    const auto half = [&](qsizetype begin, qsizetype end) {
        return from.subspan(std::size_t(begin), std::size_t(end - begin));
    };
    std::array<ByteCounts, 2> next{};
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        countByByte(half(begin, end), byte, next[halfBeginningAt(begin)]);
    });
    const ByteStarts starts = placesFromCounts(next);
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        moveByByte(half(begin, end), to, byte, next[halfBeginningAt(begin)], stop);
    });
    return starts;
}

// Orders the entries in `data` by the varying bytes below `below`, least significant first,
// on this thread, with `scratch` as room for as many; leaves them in `result`, which is
// one of the two.
void sortByLowerBytes(std::span<RankEntry> data, std::span<RankEntry> scratch,
                      std::span<RankEntry> result, const VaryingBits& varying, int below,
                      const std::stop_token& stop)
{
    std::span<RankEntry> from = data;
    std::span<RankEntry> to = scratch;
    for (int byte = 0; byte < below; ++byte) {
        if (!varies(varying, byte))
            continue;
        std::array<ByteCounts, 1> next{};
        countByByte(from, byte, next[0]);
        placesFromCounts(next);
        moveByByte(from, to, byte, next[0], stop);
        std::swap(from, to);
    }
    if (from.data() != result.data())
        std::copy(from.begin(), from.end(), result.begin());
}

// From this many entries on, a pass over all of them no longer runs within the processor's
// caches.
constexpr qsizetype kBeyondCacheFrom = 1 << 16;

// Orders the entries by their packed units, keeping the order of entries alike in them;
// `spare` is scratch room for as many entries. Many entries are first distributed by the
// most significant byte that varies, on two threads, and each byte's entries are then
// ordered by the rest, least significant first, in their own stretch of both rooms: a
// stretch stays in the processor's caches over its passes, where a pass over all entries
// reads and writes both rooms in memory. Written by hand for speed (bench_sort's ranking).
void sortByPackedUnits(std::span<RankEntry> entries, std::span<RankEntry> spare,
                       const VaryingBits& varying, const std::stop_token& stop)
{
    int top = kPackedBytes - 1;
    while (top >= 0 && !varies(varying, top))
        --top;
    if (top < 0)
        return;
    if (static_cast<qsizetype>(entries.size()) < kBeyondCacheFrom) {
        sortByLowerBytes(entries, spare, entries, varying, top + 1, stop);
        return;
    }
    const ByteStarts starts = distributeByByte(entries, spare, top, stop);
    // Each thread orders the stretches of some byte values, about half the entries in all.
    qsizetype middle = 0;
    while (middle < 256 && starts[middle + 1] <= entries.size() / 2)
        ++middle;
    inTwoParts(0, middle, 256, [&](qsizetype firstValue, qsizetype endValue) {
        for (qsizetype value = firstValue; value < endValue; ++value) {
            const std::size_t begin = starts[value];
            const std::size_t size = starts[value + 1] - begin;
            const std::span<RankEntry> inEntries = entries.subspan(begin, size);
            sortByLowerBytes(spare.subspan(begin, size), inEntries, inEntries, varying, top, stop);
        }
    });
}

// Entries of keys alike in their first `offset` units, packed from there on.
struct Run
{
    qsizetype begin;
    qsizetype end;
    qsizetype offset;
};

// Sorts runs of entries. Runs wait their turn on a list of their own rather than on the
// call stack: keys alike for thousands of units make as many rounds.
class RunSorter
{
public:
    // A sorter that may share a long run's stretches with a second thread; the sorters of
    // the two parts do not share again, so no more than two threads ever work at once.
    enum class Sharing
    {
        MayShare,
        Alone
    };
    RunSorter(const TextColumn& keys, std::span<RankEntry> entries, std::span<RankEntry> spare,
              const std::stop_token& stop, Sharing sharing)
        : m_keys(keys), m_entries(entries), m_spare(spare), m_stop(stop), m_sharing(sharing)
    {}

    // Sorts the run; `varying` are the bits in which its packed units differ.
    void sort(const Run& run, const VaryingBits& varying)
    {
        m_waiting.push_back({run, varying});
        sortWaiting();
    }

private:
    struct WaitingRun
    {
        Run run;
        VaryingBits varying;
    };

    void sortWaiting()
    {
        while (!m_waiting.empty()) {
            const WaitingRun next = m_waiting.back();
            m_waiting.pop_back();
            checkForStop(m_stop);
            if (next.run.end - next.run.begin < kRadixFrom) {
                compareSort(next.run);
                continue;
            }
            sortByPackedUnits(slice(m_entries, next.run), slice(m_spare, next.run), next.varying,
                              m_stop);
            const bool mayShare =
                m_sharing == Sharing::MayShare && next.run.end - next.run.begin >= kTwoThreadsFrom;
            const qsizetype split = mayShare ? stretchBoundaryNearMiddle(next.run) : next.run.end;
            if (split > next.run.begin && split < next.run.end) {
                inTwoParts(next.run.begin, split, next.run.end,
                           [&](qsizetype begin, qsizetype end) {
                               RunSorter part(m_keys, m_entries, m_spare, m_stop, Sharing::Alone);
                               part.takeAlikeStretches({begin, end, next.run.offset});
                               part.sortWaiting();
                           });
            } else {
                takeAlikeStretches(next.run);
            }
        }
    }

    // Of the two ends of the stretch that holds the run's middle, the one nearer to it.
    qsizetype stretchBoundaryNearMiddle(const Run& run) const
    {
        const qsizetype middle = run.begin + (run.end - run.begin) / 2;
        qsizetype after = middle;
        while (after < run.end && sameUnits(m_entries[after - 1], m_entries[after]))
            ++after;
        qsizetype before = middle;
        while (before > run.begin && sameUnits(m_entries[before - 1], m_entries[before]))
            --before;
        return after - middle <= middle - before ? after : before;
    }

    // Short stretches are sorted at once; long ones have their next units packed and wait.
    void takeAlikeStretches(const Run& run)
    {
        for (qsizetype begin = run.begin; begin < run.end;) {
            qsizetype end = begin + 1;
            while (end < run.end && sameUnits(m_entries[begin], m_entries[end]))
                ++end;
            if (end - begin > 1) {
                checkForStop(m_stop);
                if (end - begin >= kRadixFrom)
                    packNextUnits({begin, end, run.offset});
                else
                    compareSort({begin, end, run.offset});
            }
            begin = end;
        }
    }

    // Of many keys alike so far, those that end within the packed units come first: each is
    // a proper prefix of every key that goes on, and among themselves the shorter comes
    // first, then list order. The keys that go on have their next units packed and wait.
    // (Left among the others, ended keys would be packed again at every round until the
    // longest key ends: a file of empty lines and one long one.)
    void packNextUnits(const Run& stretch)
    {
        const qsizetype offset = stretch.offset + kPackedUnits;
        // Ended entries from the front of the spare room on, the others from its back down.
        const std::span<RankEntry> room = slice(m_spare, stretch);
        auto ended = room.begin();
        auto goingOn = room.end();
        VaryingBitsFinder varying;
        for (RankEntry entry : slice(m_entries, stretch)) {
            const QStringView key = m_keys.at(entry.position);
            if (key.size() <= offset) {
                entry.head = static_cast<std::uint64_t>(key.size());
                *ended++ = entry;
            } else {
                pack(entry, key, offset);
                varying.add(entry);
                *--goingOn = entry;
            }
        }
        const auto endedTo = m_entries.begin() + stretch.begin;
        const auto goingOnTo = std::copy(room.begin(), ended, endedTo);
        std::reverse_copy(goingOn, room.end(), goingOnTo);
        // In list order already: often all of one length (empty lines) and so sorted.
        const auto byLength = [](const RankEntry& a, const RankEntry& b) {
            return a.head != b.head ? a.head < b.head : a.position < b.position;
        };
        if (!std::is_sorted(endedTo, goingOnTo, byLength)) {
            std::sort(endedTo, goingOnTo, [&](const RankEntry& a, const RankEntry& b) {
                checkForStop(m_stop); // there may be millions
                return byLength(a, b);
            });
        }

        const Run next{stretch.begin + (ended - room.begin()), stretch.end, offset};
        if (next.end - next.begin >= kRadixFrom)
            m_waiting.push_back({next, varying.bits()});
        else
            compareSort(next);
    }

    void compareSort(const Run& run)
    {
        const std::span<RankEntry> entries = slice(m_entries, run);
        std::sort(entries.begin(), entries.end(), EntryLess(m_keys, run.offset));
    }

    static std::span<RankEntry> slice(std::span<RankEntry> entries, const Run& run)
    {
        return entries.subspan(static_cast<std::size_t>(run.begin),
                               static_cast<std::size_t>(run.end - run.begin));
    }

    const TextColumn& m_keys;
    std::span<RankEntry> m_entries;
    std::span<RankEntry> m_spare;
    const std::stop_token& m_stop;
    Sharing m_sharing;
    std::vector<WaitingRun> m_waiting;
};

} // namespace

std::vector<std::uint32_t> listPositionsInKeyOrder(const TextColumn& keys,
                                                   const std::stop_token& stop)
{
    const auto count = static_cast<qsizetype>(keys.size());
    // Each entry and spare entry is written before it is read: no zeros first.
    const auto entryRoom = std::make_unique_for_overwrite<RankEntry[]>(std::size_t(count));
    const std::span<RankEntry> entries(entryRoom.get(), std::size_t(count));
    adviseLargePagesFor(entries.data(), entries.size());

    std::array<VaryingBitsFinder, 2> varyingInPart;
    // Lists often come in sorted already; one look then saves the whole sort.
    std::array<bool, 2> sortedPart{true, true};
    const EntryLess less(keys, 0);
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        VaryingBitsFinder& varying = varyingInPart[halfBeginningAt(begin)];
        for (qsizetype i = begin; i < end; ++i) {
            if ((i & 0xFFFF) == 0)
                checkForStop(stop);
            pack(entries[i], keys.at(i), 0);
            entries[i].position = static_cast<std::uint32_t>(i);
            varying.add(entries[i]);
        }
        sortedPart[halfBeginningAt(begin)] =
            std::is_sorted(entries.begin() + begin, entries.begin() + end, less);
    });
    const qsizetype middle = count / 2; // where the parts meet, if there were two
    const bool sorted = sortedPart[0] && sortedPart[1] &&
                        (count < 2 || !less(entries[middle], entries[middle - 1]));
    if (!sorted) {
        const auto spareRoom = std::make_unique_for_overwrite<RankEntry[]>(std::size_t(count));
        const std::span<RankEntry> spare(spareRoom.get(), std::size_t(count));
        adviseLargePagesFor(spare.data(), spare.size());
        RunSorter(keys, entries, spare, stop, RunSorter::Sharing::MayShare)
            .sort({0, count, 0}, varyingInPart[0].bitsWith(varyingInPart[1]));
    } // the spare room goes before the positions take room of their own
    std::vector<std::uint32_t> positions;
    positions.reserve(static_cast<std::size_t>(count));
    adviseLargePagesFor(positions.data(), positions.capacity());
    positions.resize(static_cast<std::size_t>(count));
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        for (qsizetype rank = begin; rank < end; ++rank)
            positions[std::size_t(rank)] = entries[rank].position;
    });
    return positions;
}

} // namespace velmora::sorting
