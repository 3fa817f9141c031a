#pragma once

#include <QString>

namespace velmora {
class ColumnHeaderCollection;
class ListItemCollection;
} // namespace velmora

namespace velmora::output {

// Puts the checked rows of a list on the clipboard as text, one line per row: cells
// padded to their column's width (the longest cell in all rows, checked or not; headings
// are not measured) and separated by tabs, the final tab and trailing spaces of each line
// taken off, CR LF after every line. A list without rows leaves the clipboard alone.
// Yields per row and per cell; a failure (a row removed meanwhile) ends it at once, before
// the clipboard is touched, and passes to the caller.
void copyToClipboard(ListItemCollection& rows, ColumnHeaderCollection& columns);

// Another program may hold the clipboard open for a moment; this many tries, back to back,
// is the whole of the waiting.
inline constexpr int kClipboardAttempts = 1000;

// Empties the clipboard, trying up to kClipboardAttempts times while someone else holds it.
// Never fails.
void clearClipboard();

// Places the text on the clipboard as plain text, trying up to kClipboardAttempts times.
// Never fails: when every attempt is refused, the clipboard keeps what it had.
void setClipboardText(const QString& text);

} // namespace velmora::output
