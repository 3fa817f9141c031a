#include "input/load_list.h"

#include "app/model/list_items.h"
#include "app/platform/platform.h"
#include "input/file_helpers.h"

#include <limits>

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

} // namespace

void loadListFromFile(ListItemCollection& items, const QString& path)
{
    if (!input::fileExists(path)) {
        platform().messageBox(u"File not found"_s);
        return;
    }
    QString text = input::readFileText(path);
    text.remove(u'\r'); // CR LF and LF files give the same items; CR-only lines run together

    // Lines are cut straight out of the text: each kept line costs one string, and the
    // skipped ones cost nothing.
    const QStringView all(text);
    // Room for every line at once when the file at least doubles the list; smaller files
    // leave the growth to the list, so loading many small files stays linear.
    const qsizetype lines = all.count(u'\n') + 1;
    if (lines > items.count() && items.count() + lines <= std::numeric_limits<int>::max())
        items.reserve(static_cast<int>(items.count() + lines));
    qsizetype start = 0;
    for (;;) {
        const qsizetype feed = all.indexOf(u'\n', start);
        const qsizetype end = feed < 0 ? all.size() : feed;
        const QStringView line = all.sliced(start, end - start);
        if (holdsMoreThanSpaces(line))
            items.add(line.toString());
        if (feed < 0)
            break;
        start = feed + 1;
    }
}

} // namespace velmora::input
