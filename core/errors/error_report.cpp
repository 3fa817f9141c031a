#include "core/errors/error_report.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {
ErrorBoxDisplay g_display = nullptr;
}

QString ErrorLocation::text() const
{
    QString text = u"in "_s;
    text.append(kProjectName).append(u'.').append(module);
    if (!procedure.isEmpty())
        text.append(u'.').append(procedure);
    return text.append(u' ');
}

QString errorMessage(const QString& description, const ErrorLocation& location, int line)
{
    QString message = description;
    message.append(u"\r\n")
        .append(location.text())
        .append(u"at line ")
        .append(QString::number(line));
    message.append(u"\r\rPlease email screenshot of this message to ").append(kSupportEmailAddress);
    return message;
}

void reportFailure(const QString& description, const ErrorLocation& location, int line)
{
    if (!g_display)
        qFatal("No error box: installing a platform installs it");
    g_display(errorMessage(description, location, line));
}

void installErrorBoxDisplay(ErrorBoxDisplay display)
{
    g_display = display;
}

} // namespace velmora
