#pragma once

#include "core/model/text_column.h"

#include <cstdint>
#include <stop_token>
#include <vector>

namespace velmora::sorting {

struct RankingStopped
{};

// By rank, where each key stood in the list: the keys in one stable sort in code-unit order.
// Throws RankingStopped once a stop is requested, leaving the keys untouched.
std::vector<std::uint32_t> listPositionsInKeyOrder(const TextColumn& keys,
                                                   const std::stop_token& stop);

} // namespace velmora::sorting
