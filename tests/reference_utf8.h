#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// UTF-8 written out plainly, apart from the program's own and Qt's: what the tests hold the
// loader's reading of UTF-8 to.
namespace velmora::test {

// UTF-8 as RFC 3629 has it, decoded, a mark at the front kept as U+FEFF; nothing when the
// bytes are not that: a byte that cannot start or continue a sequence, a sequence cut short,
// an overlong form, a surrogate, anything past U+10FFFF.
inline std::optional<QString> fromStrictUtf8(const QByteArray& bytes)
{
    QString text;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80   ? 0
                          : lead < 0xC0 ? -1
                          : lead < 0xE0 ? 1
                          : lead < 0xF0 ? 2
                          : lead < 0xF8 ? 3
                                        : -1;
        if (extra < 0 || i + extra >= bytes.size())
            return std::nullopt;
        char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            point = point << 6 | (next & 0x3F);
        }
        static constexpr char32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
        if (point < kLowest[extra] || (point >= 0xD800 && point < 0xE000) || point > 0x10FFFF)
            return std::nullopt;
        if (point > 0xFFFF)
            text.append(QChar(QChar::highSurrogate(point)))
                .append(QChar(QChar::lowSurrogate(point)));
        else
            text.append(QChar(static_cast<char16_t>(point)));
        i += extra + 1;
    }
    return text;
}

} // namespace velmora::test
