#include "sorting/key_ranking.h"

#include "app/errors/failure_carrier.h"
#include "sorting/text_order.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <queue>
#include <string_view>
#include <thread>
#include <utility>

namespace velmora::sorting {

namespace {

// A key as the ranking sort sees it: its first code units packed into one number (missing
// units as 0), so that most comparisons decide without reading the text: random keys
// mostly differ in their first four units, and one integer comparison of an entry already
// in the cache replaces a visit to each text. Written by hand for speed (bench_sort's
// ranking figures compare it with sorting the texts themselves).
constexpr qsizetype kHeadUnits = 4;

struct RankEntry
{
    std::uint64_t head;
    std::uint32_t position; // in the list
    std::uint32_t length;   // up to kHeadUnits + 1, which stands for "longer than the head"
};

RankEntry entryFor(QStringView key, std::uint32_t position)
{
    std::uint64_t head = 0;
    const qsizetype units = std::min(key.size(), kHeadUnits);
    for (qsizetype i = 0; i < kHeadUnits; ++i)
        head = (head << 16) | (i < units ? key.at(i).unicode() : 0u);
    const auto length = static_cast<std::uint32_t>(std::min(key.size(), kHeadUnits + 1));
    return {head, position, length};
}

// Code-unit order of the keys, then list order: a strict total order, so an unstable sort
// under it gives the stable order. Throws RankingStopped once a stop is requested, which
// leaves the entries in some order and the keys untouched.
class EntryLess
{
public:
    EntryLess(const TextColumn& keys, const std::stop_token& stop) : m_keys(&keys), m_stop(&stop) {}

    bool operator()(const RankEntry& a, const RankEntry& b) const
    {
        if (m_stop->stop_requested()) [[unlikely]]
            throw RankingStopped{};
        if (a.head != b.head)
            return a.head < b.head;
        // Equal heads: the rest of the texts decide; a text that ends inside the head has
        // no rest, and of two such the shorter (padded with 0s) comes first.
        if (a.length > kHeadUnits || b.length > kHeadUnits) {
            const int order = codeUnits(tail(a)).compare(codeUnits(tail(b)));
            if (order != 0)
                return order < 0;
        }
        if (a.length != b.length)
            return a.length < b.length;
        return a.position < b.position;
    }

private:
    QStringView tail(const RankEntry& entry) const
    {
        const QStringView key = m_keys->at(entry.position);
        return key.sliced(std::min(key.size(), kHeadUnits));
    }

    const TextColumn* m_keys;
    const std::stop_token* m_stop; // by address: the sort copies its comparator often
};

// Runs one job on another thread and one on this; rethrows what either threw once both
// are done.
template <class Job, class OtherJob> void inParallel(Job&& job, OtherJob&& otherJob)
{
    FailureCarrier failure;
    {
        const std::jthread other([&] { failure.run(otherJob); });
        job();
    }
    failure.rethrowIfFailed();
}

// Below this many keys one thread sorts faster than two can start and merge.
constexpr std::size_t kParallelFrom = 1 << 15;

// Sorts the entries on two threads: each sorts a half, then one merges the smaller half of
// the result from the fronts while the other merges the larger half from the backs.
void sortEntries(std::vector<RankEntry>& entries, const EntryLess& less)
{
    const std::size_t count = entries.size();
    // Lists often come in sorted already; one look then saves the whole sort.
    if (std::is_sorted(entries.begin(), entries.end(), less))
        return;
    if (count < kParallelFrom || std::thread::hardware_concurrency() < 2) {
        std::sort(entries.begin(), entries.end(), less);
        return;
    }
    const auto begin = entries.begin();
    const auto middle = begin + static_cast<std::ptrdiff_t>(count / 2);
    const auto end = entries.end();
    inParallel([&] { std::sort(middle, end, less); }, [&] { std::sort(begin, middle, less); });

    std::vector<RankEntry> merged(count);
    const std::size_t frontCount = count / 2;
    inParallel(
        [&] {
            auto a = middle;
            auto b = end;
            for (std::size_t k = count; k-- > frontCount;)
                merged[k] = (a == begin || (b != middle && less(*(a - 1), *(b - 1)))) ? *--b : *--a;
        },
        [&] {
            auto a = begin;
            auto b = middle;
            for (std::size_t k = 0; k < frontCount; ++k)
                merged[k] = (b == end || (a != middle && less(*a, *b))) ? *a++ : *b++;
        });
    entries.swap(merged);
}

// Keys that repeat a lot (the words of a text) are ranked through their distinct texts:
// each distinct text is sorted once, and the keys of one text then take consecutive ranks
// in list order, the ranks the stable sort gives them. Equal keys cost the entry sort two
// full text comparisons each time they meet. Written by hand for speed (bench_sort's word
// mode): keys that hardly repeat go to the entry sort, decided from a sample and, should
// the sample mislead, once too many distinct texts turn up.
constexpr std::uint32_t kRepeatSample = 4096;

std::size_t hashOf(QStringView text)
{
    return std::hash<std::u16string_view>{}(codeUnits(text));
}

// The distinct texts met so far, each with its number, in an open-addressing table. Qt's
// own hash table is seeded against crafted keys and was several times slower here; a
// crafted file that makes many texts collide ends the search at a long probe instead
// (find() fails), and the entry sort ranks the keys.
class DistinctTexts
{
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    static constexpr std::size_t kLongestProbe = 64;

