#include "core/sorting/key_ranking.h"

#include "core/sorting/text_order.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <queue>
#include <string_view>
#include <utility>

namespace velmora::sorting {

namespace {

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
    std::sort(ids.begin(), ids.end(),
              [&](std::uint32_t a, std::uint32_t b) { return textLess(texts[a], texts[b]); });
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
        m_listPosition = listPositionsInKeyOrder(m_keys, stop);

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
