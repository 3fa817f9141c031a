#pragma once

#include "core/model/text_column.h"
#include "core/sorting/entry_sort.h"

#include <cstdint>
#include <stop_token>
#include <utility>
#include <vector>

namespace velmora::sorting {

// The keys ranked once: a key's rank is its place in one stable sort of all keys in
// code-unit order, so ranks are distinct, order like the keys, and equal keys keep their
// list order. From the ranks alone follow how many passes a bubble sort over the keys
// makes and the order it has reached at any moment, so its passes can be counted instead
// of run.
class KeyRanking
{
public:
    // Ranks the keys, counts the passes and gathers the keys in rank order (with
    // ListOrder::Keep, in list order over that block too); keeps a copy of the keys, which
    // shares their texts, for orderAfter(). The heavy part of a sort: callers run it off the
    // user-interface thread. When a stop is requested meanwhile, throws RankingStopped.
    enum class ListOrder
    {
        Drop,
        Keep
    };
    explicit KeyRanking(const TextColumn& keys, const std::stop_token& stop = {},
                        ListOrder listOrder = ListOrder::Drop);

    // The passes a bubble sort over the keys makes, the last one without an exchange.
    std::int64_t passCount() const { return m_passes; }

    // The keys in rank order: where the bubble sort ends. Made with the ranks, off the
    // user-interface thread, their characters copied into one block in rank order, so
    // walks over the sorted keys read memory front to back; taken once.
    TextColumn takeSorted() { return std::move(m_sorted); }
    // With ListOrder::Keep: the keys in list order once more, their characters now those
    // of the sorted keys' block, so that the list they came from can take them in place of
    // its own and the two share one block. Empty otherwise; taken once.
    TextColumn takeListOrderOverSorted() { return std::move(m_listOrderOverSorted); }

    // The keys in the order the bubble sort has reached after `passes` whole passes and
    // then the first `comparisons` comparisons of the next pass.
    TextColumn orderAfter(std::int64_t passes, std::int32_t comparisons) const;

private:
    TextColumn m_keys;   // in list order
    TextColumn m_sorted; // in rank order
    TextColumn m_listOrderOverSorted;
    std::vector<std::uint32_t> m_listPosition; // by rank: where the key stood in the list
    std::int64_t m_passes = 1;
};

// The ranks, in list order, that a bubble sort over keys of these ranks has reached after
// `passes` whole passes: a pass carries each running maximum to the right, so after k
// passes each place holds the smallest of what a window of k + 1 keys lets through, and
// the k largest stand sorted at the end. O(n log k).
std::vector<std::uint32_t> ranksAfterPasses(const std::vector<std::uint32_t>& ranks,
                                            std::int64_t passes);

} // namespace velmora::sorting
