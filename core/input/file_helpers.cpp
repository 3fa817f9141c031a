#include "core/input/file_helpers.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/large_pages.h"
#include "core/platform/platform.h"

#include <QtEndian>

#include <new>

using namespace Qt::StringLiterals;

namespace velmora::input {

namespace {

enum class Encoding
{
    Ansi,
    Utf16LittleEndian,
    Utf16BigEndian
};

// Only a complete two-byte mark selects UTF-16: an ANSI file that merely starts with
// "þ" or "ÿ" must not turn into unreadable text.
Encoding encodingOf(const QByteArray& bytes)
{
    if (bytes.size() >= 2) {
        const auto first = static_cast<unsigned char>(bytes[0]);
        const auto second = static_cast<unsigned char>(bytes[1]);
        if (first == 0xFF && second == 0xFE)
            return Encoding::Utf16LittleEndian;
        if (first == 0xFE && second == 0xFF)
            return Encoding::Utf16BigEndian;
    }
    return Encoding::Ansi;
}

// The mark is decoded like every other code unit, so it stays in the text as U+FEFF.
QString decodeUtf16(const QByteArray& bytes, Encoding encoding)
{
    const qsizetype units = bytes.size() / 2;
    const bool oddByte = bytes.size() % 2 != 0;
    QString text(units + (oddByte ? 1 : 0), Qt::Uninitialized);
    adviseLargePagesFor(text.data(), std::size_t(text.size()));
    if (encoding == Encoding::Utf16LittleEndian)
        qFromLittleEndian<char16_t>(bytes.constData(), units, text.data());
    else
        qFromBigEndian<char16_t>(bytes.constData(), units, text.data());
    if (oddByte)
        text[units] = QChar::ReplacementCharacter; // half a code unit is not a character
    return text;
}

} // namespace

bool fileExists(const QString& path)
{
    // A probe: whatever goes wrong while asking only means "not there".
    try {
        return platform().modificationTimeReadable(path);
    } catch (const RuntimeFailure&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

QString readFileText(const QString& path)
{
    if (!fileExists(path))
        return {};
    const qint64 length = platform().fileLength(path);
    if (length <= 0)
        return u"empty file"_s;
    if (length > kLargestReadableFile)
        throw Failure::fileTooLarge(); // before a single byte is allocated

    try {
        const QByteArray bytes = platform().readWholeFile(path);
        const Encoding encoding = encodingOf(bytes);
        if (encoding == Encoding::Ansi)
            return platform().decodeAnsi(bytes);
        return decodeUtf16(bytes, encoding);
    } catch (const std::bad_alloc&) {
        throw Failure::outOfMemory();
    }
}

} // namespace velmora::input
