#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// Windows-1252, the ANSI code page used where the host has none. Hand-written rather than
// taken from a codec library: the five bytes Windows-1252 leaves undefined must map to the
// control characters of the same number, as Windows maps them, and both directions are on
// the hot path of loading and saving large lists.
QString decodeWindows1252(QByteArrayView bytes);
// Appends the text's bytes; false when the code page lacks one of its characters, and the
// bytes are then as they were. A writer of many lines reuses one buffer.
bool appendWindows1252(QStringView text, QByteArray& bytes);

// Copies the text's units below 0x80, from its start up to its first other unit, as the
// bytes they are in Windows-1252 and in UTF-8 alike; returns how many it copied. `out` has
// room for the whole text. Runs of eight, most of any text, are copied without a look at
// each: a fixed-length loop the compiler turns into a few vector instructions. Written by
// hand for speed (bench_output's save, under either code page).
qsizetype copyAsciiPrefix(QStringView text, char* out);

} // namespace velmora
