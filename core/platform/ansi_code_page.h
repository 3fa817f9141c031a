#pragma once

#include <QByteArray>
#include <QString>

#include <string_view>

namespace velmora {

// The code pages the program converts by itself.
enum class CodePage
{
    Windows1252,
    // UTF-8, where a file that is not valid UTF-8 is read byte by byte in Windows-1252: an
    // older file loses nothing, and no character is ever replaced by U+FFFD.
    Utf8
};

// A file's text. The UTF-8 mark at the front stays in the text as U+FEFF.
QString decodeCodePage(CodePage codePage, QByteArrayView bytes);
// Appends the text's bytes. False when the code page cannot hold one of its characters (a
// lone surrogate counts too); the bytes are then as they were.
bool appendCodePage(CodePage codePage, QStringView text, QByteArray& bytes);

// The code page a host's name for its narrow-text encoding (nl_langinfo(CODESET)) stands
// for: UTF-8 for UTF-8, Windows-1252 for every other, the C locale's ASCII included.
CodePage codePageOfCodeset(std::string_view codeset);

// The system's ANSI code page: the text of the files the program reads and writes. On
// Windows it is the code page the system is set to (win/ansi_code_page_win.cpp), elsewhere
// the locale's (posix/ansi_code_page_posix.cpp); UTF-8 behaves as above on both.
QString decodeAnsiCodePage(QByteArrayView bytes);
bool appendAnsiCodePage(QStringView text, QByteArray& bytes); // as appendCodePage

} // namespace velmora
