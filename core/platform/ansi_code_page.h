#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// The system's ANSI code page: the 8-bit text of the files the program reads and writes.
// On Windows it is the code page the user's system is set to (win/ansi_code_page_win.cpp);
// other hosts have none, and Windows-1252 stands in (posix/ansi_code_page_posix.cpp).
QString decodeAnsiCodePage(QByteArrayView bytes);
// Appends the text's bytes; characters the code page cannot hold become '?'.
void appendAnsiCodePage(QStringView text, QByteArray& bytes);

} // namespace velmora
