#pragma once

#include <QString>
#include <QStringList>

namespace velmora::sorting {

// The pieces of a line cut at every space (U+0020 only). An empty line has no pieces;
// n spaces in a row leave n-1 empty pieces; a space at either end leaves an empty piece
// there. Pieces are not trimmed.
QStringList splitAtSpaces(const QString& line);

// A result with its counter: "1. " and the key.
QString numberedResult(int position, const QString& key);
// Every key with its counter, from 1 on, in order.
QStringList numberedResults(const QStringList& keys);

} // namespace velmora::sorting
