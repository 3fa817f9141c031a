#include "core/platform/ansi_code_page.h"

#include "core/platform/windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cctype>
#include <string>

namespace velmora {

namespace {

// Validity is checked before anything is decoded: the check is a fraction of the decoding's
// cost, and a file that fails it is decoded once, in Windows-1252, instead of twice.
QString decodeUtf8(QByteArrayView bytes)
{
    if (!bytes.isValidUtf8())
        return decodeWindows1252(bytes);
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                       QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool appendUtf8(QStringView text, QByteArray& bytes)
{
    const qsizetype before = bytes.size();
    bytes.resize(before + 3 * text.size()); // the most a UTF-16 unit takes
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const char* end = encoder.appendToBuffer(bytes.data() + before, text);
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
