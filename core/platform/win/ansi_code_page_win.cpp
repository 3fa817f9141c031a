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

// A system set to UTF-8 (65001) reads and writes as Linux does under a UTF-8 locale.
QString decodeAnsiCodePage(QByteArrayView bytes)
{
    if (GetACP() == CP_UTF8)
        return decodeCodePage(CodePage::Utf8, bytes);
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

bool appendAnsiCodePage(QStringView text, QByteArray& bytes)
{
    if (GetACP() == CP_UTF8)
        return appendCodePage(CodePage::Utf8, text, bytes);
    if (text.isEmpty())
        return true;
    // No ANSI code page but UTF-8 holds a character outside the basic plane, and whatever
    // the converter made of its halves would not read back as it.
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); }))
        return false;
    // No best fit: a look-alike letter would change the word. What is held is then exactly
    // what reads back; anything else takes the default character, which says it does not fit.
    const auto* in = reinterpret_cast<const wchar_t*>(text.utf16());
    const int inSize = sizeForWin32(text.size());
    BOOL usedDefault = FALSE;
    const int outSize = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, in, inSize, nullptr, 0,
                                            nullptr, &usedDefault);
    if (outSize <= 0)
        return appendWindows1252(text, bytes);
    if (usedDefault)
        return false;
    const qsizetype before = bytes.size();
    bytes.resize(before + outSize);
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, in, inSize, bytes.data() + before, outSize,
                        nullptr, nullptr);
    return true;
}

} // namespace velmora
