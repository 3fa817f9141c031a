#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>

// The text order written out plainly, apart from the program's own: UTF-16 code units
// compared one by one as numbers. The sort tests measure the program against it.
namespace velmora::test {

inline bool codeUnitsLess(const QString& a, const QString& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](QChar x, QChar y) { return x.unicode() < y.unicode(); });
}

// The keys in that order by the standard library's stable sort.
inline QStringList stablySorted(QStringList keys)
{
    std::stable_sort(keys.begin(), keys.end(), codeUnitsLess);
    return keys;
}

} // namespace velmora::test
