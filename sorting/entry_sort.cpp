#include "sorting/entry_sort.h"

#include "app/model/two_parts.h"
#include "sorting/text_order.h"

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
        const int order = codeUnits(rest(x)).compare(codeUnits(rest(y)));
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

// Which half of inOneOrTwoHalves() begins here: 0 for the front, 1 for the back.
std::size_t partOf(qsizetype begin)
{
    return begin == 0 ? 0 : 1;
}

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

// Moves the entries into `to`, ordered by one byte and otherwise in the order they stand.
// Each of two threads counts and moves one half; the front half's entries of a byte go
// before the back half's.
void distributeByByte(std::span<const RankEntry> from, std::span<RankEntry> to, int byte,
                      const std::stop_token& stop)
{
    const auto count = static_cast<qsizetype>(from.size());
    std::array<std::array<std::size_t, 256>, 2> next{};
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        std::array<std::size_t, 256>& counts = next[partOf(begin)];
        for (qsizetype i = begin; i < end; ++i)
            ++counts[byteOf(from[i], byte)];
    });
    std::size_t start = 0;
    for (int value = 0; value < 256; ++value) {
        for (std::array<std::size_t, 256>& part : next)
            start += std::exchange(part[value], start);
    }
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        std::array<std::size_t, 256>& at = next[partOf(begin)];
        for (qsizetype i = begin; i < end; ++i) {
            if ((i & 0xFFFF) == 0)
                checkForStop(stop);
            to[at[byteOf(from[i], byte)]++] = from[i];
        }
    });
}

// Orders the entries by their packed units, keeping the order of entries alike in them;
// `spare` is scratch room for as many entries.
void sortByPackedUnits(std::span<RankEntry> entries, std::span<RankEntry> spare,
                       const VaryingBits& varying, const std::stop_token& stop)
{
    std::span<RankEntry> from = entries;
    std::span<RankEntry> to = spare;
    for (int byte = 0; byte < kPackedBytes; ++byte) {
        if (!varies(varying, byte))
            continue;
        distributeByByte(from, to, byte, stop);
        std::swap(from, to);
    }
    if (from.data() != entries.data())
        std::copy(from.begin(), from.end(), entries.begin());
}

// Entries of keys alike in their first `offset` units, packed from there on.
struct Run
{
    qsizetype begin;
    qsizetype end;
    qsizetype offset;
};

// Sorts runs of entries a thread at a time. Runs wait their turn on a list of their own
// rather than on the call stack: keys alike for thousands of units make as many rounds.
class RunSorter
{
public:
    RunSorter(const TextColumn& keys, std::span<RankEntry> entries, std::span<RankEntry> spare,
              const std::stop_token& stop)
        : m_keys(keys), m_entries(entries), m_spare(spare), m_stop(stop)
    {}

    // Sorts the run; `varying` are the bits in which its packed units differ.
    void sort(const Run& run, const VaryingBits& varying)
    {
        m_waiting.push_back({run, varying});
        sortWaiting();
    }

    // Sorts each stretch of entries alike in their packed units within a run already sorted
    // by them.
    void sortAlikeStretches(const Run& run)
    {
        takeAlikeStretches(run);
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
            takeAlikeStretches(next.run);
        }
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

    void packNextUnits(const Run& stretch)
    {
        const Run next{stretch.begin, stretch.end, stretch.offset + kPackedUnits};
        VaryingBitsFinder varying;
        qsizetype longest = 0;
        for (RankEntry& entry : slice(m_entries, next)) {
            const QStringView key = m_keys.at(entry.position);
            pack(entry, key, next.offset);
            varying.add(entry);
            longest = std::max(longest, key.size());
        }
        if (longest <= next.offset)
            compareSort(next); // nothing follows: the lengths decide, then list order
        else
            m_waiting.push_back({next, varying.bits()});
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
    std::vector<WaitingRun> m_waiting;
};

} // namespace

std::vector<std::uint32_t> listPositionsInKeyOrder(const TextColumn& keys,
                                                   const std::stop_token& stop)
{
    const auto count = static_cast<qsizetype>(keys.size());
    // Each entry and spare entry is written before it is read: no zeros first.
    const auto entryRoom = std::make_unique_for_overwrite<RankEntry[]>(std::size_t(count));
    const auto spareRoom = std::make_unique_for_overwrite<RankEntry[]>(std::size_t(count));
    const std::span<RankEntry> entries(entryRoom.get(), std::size_t(count));
    const std::span<RankEntry> spare(spareRoom.get(), std::size_t(count));

    std::array<VaryingBitsFinder, 2> varyingInPart;
    // Lists often come in sorted already; one look then saves the whole sort.
    std::array<bool, 2> sortedPart{true, true};
    const EntryLess less(keys, 0);
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        VaryingBitsFinder& varying = varyingInPart[partOf(begin)];
        for (qsizetype i = begin; i < end; ++i) {
            pack(entries[i], keys.at(i), 0);
            entries[i].position = static_cast<std::uint32_t>(i);
            varying.add(entries[i]);
        }
        sortedPart[partOf(begin)] =
            std::is_sorted(entries.begin() + begin, entries.begin() + end, less);
    });
    const qsizetype middle = count / 2; // where the parts meet, if there were two
    const bool sorted = sortedPart[0] && sortedPart[1] &&
                        (count < 2 || !less(entries[middle], entries[middle - 1]));
    if (!sorted) {
        const VaryingBits varying = varyingInPart[0].bitsWith(varyingInPart[1]);
        const Run all{0, count, 0};
        if (count < kTwoThreadsFrom) {
            RunSorter(keys, entries, spare, stop).sort(all, varying);
        } else {
            sortByPackedUnits(entries, spare, varying, stop);
            // The stretches alike in their packed units, split between two threads at the
            // end of the stretch that holds the middle.
            qsizetype stretchEnd = middle;
            while (stretchEnd < count && sameUnits(entries[stretchEnd - 1], entries[stretchEnd]))
                ++stretchEnd;
            inTwoParts(0, stretchEnd, count, [&](qsizetype begin, qsizetype end) {
                RunSorter(keys, entries, spare, stop).sortAlikeStretches({begin, end, 0});
            });
        }
    }
    std::vector<std::uint32_t> positions(static_cast<std::size_t>(count));
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        for (qsizetype rank = begin; rank < end; ++rank)
            positions[std::size_t(rank)] = entries[rank].position;
    });
    return positions;
}

} // namespace velmora::sorting
