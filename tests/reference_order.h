#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

// The text order written out plainly, apart from the program's own: UTF-16 code units
// compared one by one as numbers. The sort tests measure the program against it.
namespace velmora::test {

inline bool codeUnitsLess(const QString& a, const QString& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](QChar x, QChar y) { return x.unicode() < y.unicode(); });
}

// The keys in that order by the standard library's stable sort.
inline QStringList stablySorted(QStringList keys)
{
    std::stable_sort(keys.begin(), keys.end(), codeUnitsLess);
    return keys;
}

// The keys ranked that way: where each key stood in the list, by rank; the keys in rank
// order; and the passes a bubble sort over them makes, one more than the farthest a key
// stands right of its rank.
struct StableRanking
{
    std::vector<std::uint32_t> listPositions;
    QStringList sorted;
    std::int64_t bubblePasses = 1;
};

inline StableRanking stableRanking(const QStringList& keys)
{
    StableRanking ranking;
    ranking.listPositions.resize(static_cast<std::size_t>(keys.size()));
    std::iota(ranking.listPositions.begin(), ranking.listPositions.end(), 0u);
    std::stable_sort(
        ranking.listPositions.begin(), ranking.listPositions.end(),
        [&](std::uint32_t a, std::uint32_t b) { return codeUnitsLess(keys[a], keys[b]); });
    std::int64_t farthest = 0;
    for (std::size_t rank = 0; rank < ranking.listPositions.size(); ++rank) {
        const std::uint32_t position = ranking.listPositions[rank];
        farthest = std::max(farthest, std::int64_t{position} - static_cast<std::int64_t>(rank));
        ranking.sorted.append(keys[position]);
    }
    ranking.bubblePasses = farthest + 1;
    return ranking;
}

} // namespace velmora::test
