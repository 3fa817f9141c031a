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

// No NUL characters, comments and quoted strings closed, braces balanced.
bool isWellFormedStyleSheet(QStringView sheet)
{
    int depth = 0;
    for (qsizetype i = 0; i < sheet.size(); ++i) {
        const QChar c = sheet[i];
        if (c == u'\0')
            return false;
        if (c == u'/' && i + 1 < sheet.size() && sheet[i + 1] == u'*') {
            const qsizetype end = sheet.indexOf(u"*/", i + 2);
            if (end < 0)
                return false;
            i = end + 1;
        } else if (c == u'"' || c == u'\'') {
            qsizetype j = i + 1;
            while (j < sheet.size() && sheet[j] != c && sheet[j] != u'\n') {
                if (sheet[j] == u'\\')
                    ++j;
                ++j;
            }
            if (j >= sheet.size() || sheet[j] != c)
                return false;
            i = j;
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}') {
            if (--depth < 0)
                return false;
        }
    }
    return depth == 0;
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
    for (qsizetype i = 0; i < sheet.size(); ++i) {
        const QChar c = sheet[i];
        if (c == u'/' && i + 1 < sheet.size() && sheet[i + 1] == u'*') {
            const qsizetype end = sheet.indexOf(u"*/", i + 2);
            i = end < 0 ? sheet.size() : end + 1;
        } else if (c == u'"' || c == u'\'') {
            qsizetype j = i + 1;
            while (j < sheet.size() && sheet[j] != c && sheet[j] != u'\n')
                j += sheet[j] == u'\\' ? 2 : 1;
            i = j;
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}') {
            --depth;
        } else if (depth == 0 && sheet.sliced(i).startsWith(from) &&
                   (i == 0 || !partOfName(sheet[i - 1])) &&
                   (i + from.size() == sheet.size() || !partOfName(sheet[i + from.size()]))) {
            renamed += sheet.sliced(copied, i - copied);
            renamed += to;
            copied = i + from.size();
            i = copied - 1;
        }
    }
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
