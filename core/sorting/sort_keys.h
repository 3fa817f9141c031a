#pragma once

#include "core/model/text_column.h"

#include <QString>
#include <QStringList>

namespace velmora::sorting {

// The pieces of a line cut at every space (U+0020 only). An empty line has no pieces;
// n spaces in a row leave n-1 empty pieces; a space at either end leaves an empty piece
// there. Pieces are not trimmed.
QStringList splitAtSpaces(QStringView line);

// Appends the pieces of every line to the keys, as splitting each line and appending its
// pieces one by one does, but as views of the lines' own characters. Returns the number of
// lines done: all of them, or the line where memory ran out, whose pieces are then not in
// the keys (those of the lines before it are).
qsizetype appendPiecesOfLines(const TextColumn& lines, TextColumn& keys);

// A result with its counter: "1. " and the key.
QString numberedResult(int position, QStringView key);
// Every key with its counter, from 1 on, in order.
TextColumn numberedResults(const TextColumn& keys);

} // namespace velmora::sorting
