#include "app/formats/skin_file.h"

#include "app/errors/runtime_failure.h"
#include "app/platform/platform.h"

#include <QStringDecoder>

namespace velmora {

namespace {

// Skin files are a few kilobytes; anything this large is not one, and is refused before
// it is read into memory.
constexpr qint64 kLargestSkinFile = qint64{16} * 1024 * 1024;

} // namespace

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
