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

} // namespace velmora::sorting
