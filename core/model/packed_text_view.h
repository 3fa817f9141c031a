#pragma once

#include <QChar>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace velmora {

// One text of a column in 8 bytes, where a pointer and a length take 16: ten million lines
// hold 80 MB less per list, and a sort, which makes two more arrays of them, 160 MB less
// at its peak. Written by hand for memory (bench_huge's peak and bytes per line).
//
// The characters' address, halved (a QChar lies at an even address), takes the low 47
// bits: the 48-bit user address space of every 64-bit host the program runs on; a column
// refuses a block beyond it (holdsAddress). The length takes the high 17 bits. A longer
// text has kLongLength there and its real length in the kLengthPrefixUnits units just
// before its characters (writeAt).
class PackedTextView
{
public:
    static constexpr qsizetype kLongestShort = (qsizetype{1} << 17) - 2;
    static constexpr qsizetype kLengthPrefixUnits = sizeof(qsizetype) / sizeof(QChar);

    // Left unset: arrays of views are sized for two threads that then write every one,
    // and would otherwise first be filled with zeros on one.
    PackedTextView() noexcept {} // NOLINT(modernize-use-equals-default): QList would zero them

    static bool isLong(qsizetype size) { return size > kLongestShort; }
    static bool holdsAddress(const QChar* end)
    {
        return reinterpret_cast<std::uintptr_t>(end) >> 1 <= kAddressMask;
    }
    // A text that is short, or long and stored by writeAt().
    static PackedTextView of(QStringView text)
    {
        const auto length =
            static_cast<std::uint64_t>(isLong(text.size()) ? kLongLength : text.size());
        PackedTextView view;
        view.m_bits = length << kLengthShift | reinterpret_cast<std::uintptr_t>(text.data()) >> 1;
        return view;
    }
    // The units a text takes where it is stored: its own, and a long one's length too.
    static qsizetype storedUnits(qsizetype size)
    {
        return isLong(size) ? kLengthPrefixUnits + size : size;
    }
    // Stores the text at `at` (a long one after its length) and returns its view there.
    static PackedTextView writeAt(QChar* at, QStringView text)
    {
        if (isLong(text.size())) {
            const qsizetype size = text.size();
            std::memcpy(static_cast<void*>(at), &size, sizeof size);
            at += kLengthPrefixUnits;
        }
        std::copy_n(text.data(), text.size(), at);
        return of({at, text.size()});
    }

    const QChar* data() const
    {
        return reinterpret_cast<const QChar*>(static_cast<std::uintptr_t>(m_bits & kAddressMask)
                                              << 1);
    }
    qsizetype size() const
    {
        auto size = static_cast<qsizetype>(m_bits >> kLengthShift);
        if (size == kLongLength) [[unlikely]]
            std::memcpy(&size, data() - kLengthPrefixUnits, sizeof size);
        return size;
    }
    QStringView view() const { return {data(), size()}; }

private:
    static_assert(sizeof(void*) == 8, "a view packs a 64-bit address");
    static constexpr int kLengthShift = 47;
    static constexpr std::uint64_t kAddressMask = (std::uint64_t{1} << kLengthShift) - 1;
    static constexpr qsizetype kLongLength = kLongestShort + 1;

    std::uint64_t m_bits;
};

} // namespace velmora

// Moved with memmove, but built with the constructor above, which writes nothing.
Q_DECLARE_TYPEINFO(velmora::PackedTextView, Q_RELOCATABLE_TYPE);
