#pragma once

// The sort over a list of texts, for tests that state keys and orders as lists: the list
// goes in as a column and comes back out, also when the sort fails.
#include "core/model/progress_indicator.h"
#include "core/model/text_column.h"
#include "core/sorting/bubble_sort.h"

#include <QStringList>

namespace velmora::test {

inline QStringList& bubbleSortWithProgress(QStringList& keys, ProgressIndicator& bar)
{
    TextColumn column(keys);
    try {
        sorting::bubbleSortWithProgress(column, bar);
    } catch (...) {
        keys = column.toStringList();
        throw;
    }
    keys = column.toStringList();
    return keys;
}

} // namespace velmora::test
