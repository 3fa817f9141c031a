// A file's bytes through the reading and the line rules of loading into a list. The bytes
// are served from memory through the platform double, so every input is one whole file.
#include "core/input/file_helpers.h"
#include "core/input/load_list.h"
#include "gui/controls/list_view.h"

#include "harness.h"
#include "reference_utf8.h"

#include <cstddef>
#include <cstdint>
#include <optional>

using velmora::fuzz::check;
using namespace Qt::StringLiterals;

namespace {

const QString kPath = u"Z:\\fuzz\\list.txt"_s;

// The text the file must read as, worked out byte by byte from the reading rules: FF FE
// is UTF-16 little-endian, FE FF big-endian, the mark stays as U+FEFF, a final odd byte is
// U+FFFD. Null for the ANSI code page, which is checked on its own below.
std::optional<QString> utf16Reading(const QByteArray& bytes)
{
    if (bytes.size() < 2)
        return std::nullopt;
    const auto byte = [&](qsizetype i) { return static_cast<std::uint8_t>(bytes[i]); };
    bool littleEndian = false;
    if (byte(0) == 0xFF && byte(1) == 0xFE)
        littleEndian = true;
    else if (!(byte(0) == 0xFE && byte(1) == 0xFF))
        return std::nullopt;
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const std::uint16_t unit =
            littleEndian ? byte(i) | (byte(i + 1) << 8) : (byte(i) << 8) | byte(i + 1);
        text.append(QChar(static_cast<char16_t>(unit)));
    }
    if (bytes.size() % 2 != 0)
        text.append(QChar::ReplacementCharacter);
    return text;
}

void checkReading(const QByteArray& bytes, const QString& text, velmora::CodePage codePage)
{
    if (bytes.isEmpty()) {
        check(text == u"empty file", "a zero-length file reads as \"empty file\"", text);
        return;
    }
    if (const std::optional<QString> expected = utf16Reading(bytes)) {
        check(text == *expected, "UTF-16 is read unit by unit, mark kept", text, *expected);
        return;
    }
    if (const auto utf8 = velmora::test::fromStrictUtf8(bytes);
        utf8 && codePage == velmora::CodePage::Utf8) {
        check(text == *utf8, "valid UTF-8 is read as UTF-8, its mark kept", text, *utf8);
        QByteArray back;
        check(velmora::appendCodePage(codePage, text, back) && back == bytes,
              "UTF-8 read writes back the same", text);
        return;
    }
    // Windows-1252, and UTF-8 that is not valid: one character per byte, Latin-1 outside
    // 0x80..0x9F, and nothing lost on the way (writing the text back gives the same bytes).
    check(text.size() == bytes.size(), "an 8-bit file gives one character per byte", text);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        if (b < 0x80 || b >= 0xA0)
            check(text[i].unicode() == b, "bytes outside 0x80..0x9F are Latin-1", text);
    }
    QByteArray back;
    check(velmora::appendCodePage(velmora::CodePage::Windows1252, text, back) && back == bytes,
          "the code page maps bytes one to one", text);
}

bool blank(QStringView line)
{
    for (QChar c : line) {
        if (c != u' ')
            return false;
    }
    return true;
}

// The items, in order, must be exactly the non-blank lines of the text: each one a whole
// line (it starts after a line feed or at the start, ends at a line feed or the end), and
// between them, before the first and after the last, nothing but spaces and line feeds.
void checkItems(const QString& text, const QStringList& items)
{
    const QString lines = QString(text).remove(u'\r'); // const: reading it never detaches
    const auto rest = [&lines](qsizetype from) { return QStringView(lines).sliced(from); };
    qsizetype done = 0; // the text before this is accounted for
    for (const QString& item : items) {
        check(!blank(item), "no item is empty or only spaces", item);
        check(!item.contains(u'\n') && !item.contains(u'\r'), "no item holds a line break", item);

        qsizetype firstContent = done;
        while (firstContent < lines.size() &&
               (lines[firstContent] == u' ' || lines[firstContent] == u'\n'))
            ++firstContent;
        // The item's line starts after the last line feed of the gap; its own leading
        // spaces belong to it.
        const qsizetype lastFeed = QStringView(lines).first(firstContent).lastIndexOf(u'\n');
        const qsizetype start = lastFeed >= done ? lastFeed + 1 : done;
        check(start == 0 || lines[start - 1] == u'\n', "an item is a whole line, from its start",
              item, rest(start));
        check(rest(start).startsWith(item), "items are the lines of the file, in order, unchanged",
              item, rest(start));
        done = start + item.size();
        check(done == lines.size() || lines[done] == u'\n', "an item is a whole line, to its end",
              item, rest(start));
    }
    check(blank(lines.sliced(done).remove(u'\n')),
          "every line that holds more than spaces is loaded", rest(done));
}

} // namespace

// The application starts before the first input, so none of its start-up counts as the
// work of an input.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    velmora::fuzz::platformDouble();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    velmora::test::FakePlatform& fake = velmora::fuzz::freshPlatform();
    static velmora::ListView* const list = new velmora::ListView;

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    fake.modificationTimeReadableHook = [](const QString& path) { return path == kPath; };
    fake.fileLengthHook = [&](const QString&) { return static_cast<qint64>(bytes.size()); };
    // Every read gives new bytes, as reading a file does.
    fake.readWholeFileHook = [data, size](const QString&) {
        return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    };

    // Read in both code pages; loaded in the one the first byte picks.
    for (const auto codePage : {velmora::CodePage::Windows1252, velmora::CodePage::Utf8}) {
        fake.codePage = codePage;
        checkReading(bytes, velmora::input::readFileText(kPath), codePage);
    }
    fake.codePage =
        size > 0 && data[0] % 2 == 0 ? velmora::CodePage::Utf8 : velmora::CodePage::Windows1252;
    const QString text = velmora::input::readFileText(kPath);

    // Loading appends: what the list held before stays in front.
    list->items().clear();
    list->items().add(u"held before"_s);
    velmora::input::loadListFromFile(list->items(), kPath);
    check(fake.boxes.empty(), "an existing file loads without a message box");

    auto& rows = list->items();
    check(rows.count() >= 1 && rows.item(1).text() == u"held before",
          "loading keeps the items already in the list");
    QStringList items;
    for (int r = 2; r <= rows.count(); ++r)
        items.append(rows.item(r).text());
    checkItems(text, items);

    list->items().clear();
    velmora::fuzz::finishInput();
    return 0;
}
