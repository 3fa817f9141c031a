#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// Windows-1252, the ANSI code page used where the host has none. Hand-written rather than
// taken from a codec library: the five bytes Windows-1252 leaves undefined must map to the
// control characters of the same number, as Windows maps them, and both directions are on
// the hot path of loading and saving large lists.
QString decodeWindows1252(QByteArrayView bytes);
QByteArray encodeWindows1252(QStringView text); // characters it cannot hold become '?'
// The same bytes, appended: a writer of many lines reuses one buffer.
void appendWindows1252(QStringView text, QByteArray& bytes);

} // namespace velmora
