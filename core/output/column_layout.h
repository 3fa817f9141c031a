#pragma once

#include "core/errors/runtime_failure.h"
#include "core/platform/platform.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

// The column rule shared by the text export and the clipboard copy: every cell is padded
// with spaces to its column's width and followed by a tab.
namespace velmora::output {

// Lengths are counted in UTF-16 code units, in the 32-bit numbers the widths are kept in.
inline std::int32_t cellLength(QStringView cell)
{
    if (cell.size() > std::numeric_limits<std::int32_t>::max())
        throw Failure::overflow();
    return static_cast<std::int32_t>(cell.size());
}

// Cell, padding up to the width, tab; only for a cell no longer than its column. The line
// grows once and is written in place instead of three calls into Qt per cell: written by
// hand for speed (bench_output's save and copy).
inline void appendPadded(QString& line, QStringView cell, std::int32_t width)
{
    const qsizetype padding = std::max<qsizetype>(width - cell.size(), 0);
    const qsizetype start = line.size();
    line.resize(start + cell.size() + padding + 1);
    QChar* const out = std::copy_n(cell.data(), cell.size(), line.data() + start);
    std::fill_n(out, padding, u' ');
    out[padding] = u'\t';
}

// A cell longer than its column (the list changed after it was measured) is never cut: it
// goes unpadded, and only its own line is out of step.
inline void appendUnpadded(QString& line, QStringView cell)
{
    line.append(cell);
    line.append(u'\t');
}

inline void appendCell(QString& line, QStringView cell, std::int32_t width)
{
    if (width >= cellLength(cell))
        appendPadded(line, cell, width);
    else
        appendUnpadded(line, cell);
}

// How far ahead of the row being written the walks over the rows fetch the texts. (The
// walks that measure the cells read only the lengths, which lie with the rows.)
inline constexpr std::int32_t kPrefetchRows = 16;

// The yield between cells. Both walk every cell of lists of up to a million rows, where
// processing events at every cell would cost more than the work, so the pump may skip a
// turn that comes right after the last.
inline void yieldBetweenCells()
{
    platform().yieldToEventLoop(Pump::MaySkip);
}

// The widths, one per column, addressed like the columns from 1. A column that was not
// there when the list was measured has no width: asking for it fails.
class ColumnWidths
{
public:
    void clear() { m_widths.clear(); }
    void grow() { m_widths.push_back(0); }
    std::int32_t& at(std::int32_t column)
    {
        if (column < 1 || static_cast<std::size_t>(column) > m_widths.size())
            throw Failure::subscriptOutOfRange();
        return m_widths[static_cast<std::size_t>(column) - 1];
    }

private:
    std::vector<std::int32_t> m_widths;
};

} // namespace velmora::output
