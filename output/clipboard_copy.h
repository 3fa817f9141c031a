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

// Empties the clipboard; tries up to 1000 times while it is held by someone else, and
// never fails.
void clearClipboard();

// Places the text on the clipboard, trying up to 1000 times; false when every attempt
// was refused. Never fails. The platform takes plain text only, so every format number
// (0 is the default text format) places the text as plain text.
bool setClipboardText(const QString& text, int format = 0);

} // namespace velmora::output
