#include "core/platform/ansi_code_page.h"

#include "core/platform/large_pages.h"
#include "core/platform/windows1252.h"
#include "core/threads/two_parts.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace velmora {

namespace {

// One pass: the decoder reports every sequence that is not UTF-8 (Qt's isValidUtf8 and it
// agree on overlong forms, encoded surrogates, code points past U+10FFFF and, stateless, a
// sequence cut at the end), and only a file that is not UTF-8 is decoded again, in
// Windows-1252. A check before decoding would cost every valid file a second pass.
//
// A big file is decoded in two parts on two threads, parted after a line feed, a byte no
// sequence holds: each part decodes as it does within the whole, and the whole is UTF-8
// exactly when both parts are. Written by hand for speed (bench_huge's and bench_load's
// load).
QString decodeUtf8(QByteArrayView bytes)
{
    const auto decoder = [] {
        return QStringDecoder(QStringConverter::Utf8,
                              QStringConverter::Flag::Stateless |
                                  QStringConverter::Flag::ConvertInitialBom);
    };
    const char* const feed = bytes.size() < kTwoThreadsFrom
                                 ? nullptr
                                 : std::find(bytes.begin() + bytes.size() / 2, bytes.end(), '\n');
    const qsizetype split =
        feed == nullptr || feed == bytes.end() ? bytes.size() : feed + 1 - bytes.begin();
    const std::array<QByteArrayView, 2> parts{bytes.first(split), bytes.sliced(split)};
    std::array<QStringDecoder, 2> decoders{decoder(), decoder()};
    // The back part is decoded behind the room the front part may take, then moved up.
    const qsizetype backAt = decoders[0].requiredSpace(parts[0].size());
    QString text(backAt + decoders[1].requiredSpace(parts[1].size()), Qt::Uninitialized);
    QChar* const first = text.data();
    adviseLargePagesFor(first, std::size_t(text.size()));
    std::array<QChar*, 2> ends{};
    const auto decodePart = [&](qsizetype part, qsizetype) {
        ends[part] = decoders[part].appendToBuffer(first + (part == 0 ? 0 : backAt), parts[part]);
    };
    if (parts[1].isEmpty()) { // a small file, or no line feed from the middle on
        decodePart(0, 1);
        decodePart(1, 2);
    } else {
        inTwoParts(0, 1, 2, decodePart);
    }
    if (decoders[0].hasError() || decoders[1].hasError()) {
        text.clear(); // its memory before the second decoding's
        return decodeWindows1252(bytes);
    }
    const QChar* const end = std::copy(first + backAt, ends[1], ends[0]);
    text.truncate(end - first);
    return text;
}

// ASCII is its own UTF-8: a text's ASCII beginning, which for most texts is all of it, is
// copied without making an encoder, and only the rest is encoded.
bool appendUtf8(QStringView text, QByteArray& bytes)
{
    const qsizetype before = bytes.size();
    bytes.resize(before + 3 * text.size()); // the most a UTF-16 unit takes
    char* const out = bytes.data() + before;
    const qsizetype ascii = copyAsciiPrefix(text, out);
    if (ascii == text.size()) {
        bytes.truncate(before + ascii);
        return true;
    }
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const char* end = encoder.appendToBuffer(out + ascii, text.sliced(ascii));
    if (encoder.hasError()) { // a lone surrogate, which UTF-8 cannot hold
        bytes.truncate(before);
        return false;
    }
    bytes.truncate(end - bytes.constData());
    return true;
}

} // namespace

QString decodeCodePage(CodePage codePage, QByteArrayView bytes)
{
    return codePage == CodePage::Utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

bool appendCodePage(CodePage codePage, QStringView text, QByteArray& bytes)
{
    return codePage == CodePage::Utf8 ? appendUtf8(text, bytes) : appendWindows1252(text, bytes);
}

// Spelled "UTF-8" by glibc and most others, "utf8" by some.
CodePage codePageOfCodeset(std::string_view codeset)
{
    std::string letters;
    for (const char c : codeset) {
        if (c != '-' && c != '_')
            letters += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return letters == "utf8" ? CodePage::Utf8 : CodePage::Windows1252;
}

} // namespace velmora