    explicit DistinctTexts(std::uint32_t most) : m_most(most) { m_table.assign(1024, kNone); }

    // The number of the text, a new one when it was not met yet; kNone when the texts are
    // too many or collide too often.
    std::uint32_t find(QStringView text)
    {
        const std::size_t hash = hashOf(text);
        const std::size_t mask = m_table.size() - 1;
        for (std::size_t probe = 0, slot = hash & mask; probe < kLongestProbe;
             ++probe, slot = (slot + 1) & mask) {
            const std::uint32_t id = m_table[slot];
            if (id == kNone)
                return add(text, hash, slot);
            if (m_hashes[id] == hash && codeUnits(m_texts[id]) == codeUnits(text))
                return id;
        }
        return kNone;
    }

    const std::vector<QStringView>& texts() const { return m_texts; }

private:
    std::uint32_t add(QStringView text, std::size_t hash, std::size_t slot)
    {
        if (m_texts.size() == m_most)
            return kNone;
        const auto id = static_cast<std::uint32_t>(m_texts.size());
        m_texts.push_back(text);
        m_hashes.push_back(hash);
        m_table[slot] = id;
        if (m_texts.size() * 2 > m_table.size())
            grow();
        return id;
    }

    void grow()
    {
        m_table.assign(m_table.size() * 2, kNone);
        const std::size_t mask = m_table.size() - 1;
        for (std::uint32_t id = 0; id < m_texts.size(); ++id) {
            std::size_t slot = m_hashes[id] & mask;
            while (m_table[slot] != kNone)
                slot = (slot + 1) & mask;
            m_table[slot] = id;
        }
    }

    std::uint32_t m_most;
    std::vector<std::uint32_t> m_table; // a text's number, or kNone
    std::vector<QStringView> m_texts;   // by number, in the order first met
    std::vector<std::size_t> m_hashes;  // by number
};

bool repeatsALot(const TextColumn& keys)
{
    const auto sample = static_cast<std::uint32_t>(std::min<qsizetype>(keys.size(), kRepeatSample));
    DistinctTexts distinct(sample);
    for (std::uint32_t i = 0; i < sample; ++i) {
        if (distinct.find(keys.at(i)) == DistinctTexts::kNone)
            return false;
    }
    return distinct.texts().size() * 4 <= std::size_t{sample} * 3;
}

// By rank, where each key stood in the list; empty when the keys turn out to repeat too
// little for it to pay.
std::vector<std::uint32_t> ranksThroughDistinctTexts(const TextColumn& keys,
                                                     const std::stop_token& stop)
{
    const auto count = static_cast<std::uint32_t>(keys.size());
    DistinctTexts distinct(count / 2);
    std::vector<std::uint32_t> idAt(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if ((i & 0xFFFF) == 0 && stop.stop_requested())
            throw RankingStopped{};
        idAt[i] = distinct.find(keys.at(i));
        if (idAt[i] == DistinctTexts::kNone)
            return {};
    }
    const std::vector<QStringView>& texts = distinct.texts();
    std::vector<std::uint32_t> ids(texts.size());
    std::iota(ids.begin(), ids.end(), 0u);
    std::sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
        return codeUnits(texts[a]) < codeUnits(texts[b]);
    });
    // The first rank of each text: the keys of all texts before it in order.
    std::vector<std::uint32_t> nextRank(texts.size(), 0);
    for (const std::uint32_t id : idAt)
        ++nextRank[id];
    std::uint32_t rank = 0;
    for (const std::uint32_t id : ids)
        rank += std::exchange(nextRank[id], rank);
    std::vector<std::uint32_t> listPosition(count);
    for (std::uint32_t i = 0; i < count; ++i)
        listPosition[nextRank[idAt[i]]++] = i;
    return listPosition;
}

} // namespace

