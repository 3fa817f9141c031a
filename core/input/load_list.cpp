#include "core/input/load_list.h"

#include "core/input/file_helpers.h"
#include "core/model/list_items.h"
#include "core/platform/platform.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace velmora::input {

namespace {

// Only U+0020 makes a line blank; a tab or any other white space is content.
bool holdsMoreThanSpaces(QStringView line)
{
    for (QChar c : line) {
        if (c != u' ')
            return true;
    }
    return false;
}

// The lines of a file's text that hold more than spaces, in order: views of the text
// itself, which the lines hold, so a kept line costs one view and a skipped one nothing.
TextColumn keptLines(QString text)
{
    text.remove(u'\r'); // CR LF and LF files give the same items; CR-only lines run together
    TextColumn lines;
    const QStringView all = lines.holdBlock(std::move(text));
    lines.reserve(all.count(u'\n') + 1);
    qsizetype start = 0;
    for (;;) {
        const qsizetype feed = all.indexOf(u'\n', start);
        const qsizetype end = feed < 0 ? all.size() : feed;
        const QStringView line = all.sliced(start, end - start);
        if (holdsMoreThanSpaces(line))
            lines.appendView(line);
        if (feed < 0)
            return lines;
        start = feed + 1;
    }
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
