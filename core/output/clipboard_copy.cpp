#include "core/output/clipboard_copy.h"

#include "core/errors/runtime_failure.h"
#include "core/model/list_items.h"
#include "core/output/column_layout.h"
#include "core/platform/large_pages.h"
#include "core/platform/platform.h"

#include <algorithm>
#include <cstdint>

namespace velmora::output {

namespace {

template <class Attempt> void tryRepeatedly(Attempt&& attempt)
{
    for (int tries = 1; tries <= kClipboardAttempts; ++tries) {
        try {
            attempt();
            return;
        } catch (const std::exception&) {
            // Refused; try again.
        }
    }
}

} // namespace

void copyToClipboard(ListItemCollection& rows, ColumnHeaderCollection& columns)
{
    if (rows.count() == 0)
        return;

    ColumnWidths widths;
    qsizetype cellTotal = 0;
    const std::int32_t columnCount = columns.count();
    for (std::int32_t c = 1; c <= columnCount; ++c) {
        std::int32_t widest = 0;
        const std::int32_t rowCount = rows.count();
        for (std::int32_t r = 1; r <= rowCount; ++r) {
            yieldBetweenCells();
            const QStringView cell = cellText(rows.item(r), c);
            widest = std::max(widest, cellLength(cell));
            cellTotal += cell.size();
        }
        widths.grow();
        widths.at(c) = widest;
    }

    // Room for the cells and the line ends up front (a one-column text never needs more):
    // growing a text of many megabytes by copying it stalls the window for tens of ms.
    QString text;
    text.reserve(cellTotal + qsizetype(rows.count()) * (columnCount + 2));
    adviseLargePagesFor(text.data(), std::size_t(text.capacity()));
    const std::int32_t rowCount = rows.count();
    for (std::int32_t r = 1; r <= rowCount; ++r) {
        yieldBetweenCells();
        rows.prefetchText(r + kPrefetchRows);
        if (!rows.item(r).isChecked())
            continue;
        const std::int32_t cellCount = columns.count();
        for (std::int32_t c = 1; c <= cellCount; ++c) {
            yieldBetweenCells();
            appendCell(text, cellText(rows.item(r), c), widths.at(c));
        }
        // The row's last tab, then its trailing spaces (spaces only: a tab stops it), give
        // way to CR LF. The text before this row ends in CR LF, so the trimming stays within
        // the row. One resize, not a chop, a truncation and an append: bench_output's copy.
        if (text.isEmpty())
            throw Failure::invalidProcedureCall(); // a list without columns has no tab to take
        qsizetype end = text.size() - 1;
        while (end > 0 && text.at(end - 1) == u' ')
            --end;
        text.resize(end + 2);
        QChar* const lineEnd = text.data() + end;
        lineEnd[0] = u'\r';
        lineEnd[1] = u'\n';
    }

    clearClipboard();
    setClipboardText(text);
}

void clearClipboard()
{
    tryRepeatedly([] { platform().clipboardClear(); });
}

void setClipboardText(const QString& text)
{
    tryRepeatedly([&] { platform().clipboardSetText(text); });
}

} // namespace velmora::output