KeyRanking::KeyRanking(const TextColumn& keys, const std::stop_token& stop, ListOrder listOrder)
    : m_keys(keys)
{
    const auto count = static_cast<std::uint32_t>(m_keys.size());
    if (repeatsALot(m_keys))
        m_listPosition = ranksThroughDistinctTexts(m_keys, stop);
    if (m_listPosition.size() != count)
        rankByEntries(stop);

    // A pass moves a key at most one place to the left, and does so while a greater key
    // stands before it; so the passes with an exchange are the most greater keys any key
    // has before it. That most is also the farthest any key stands right of its place in
    // the sorted order: take a key with the most; the smallest key from its place on has
    // at least as many greater keys before it, and all keys smaller than that one before
    // it, so it stands exactly that far right of its place.
    std::int64_t farthest = 0;
    for (std::uint32_t rank = 0; rank < count; ++rank)
        farthest = std::max<std::int64_t>(farthest, std::int64_t{m_listPosition[rank]} - rank);
    m_passes = farthest + 1;
    m_sorted = m_keys.gatheredIntoOneBlock(m_listPosition);
    if (listOrder == ListOrder::Keep)
        m_listOrderOverSorted = m_sorted.scattered(m_listPosition);
}

void KeyRanking::rankByEntries(const std::stop_token& stop)
{
    const auto count = static_cast<std::uint32_t>(m_keys.size());
    std::vector<RankEntry> entries;
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i)
        entries.push_back(entryFor(m_keys.at(i), i));
    sortEntries(entries, EntryLess(m_keys, stop));
    m_listPosition.resize(count);
    for (std::uint32_t rank = 0; rank < count; ++rank)
        m_listPosition[rank] = entries[rank].position;
}

TextColumn KeyRanking::orderAfter(std::int64_t passes, std::int32_t comparisons) const
{
    std::vector<std::uint32_t> ranks(m_listPosition.size());
    for (std::size_t rank = 0; rank < m_listPosition.size(); ++rank)
        ranks[m_listPosition[rank]] = static_cast<std::uint32_t>(rank);
    ranks = ranksAfterPasses(ranks, passes);
    for (std::size_t i = 0;
         i < static_cast<std::size_t>(std::max(comparisons, 0)) && i + 1 < ranks.size(); ++i) {
        if (ranks[i] > ranks[i + 1])
            std::swap(ranks[i], ranks[i + 1]);
    }
    for (std::uint32_t& rank : ranks)
        rank = m_listPosition[rank]; // now the position in the list of the key placed here
    return m_keys.gathered(ranks);
}

std::vector<std::uint32_t> ranksAfterPasses(const std::vector<std::uint32_t>& ranks,
                                            std::int64_t passes)
{
    const auto window = static_cast<std::size_t>(std::max<std::int64_t>(passes, 0));
    std::vector<std::uint32_t> reached;
    reached.reserve(ranks.size());
    std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>> held;
    for (const std::uint32_t rank : ranks) {
        held.push(rank);
        if (held.size() > window) {
            reached.push_back(held.top());
            held.pop();
        }
    }
    for (; !held.empty(); held.pop())
        reached.push_back(held.top());
    return reached;
}

} // namespace velmora::sorting
