#include "core/formats/skin_file.h"

#include "core/errors/runtime_failure.h"
#include "core/platform/platform.h"

#include <QStringDecoder>

#include <algorithm>

namespace velmora {

namespace {

// Skin files are a few kilobytes; anything this large is not one, and is refused before
// it is read into memory.
constexpr qint64 kLargestSkinFile = qint64{16} * 1024 * 1024;

// Walks a style sheet past its comments and quoted texts: `plain(i)` is called for each
// character outside them and returns where the walk goes on (i, or the last character it
// took). False when a comment or quoted text is left open.
template <class Plain> bool walkStyleSheet(QStringView sheet, Plain&& plain)
{
    bool closed = true;
    for (qsizetype i = 0; i < sheet.size(); ++i) {
        const QChar c = sheet[i];
        if (c == u'/' && i + 1 < sheet.size() && sheet[i + 1] == u'*') {
            const qsizetype end = sheet.indexOf(u"*/", i + 2);
            closed = closed && end >= 0;
            i = end < 0 ? sheet.size() : end + 1;
        } else if (c == u'"' || c == u'\'') {
            qsizetype j = i + 1;
            while (j < sheet.size() && sheet[j] != c && sheet[j] != u'\n')
                j += sheet[j] == u'\\' ? 2 : 1;
            closed = closed && j < sheet.size() && sheet[j] == c;
            i = j;
        } else {
            i = plain(i);
        }
    }
    return closed;
}

// No NUL characters, comments and quoted strings closed, braces balanced.
bool isWellFormedStyleSheet(QStringView sheet)
{
    int depth = 0;
    bool balanced = true; // and no NUL
    const bool closed = walkStyleSheet(sheet, [&](qsizetype i) {
        if (sheet[i] == u'\0' || (sheet[i] == u'}' && --depth < 0))
            balanced = false;
        else if (sheet[i] == u'{')
            ++depth;
        return i;
    });
    return closed && balanced && depth == 0;
}

} // namespace

QString renameTypeSelector(QStringView sheet, QStringView from, QStringView to)
{
    const auto partOfName = [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'#';
    };
    QString renamed;
    renamed.reserve(sheet.size());
    int depth = 0;
    qsizetype copied = 0; // sheet[copied, i) is still to be copied
    walkStyleSheet(sheet, [&](qsizetype i) {
        if (sheet[i] == u'{') {
            ++depth;
        } else if (sheet[i] == u'}') {
            --depth;
        } else if (depth == 0 && sheet.sliced(i).startsWith(from) &&
                   (i == 0 || !partOfName(sheet[i - 1])) &&
                   (i + from.size() == sheet.size() || !partOfName(sheet[i + from.size()]))) {
            renamed += sheet.sliced(copied, i - copied);
            renamed += to;
            copied = i + from.size();
            return copied - 1;
        }
        return i;
    });
    if (copied == 0)
        return sheet.toString();
    renamed += sheet.sliced(std::min(copied, sheet.size()));
    return renamed;
}

QString readSkinFile(const QString& path)
{
    if (platform().fileLength(path) > kLargestSkinFile)
        throw Failure::invalidFileFormat();
    const QByteArray bytes = platform().readWholeFile(path);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString sheet = utf8.decode(bytes);
    if (utf8.hasError() || !isWellFormedStyleSheet(sheet))
        throw Failure::invalidFileFormat();
    return sheet;
}

} // namespace velmora
