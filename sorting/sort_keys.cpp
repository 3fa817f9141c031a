#include "sorting/sort_keys.h"

using namespace Qt::StringLiterals;

namespace velmora {

QStringList splitAtSpaces(const QString& line)
{
    if (line.isEmpty())
        return {};
    return line.split(u' ', Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QString numberedResult(int position, const QString& key)
{
    return QString::number(position) + u". "_s + key;
}

} // namespace velmora
