#pragma once

// Texts as lists, for tests that state keys and orders as lists: a column and back, and the
// sort over a list.
#include "core/model/progress_indicator.h"
#include "core/model/text_column.h"
#include "core/sorting/bubble_sort.h"

#include <QStringList>

namespace velmora::test {

inline TextColumn columnOf(const QStringList& texts)
{
    TextColumn column;
    qsizetype units = 0;
    for (const QString& text : texts)
        units += text.size();
    column.reserve(texts.size());
    column.reserveCharacters(units); // one block, as a loaded file's lines are
    for (const QString& text : texts)
        column.append(text);
    return column;
}

inline QStringList textsOf(const TextColumn& column)
{
    QStringList texts;
    for (qsizetype i = 0; i < column.size(); ++i)
        texts.append(column.at(i).toString());
    return texts;
}

// The list goes in as a column and comes back out, also when the sort fails.
inline QStringList& bubbleSortWithProgress(QStringList& keys, ProgressIndicator& bar)
{
    TextColumn column = columnOf(keys);
    try {
        sorting::bubbleSortWithProgress(column, bar);
    } catch (...) {
        keys = textsOf(column);
        throw;
    }
    keys = textsOf(column);
    return keys;
}

} // namespace velmora::test
