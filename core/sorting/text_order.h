#pragma once

#include <QStringView>

namespace velmora::sorting {

// The program's one text order: UTF-16 code units compared by number, first to last, no
// case folding and no locale; a proper prefix comes first. (Code units, not code points:
// U+10000 is stored as D800 DC00 and so sorts before U+E000.)
inline std::u16string_view codeUnits(QStringView text)
{
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

// The same order as a three-way comparison (negative, 0, positive). Qt's case-sensitive
// comparison is that order and compares many units at a time, where the standard string
// view's goes unit by unit.
inline int compareTexts(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive);
}

inline bool textLess(QStringView a, QStringView b)
{
    return compareTexts(a, b) < 0;
}

} // namespace velmora::sorting
