#include "core/platform/ansi_code_page.h"

#include "core/platform/windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cctype>
#include <string>

namespace velmora {

namespace {

// One pass: the decoder reports every sequence that is not UTF-8 (Qt's isValidUtf8 and it
// agree on overlong forms, encoded surrogates, code points past U+10FFFF and, stateless, a
// sequence cut at the end), and only a file that is not UTF-8 is decoded again, in
// Windows-1252. A check before decoding would cost every valid file a second pass.
QString decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    text.clear(); // its memory before the second decoding's
    return decodeWindows1252(bytes);
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
