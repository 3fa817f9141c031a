#include "core/platform/ansi_code_page.h"

#include "core/platform/windows1252.h"

namespace velmora {

// Windows-1252 is the code page of English and Western-European Windows, where the text
// files this program meets were most likely written.
QString decodeAnsiCodePage(QByteArrayView bytes)
{
    return decodeWindows1252(bytes);
}

void appendAnsiCodePage(QStringView text, QByteArray& bytes)
{
    appendWindows1252(text, bytes);
}

} // namespace velmora
