#pragma once

#include "core/model/text_column.h"

namespace velmora {
class ProgressIndicator;
}

namespace velmora::sorting {

// Sorts the keys in place, ascending in code-unit order, as a bubble sort does: whole
// passes until one makes no exchange. Yields to the event loop at the start of every pass
// and writes the bar's value at each comparison position (0, then floor(i / n * 100)) when
// something watches the bar's writes, only each pass's last value when nothing does (what
// is painted is the same); leaves the bar at 0. Returns the keys. A failure (of the bar,
// or a closing program in the yield) leaves the keys in the order the passes had reached
// and passes on to the caller. It costs what a merge sort costs: the passes are counted,
// not run.
//
// The sorted keys' characters lie in one block of their own, in order. When sorting ends
// and `listOrder` is given, it receives the keys as they were, their characters now those
// of the sorted keys (KeyRanking::takeListOrderOverSorted).
TextColumn& bubbleSortWithProgress(TextColumn& keys, ProgressIndicator& bar,
                                   TextColumn* listOrder = nullptr);

} // namespace velmora::sorting
