#include "core/input/load_list.h"

#include "core/input/file_helpers.h"
#include "core/model/list_items.h"
#include "core/platform/platform.h"
#include "core/threads/two_parts.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmora::input {

namespace {

// Only U+0020 makes a line blank; a tab or any other white space is content. A CR is not
// part of the line at all (see keptLines()).
bool holdsMoreThanSpaces(QStringView line)
{
    for (QChar c : line) {
        if (c != u' ' && c != u'\r')
            return true;
    }
    return false;
}

// The kept lines of the part [begin, end) of the text `file` holds, a part that starts a
// line and ends one.
TextColumn keptLinesOf(const TextColumn& file, QStringView all, qsizetype begin, qsizetype end,
                       bool anyCarriageReturn, qsizetype room = 0)
{
    TextColumn lines;
    lines.reserve(room);
    lines.holdBlocksOf(file);
    for (qsizetype start = begin; start < end;) {
        const qsizetype feed = all.indexOf(u'\n', start);
        const qsizetype stop = feed < 0 || feed >= end ? end : feed;
        QStringView line = all.sliced(start, stop - start);
        start = stop + 1;
        if (!holdsMoreThanSpaces(line))
            continue;
        if (anyCarriageReturn && line.endsWith(u'\r'))
            line.chop(1); // CR LF: the line as it stands in the text
        if (anyCarriageReturn && line.contains(u'\r')) {
            QString joined = line.toString(); // rare: a line cut by CRs alone runs together
            joined.remove(u'\r');
            lines.append(joined);
        } else {
            lines.appendView(line);
        }
    }
    return lines;
}

// The lines of a file's text that hold more than spaces, in order; every CR is dropped
// first, so CR LF and LF files give the same items and CR-only lines run together. The
// lines are views of the text itself, which they hold, so a kept line costs one view and
// a skipped one nothing; only a line with a CR inside is copied. Each half of a big text
// is cut on a thread of its own, the halves meeting at a line end, into room for as many
// lines as it has line feeds, counted first: the front half's room takes the back half's
// lines too. Grown row by row instead, the lists' arrays would be copied as they grow,
// and their fresh memory, which large pages make cheap, written a page at a time.
TextColumn keptLines(QString text)
{
    TextColumn file;
    const QStringView all = file.holdBlock(std::move(text));
    const qsizetype feed = all.indexOf(u'\n', all.size() / 2);
    if (all.size() < kTwoThreadsFrom || feed < 0)
        return keptLinesOf(file, all, 0, all.size(), all.contains(u'\r'));
    std::array<qsizetype, 2> feeds{};
    std::array<bool, 2> carriageReturns{};
    inTwoParts(0, feed + 1, all.size(), [&](qsizetype begin, qsizetype end) {
        qsizetype feedCount = 0;
        bool carriageReturn = false;
        for (const QChar c : all.sliced(begin, end - begin)) {
            feedCount += c == u'\n';
            carriageReturn |= c == u'\r';
        }
        feeds[halfBeginningAt(begin)] = feedCount;
        carriageReturns[halfBeginningAt(begin)] = carriageReturn;
    });
    const bool anyCarriageReturn = carriageReturns[0] || carriageReturns[1];
    const std::array<qsizetype, 2> room{feeds[0] + feeds[1] + 1, feeds[1] + 1};
    std::array<TextColumn, 2> halves;
    inTwoParts(0, feed + 1, all.size(), [&](qsizetype begin, qsizetype end) {
        const std::size_t half = halfBeginningAt(begin);
        halves[half] = keptLinesOf(file, all, begin, end, anyCarriageReturn, room[half]);
    });
    halves[0].append(std::move(halves[1]));
    return std::move(halves[0]);
}

} // namespace

void loadListFromFile(ListItemCollection& items, const QString& path)
{
    if (!input::fileExists(path)) {
        platform().messageBox(u"File not found"_s);
        return;
    }
    // Reading, decoding and cutting a big file take seconds, and nothing may run between
    // them: they run beside the window, which meanwhile only repaints.
    TextColumn lines;
    platform().runWhileRepainting([&] { lines = keptLines(input::readFileText(path)); });
    // The lines join the list as one block. Without the memory for that, they are added one
    // by one, as far as memory goes.
    if (!items.addAll(lines)) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            items.add(lines.at(i));
    }
}

} // namespace velmora::input
