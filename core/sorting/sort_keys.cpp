#include "core/sorting/sort_keys.h"

#include <QStringBuilder>

#include <array>
#include <charconv>
#include <new>

namespace velmora::sorting {

namespace {
constexpr QStringView kCounterEnd = u". ";
} // namespace

QStringList splitAtSpaces(QStringView line)
{
    QStringList pieces;
    if (line.isEmpty())
        return pieces;
    for (const QStringView piece : line.split(u' ', Qt::KeepEmptyParts))
        pieces.append(piece.toString());
    return pieces;
}

qsizetype appendPiecesOfLines(const TextColumn& lines, TextColumn& keys)
{
    keys.holdBlocksOf(lines);
    for (qsizetype done = 0; done < lines.size(); ++done) {
        const QStringView line = lines.at(done);
        if (line.isEmpty())
            continue;
        const qsizetype keysBefore = keys.size();
        try {
            for (const QStringView piece : line.tokenize(u' ', Qt::KeepEmptyParts))
                keys.appendView(piece);
        } catch (const std::bad_alloc&) {
            keys.truncate(keysBefore);
            return done;
        }
    }
    return lines.size();
}

QString numberedResult(int position, QStringView key)
{
    // Built in one allocation of the exact size: appending piece by piece leaves spare
    // capacity in every result, about 40 MB over a million numbered results.
    return QString::number(position) % kCounterEnd % key;
}

TextColumn numberedResults(const TextColumn& keys)
{
    // The counters are written into one buffer that each result then goes into, not made
    // as a string each: ten million results would cost ten million allocations.
    std::array<char, 16> digits{};
    qsizetype units = 0;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const auto end = std::to_chars(digits.begin(), digits.end(), i + 1).ptr;
        units += (end - digits.begin()) + kCounterEnd.size() + keys.at(i).size();
    }
    TextColumn results;
    results.reserve(keys.size());
    results.reserveCharacters(units);
    QString result;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const auto end = std::to_chars(digits.begin(), digits.end(), i + 1).ptr;
        result.truncate(0);
        result.append(QLatin1StringView(digits.begin(), end));
        result.append(kCounterEnd);
        result.append(keys.at(i));
        results.append(result);
    }
    return results;
}

} // namespace velmora::sorting
