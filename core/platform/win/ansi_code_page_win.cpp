#include "core/platform/ansi_code_page.h"

#include "core/platform/windows1252.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace velmora {

namespace {

// The conversion calls count in int. Files are read only up to that size, and a line
// written is far shorter, so a longer input is a programming error.
int sizeForWin32(qsizetype size)
{
    Q_ASSERT(size <= std::numeric_limits<int>::max());
    return static_cast<int>(size);
}

} // namespace

QString decodeAnsiCodePage(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    // No MB_ERR_INVALID_CHARS: a byte the code page does not define becomes its default
    // character instead of failing the whole file.
    const int inSize = sizeForWin32(bytes.size());
    const int outSize = MultiByteToWideChar(CP_ACP, 0, bytes.data(), inSize, nullptr, 0);
    if (outSize <= 0)
        return decodeWindows1252(bytes);
    QString text(outSize, Qt::Uninitialized);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), inSize, reinterpret_cast<wchar_t*>(text.data()),
                        outSize);
    return text;
}

void appendAnsiCodePage(QStringView text, QByteArray& bytes)
{
    if (text.isEmpty())
        return;
    // No best fit: a character the code page lacks becomes '?', never a look-alike letter
    // that would change the word. UTF-8 as the system code page takes neither the flag nor a
    // default character, and can hold every character anyway.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* defaultChar = utf8 ? nullptr : "?";
    // A character outside the basic plane is one character to the reader, and no 8-bit or
    // double-byte ANSI code page holds one: it becomes one '?', whatever the converter does
    // with its two halves (Wine writes two).
    QString oneUnitEach;
    if (!utf8 && std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); })) {
        oneUnitEach.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                oneUnitEach.append(u'?');
                ++i;
            } else {
                oneUnitEach.append(text[i]);
            }
        }
        text = oneUnitEach;
    }
    const auto* in = reinterpret_cast<const wchar_t*>(text.utf16());
    const int inSize = sizeForWin32(text.size());
    const int outSize =
        WideCharToMultiByte(CP_ACP, flags, in, inSize, nullptr, 0, defaultChar, nullptr);
    if (outSize <= 0) {
        appendWindows1252(text, bytes);
        return;
    }
    const qsizetype before = bytes.size();
    bytes.resize(before + outSize);
    WideCharToMultiByte(CP_ACP, flags, in, inSize, bytes.data() + before, outSize, defaultChar,
                        nullptr);
}

} // namespace velmora
