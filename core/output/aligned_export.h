#pragma once

#include "core/errors/error_report.h"

#include <QString>

namespace velmora {
class ColumnHeaderCollection;
class ListItemCollection;
class ProgressIndicator;
} // namespace velmora

namespace velmora::output {

// Where the error box places a failure of the export.
inline constexpr ErrorLocation kSaveAlignedTextLocation{u"SortArray",
                                                        u"SaveListviewProperlySpaced"};

// Writes a list to a text file as an aligned table: a heading line, then one line per
// checked row; every cell is padded with spaces to its column's width (the longest of its
// heading and all its cells, checked or not) and followed by a tab; CR LF after each line;
// the system's ANSI code page, or UTF-16 with its mark when that lacks one of the characters
// written. Replaces an existing file of that name. Drives the bar when there is one and
// leaves it at 0, "Progress Bar".
//
// Yields to the event loop per row and per cell, so the list may change under it; every
// failure is reported in the error box and the export goes on with its next step. It never
// passes a failure to its caller (a closing program still unwinds through it). The file is
// replaced only when every line of it could be written; otherwise the old one stays.
void saveAlignedText(ListItemCollection& rows, ColumnHeaderCollection& columns,
                     const QString& fileName, ProgressIndicator* progressBar);

} // namespace velmora::output
