// The key ranking over arbitrary keys, against the standard library's stable sort of the
// texts: the same key at every rank, equal keys in list order, and the passes a bubble sort
// makes. The input's first two bytes say how many times its keys are repeated, each time
// with one more unit after them, so stretches of a thousand keys alike for as long as the
// input likes are common: those are packed again further on, where short lists are only
// compared.
#include "core/sorting/entry_sort.h"
#include "core/sorting/key_ranking.h"
#include "reference_order.h"
#include "text_lists.h"

#include "harness.h"

#include <cstddef>
#include <cstdint>

using velmora::fuzz::check;

namespace {

// A byte is a code unit from a short list that holds NUL (also what a key's missing units
// are packed as), units that differ in their high byte only, and surrogates; 0xFF ends a
// key.
constexpr char16_t kUnits[] = {0x0000, 0x0001, 0x0020, 0x0041, 0x0061, 0x007F, 0x0080, 0x00FF,
                               0x0100, 0x0161, 0x4E00, 0x7FFF, 0x8000, 0xD800, 0xDC00, 0xFFFF};
constexpr std::uint8_t kKeyEnd = 0xFF;

QStringList keysFrom(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return {};
    const int repeats = 1 + ((data[0] << 8) | data[1]) % 1200;
    QStringList base{QString()};
    for (std::size_t i = 2; i < size && base.size() <= 16; ++i) {
        if (data[i] == kKeyEnd)
            base.append(QString());
        else
            base.back().append(QChar(kUnits[data[i] % std::size(kUnits)]));
    }
    QStringList keys;
    for (int r = 0; r < repeats; ++r) {
        for (const QString& key : base)
            keys.append(r == 0 ? key : key + QChar(kUnits[r % std::size(kUnits)]));
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QStringList keys = keysFrom(data, size);
    const velmora::test::StableRanking expected = velmora::test::stableRanking(keys);
    const velmora::TextColumn column = velmora::test::columnOf(keys);
    check(velmora::sorting::listPositionsInKeyOrder(column, {}) == expected.listPositions,
          "every key takes its place in the stable sort");
    velmora::sorting::KeyRanking ranking(column);
    check(ranking.passCount() == expected.bubblePasses, "the passes a bubble sort makes");
    check(velmora::test::textsOf(ranking.takeSorted()) == expected.sorted,
          "the keys in rank order");
    return 0;
}
