#include "core/platform/windows1252.h"

#include "core/platform/large_pages.h"

#include <array>

namespace velmora {

namespace {

// 0x80..0x9F; the rest of the page is Latin-1. 0x81, 0x8D, 0x8F, 0x90 and 0x9D are
// undefined in the code page and stay the control character of the same number.
constexpr std::array<char16_t, 32> kBytes80To9F = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character, or -1 when the code page lacks it.
int encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (std::size_t i = 0; i < kBytes80To9F.size(); ++i) {
        if (kBytes80To9F[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    adviseLargePagesFor(text.data(), std::size_t(text.size()));
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? kBytes80To9F[b - 0x80] : char16_t(b);
    }
    return text;
}

qsizetype copyAsciiPrefix(QStringView text, char* out)
{
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    constexpr qsizetype kRun = 8;
    for (; i + kRun <= size; i += kRun) {
        char16_t any = 0;
        for (qsizetype k = 0; k < kRun; ++k)
            any |= in[i + k];
        if (any >= 0x80)
            break;
        for (qsizetype k = 0; k < kRun; ++k)
            out[i + k] = static_cast<char>(in[i + k]);
    }
    for (; i < size && in[i] < 0x80; ++i)
        out[i] = static_cast<char>(in[i]);
    return i;
}

bool appendWindows1252(QStringView text, QByteArray& bytes)
{
    const qsizetype before = bytes.size();
    bytes.resize(before + text.size());
    char* out = bytes.data() + before;
    const char16_t* in = text.utf16();
    const qsizetype size = text.size();
    for (qsizetype i = copyAsciiPrefix(text, out); i < size; ++i) {
        const int byte = encodeOne(in[i]); // a surrogate, paired or not, is never one
        if (byte < 0) {
            bytes.truncate(before);
            return false;
        }
        out[i] = static_cast<char>(byte);
    }
    return true;
}

} // namespace velmora
