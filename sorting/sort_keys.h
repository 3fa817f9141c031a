#pragma once

#include <QString>
#include <QStringList>

namespace velmora::sorting {

// The pieces of a line cut at every space (U+0020 only). An empty line has no pieces;
// n spaces in a row leave n-1 empty pieces; a space at either end leaves an empty piece
// there. Pieces are not trimmed.
QStringList splitAtSpaces(const QString& line);

// Appends the pieces of every line, from line `first` on, to the keys, as splitting each
// line and appending its pieces one by one does, but without a list of pieces per line.
// Returns the number of lines done: all of them, or the line where memory ran out, whose
// pieces are then not in the keys (those of the lines before it are).
qsizetype appendPiecesOfLines(const QStringList& lines, QStringList& keys);

// A result with its counter: "1. " and the key.
QString numberedResult(int position, const QString& key);
// Every key with its counter, from 1 on, in order.
QStringList numberedResults(const QStringList& keys);

} // namespace velmora::sorting
