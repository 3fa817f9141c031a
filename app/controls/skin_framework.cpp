#include "app/controls/skin_framework.h"

#include "app/errors/runtime_failure.h"
#include "app/platform/platform.h"

#include <QStringDecoder>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// Skin files are a few kilobytes; anything this large is not one, and is refused before
// it is read into memory.
constexpr qint64 kLargestSkinFile = qint64{16} * 1024 * 1024;

RuntimeFailure invalidFileFormat()
{
    return RuntimeFailure(321, u"Invalid file format"_s);
}

} // namespace

SkinFramework::SkinFramework(QObject* parent) : QObject(parent)
{
    setObjectName(u"SkinFramework1"_s);
}

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

void SkinFramework::LoadSkin(const QString& path, const QString& part)
{
    if (!part.isEmpty())
        throw Failure::invalidProcedureCall();
    if (platform().fileLength(path) > kLargestSkinFile)
        throw invalidFileFormat();
    const QByteArray bytes = platform().readWholeFile(path);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString sheet = utf8.decode(bytes);
    if (utf8.hasError() || !isWellFormedStyleSheet(sheet))
        throw invalidFileFormat();
    m_styleSheet = std::move(sheet);
    m_loaded = true;
}

void SkinFramework::ApplyWindow(QWidget& window)
{
    if (m_loaded)
        window.setStyleSheet(m_styleSheet);
}

} // namespace velmora
