// The aligned export and the clipboard copy over random lists: one to four columns, a
// dozen rows at most, cells of spaces, tabs, Latin-1, characters the 8-bit code page cannot
// hold, NUL and surrogates, but never a line break. Some inputs also change the list in
// the middle (at a chosen yield) or lose a line of the file; those are held to what must
// survive any such change, the others to the exact layout.
#include "core/errors/runtime_failure.h"
#include "core/model/list_items.h"
#include "core/model/list_model.h"
#include "core/output/aligned_export.h"
#include "core/output/clipboard_copy.h"
#include "core/platform/ansi_code_page.h"
#include "gui/controls/progress_bar.h"

#include "harness.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

using velmora::fuzz::check;
using namespace Qt::StringLiterals;

namespace {

const QString kFile = u"Z:\\fuzz\\results.txt"_s;
const QString kEarlierClipboard = u"on the clipboard before"_s;

struct Table
{
    QStringList headings;
    QList<QStringList> cells; // per row, one per column
    QList<bool> checked;
};

// What reached the file: the lines as the export handed them over.
struct WrittenFile
{
    bool created = false;
    bool committed = false;
    bool lostLine = false;
    QStringList lines;
};

class MemoryFile : public velmora::TextFileWriter
{
public:
    MemoryFile(WrittenFile& into, int lostLine) : m_into(into), m_lostLine(lostLine) {}
    void writeLine(QStringView text) override
    {
        if (++m_lineCount == m_lostLine) {
            m_into.lostLine = true;
            throw velmora::Failure::diskFull();
        }
        m_into.lines.append(text.toString());
        // A line either code page holds reads back as it was; one it lacks a character of
        // leaves the writer's buffer as it was.
        for (const auto codePage : {velmora::CodePage::Windows1252, velmora::CodePage::Utf8}) {
            QByteArray bytes("before");
            if (velmora::appendCodePage(codePage, text, bytes))
                check(velmora::decodeCodePage(codePage, QByteArrayView(bytes).sliced(6)) == text,
                      "a line the code page holds reads back the same", text);
            else
                check(bytes == "before", "a line the code page cannot hold adds nothing", text);
        }
    }
    void close() override { m_into.committed = true; }

private:
    WrittenFile& m_into;
    int m_lostLine;
    int m_lineCount = 0;
};

QString cellText(FuzzedDataProvider& input)
{
    static constexpr char16_t kAlphabet[] = {
        u' ',   u' ',   u'\t', u'a', u'Z', u'0', u'.', u'\u00E9',
        0x20AC, // the euro sign: 0x80 in the code page
        0x0081, // undefined in the code page, kept as the control character
        0x0100, // not in the code page: written as '?'
        0xFEFF, 0x0000,
        0xD800, // an unpaired surrogate
    };
    constexpr int kLetters = sizeof kAlphabet / sizeof kAlphabet[0];
    QString text;
    const int length = input.ConsumeIntegralInRange(0, 10);
    for (int i = 0; i < length; ++i) {
        const int pick = input.ConsumeIntegralInRange(0, kLetters); // one past: a pair
        if (pick == kLetters)
            text.append(u"\U0001F600"_s); // two code units, one character: one '?'
        else
            text.append(QChar(kAlphabet[pick]));
    }
    return text;
}

// Headings come from a few fixed texts (shorter and longer than cells, with a trailing
// space, one the code page cannot hold), in one of four rotations, so that there are only
// sixteen sets of headings and their lists can be made up front and reused: the leak check
// that libFuzzer runs after every input that kept memory costs more than all the rest.
constexpr int kMostColumns = 4;
QStringList headingsFor(int columns, int rotation)
{
    static const QStringList kHeadings = {u"Results"_s, QString(), u"x "_s,
                                          u"\u0100 a heading wider than most cells"_s};
    QStringList headings;
    for (int c = 0; c < columns; ++c)
        headings.append(kHeadings[(rotation + c) % kHeadings.size()]);
    return headings;
}

Table tableFrom(FuzzedDataProvider& input)
{
    Table table;
    const int columns = input.ConsumeIntegralInRange(1, kMostColumns);
    table.headings = headingsFor(columns, input.ConsumeIntegralInRange(0, 3));
    const int rows = input.ConsumeIntegralInRange(0, 12);
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells.append(cellText(input));
        table.cells.append(cells);
        table.checked.append(input.ConsumeIntegralInRange(0, 3) != 0);
    }
    return table;
}

// A list as the export and the copy see it: the model and its two collections. No view:
// neither command reaches one, and a view laying out its rows after every input cost
// half of the run.
struct BareList
{
    velmora::ListModel model;
    velmora::ListItemCollection rows{&model};
    velmora::ColumnHeaderCollection headings{&model};

    velmora::ListItemCollection& items() { return rows; }
    velmora::ColumnHeaderCollection& columns() { return headings; }
};

// An empty list with these headings, the same one whenever the headings are the same.
BareList& emptyList(const QStringList& headings)
{
    static std::map<QStringList, std::unique_ptr<BareList>> lists;
    std::unique_ptr<BareList>& list = lists[headings];
    if (!list) {
        list = std::make_unique<BareList>();
        for (const QString& heading : headings)
            list->columns().add(heading);
    }
    list->items().clear();
    return *list;
}

void fill(BareList& list, const Table& table)
{
    for (qsizetype r = 0; r < table.cells.size(); ++r) {
        velmora::ListItem item = list.items().add(table.cells[r][0]);
        // An empty sub-item is left unset: the list reads it as empty all the same.
        for (qsizetype c = 1; c < table.cells[r].size(); ++c) {
            if (!table.cells[r][c].isEmpty())
                item.setSubItem(static_cast<int>(c), table.cells[r][c]);
        }
        item.setChecked(table.checked[r]);
    }
}

// The list as it stands (headings stay what they were).
Table tableOf(BareList& list, const QStringList& headings)
{
    Table table{headings, {}, {}};
    auto& rows = list.items();
    for (int r = 1; r <= rows.count(); ++r) {
        QStringList cells{rows.item(r).text()};
        for (qsizetype c = 1; c < headings.size(); ++c)
            cells.append(rows.item(r).subItem(static_cast<int>(c)));
        table.cells.append(cells);
        table.checked.append(rows.item(r).isChecked());
    }
    return table;
}

// Changes to the list at chosen yields, as other commands make them in the middle of a
// save or a copy: clearing, deleting a row, adding one, retyping one, unticking one.
void scheduleChanges(FuzzedDataProvider& input, velmora::test::FakePlatform& fake, BareList& list)
{
    const int changes = input.ConsumeIntegralInRange(0, 2);
    for (int i = 0; i < changes; ++i) {
        const int yield = input.ConsumeIntegralInRange(1, 80);
        const int kind = input.ConsumeIntegralInRange(0, 4);
        const int row = input.ConsumeIntegralInRange(1, 12);
        QString text = cellText(input) + u"longer than before"_s;
        fake.atYield[yield] = [&list, kind, row, text] {
            auto& rows = list.items();
            const bool exists = row <= rows.count();
            switch (kind) {
            case 0:
                rows.clear();
                break;
            case 1:
                if (exists)
                    rows.remove(row);
                break;
            case 2:
                rows.add(text);
                break;
            case 3:
                if (exists)
                    rows.item(row).setText(text);
                break;
            default:
                if (exists)
                    rows.item(row).setChecked(false);
                break;
            }
        };
    }
}

QString padded(const QStringList& cells, const QList<qsizetype>& widths)
{
    QString line;
    for (qsizetype c = 0; c < cells.size(); ++c)
        line += cells[c] + QString(widths[c] - cells[c].size(), u' ') + u'\t';
    return line;
}

QList<qsizetype> widthsOf(const Table& table, bool withHeadings)
{
    QList<qsizetype> widths;
    for (qsizetype c = 0; c < table.headings.size(); ++c) {
        qsizetype width = withHeadings ? table.headings[c].size() : 0;
        for (const QStringList& cells : table.cells)
            width = std::max(width, cells[c].size());
        widths.append(width);
    }
    return widths;
}

void checkExactFile(const Table& table, const WrittenFile& file)
{
    check(file.created && file.committed, "the file is created and completed");
    const QList<qsizetype> widths = widthsOf(table, true);
    QStringList expected{padded(table.headings, widths)};
    for (qsizetype r = 0; r < table.cells.size(); ++r) {
        if (table.checked[r])
            expected.append(padded(table.cells[r], widths));
    }
    check(file.lines.size() == expected.size(), "one line per checked row, plus the heading",
          file.lines.join(u'|'), expected.join(u'|'));
    for (qsizetype i = 0; i < expected.size(); ++i)
        check(file.lines[i] == expected[i],
              "cells padded to the longest of heading and cells, each followed by a tab",
              file.lines[i], expected[i]);
}

void checkExactClipboard(const Table& table, const velmora::test::FakePlatform& fake)
{
    if (table.cells.isEmpty()) {
        check(fake.clipboardText == kEarlierClipboard && fake.clipboardClearCalls == 0 &&
                  fake.clipboardSetCalls == 0,
              "an empty list leaves the clipboard alone", fake.clipboardText);
        return;
    }
    const QList<qsizetype> widths = widthsOf(table, false);
    QString expected;
    for (qsizetype r = 0; r < table.cells.size(); ++r) {
        if (!table.checked[r])
            continue;
        QString line = padded(table.cells[r], widths);
        line.chop(1);
        while (line.endsWith(u' '))
            line.chop(1);
        expected += line + u"\r\n"_s;
    }
    check(fake.clipboardHasText && fake.clipboardText == expected,
          "one line per checked row: cells padded to the longest cell, the last tab and "
          "trailing spaces off, CR LF",
          fake.clipboardText, expected);
}

// Whatever happened to the list meanwhile: no line holds a line break, and each one is
// either empty (a row that vanished) or ends in a tab.
void checkChangedFile(const WrittenFile& file)
{
    for (const QString& line : file.lines) {
        check(!line.contains(u'\n') && !line.contains(u'\r'), "no line holds a line break", line);
        check(line.isEmpty() || line.endsWith(u'\t'), "a written line ends in a tab", line);
    }
}

void checkChangedClipboard(const velmora::test::FakePlatform& fake, bool failed)
{
    if (failed || fake.clipboardSetCalls == 0) {
        check(fake.clipboardText == kEarlierClipboard && fake.clipboardClearCalls == 0,
              "a copy that fails, or finds no rows, leaves the clipboard alone",
              fake.clipboardText);
        return;
    }
    const QString& text = fake.clipboardText;
    check(text.isEmpty() || text.endsWith(u"\r\n"), "the copied text ends in CR LF", text);
    for (const QString& line : text.split(u"\r\n"_s)) {
        check(!line.contains(u'\n') && !line.contains(u'\r'),
              "CR LF between copied lines, nowhere else", text);
        check(!line.endsWith(u' '), "no copied line ends in a space", line);
    }
}

} // namespace

// The application starts before the first input, so none of its start-up counts as the
// work of an input.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    velmora::fuzz::platformDouble();
    for (int columns = 1; columns <= kMostColumns; ++columns) {
        for (int rotation = 0; rotation < 4; ++rotation)
            emptyList(headingsFor(columns, rotation));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    velmora::test::FakePlatform& fake = velmora::fuzz::freshPlatform();
    static velmora::ProgressBar* const bar = new velmora::ProgressBar;
    FuzzedDataProvider input(data, size);

    const Table table = tableFrom(input);
    BareList* const list = &emptyList(table.headings);
    fill(*list, table);

    // The save, perhaps with the list changing under it or a line that cannot be written.
    const bool withBar = input.ConsumeBool();
    const int lostLine =
        input.ConsumeIntegralInRange(0, 15) == 0 ? input.ConsumeIntegralInRange(1, 14) : 0;
    scheduleChanges(input, fake, *list);
    const bool listChanged = !fake.atYield.empty();
    WrittenFile file;
    fake.createTextFileHook = [&](const QString& path) {
        check(path == kFile, "the file is created under the name given");
        file.created = true;
        return std::make_unique<MemoryFile>(file, lostLine);
    };
    bar->setValue(55);
    try {
        velmora::output::saveAlignedText(list->items(), list->columns(), kFile,
                                         withBar ? bar : nullptr);
    } catch (...) {
        velmora::fuzz::fail("the export never passes a failure to its caller");
    }
    if (withBar)
        check(bar->value() == 0 && bar->text() == u"Progress Bar",
              "the bar ends at 0 and \"Progress Bar\"", bar->text());
    if (!listChanged && !file.lostLine) {
        check(fake.boxes.empty(), "a save that nothing disturbs shows no box",
              fake.boxes.empty() ? QString() : fake.boxes.front().text);
        checkExactFile(table, file);
    } else {
        checkChangedFile(file);
        if (file.lostLine)
            check(!file.committed && !fake.boxes.empty(),
                  "a file with a lost line is reported and never completed");
    }

    // The copy, of the list as the save left it, perhaps changing under it in turn.
    const Table now = tableOf(*list, table.headings);
    fake.yields = 0;
    fake.atYield.clear();
    fake.boxes.clear();
    scheduleChanges(input, fake, *list);
    const bool changedDuringCopy = !fake.atYield.empty();
    fake.clipboardText = kEarlierClipboard;
    fake.clipboardHasText = true;
    bool failed = false;
    try {
        velmora::output::copyToClipboard(list->items(), list->columns());
    } catch (const velmora::RuntimeFailure&) {
        failed = true; // the copy command reports it
    }
    check(fake.boxes.empty(), "the copy shows no box of its own");
    if (changedDuringCopy) {
        checkChangedClipboard(fake, failed);
    } else {
        check(!failed, "a copy that nothing disturbs succeeds");
        checkExactClipboard(now, fake);
    }

    list->items().clear();
    velmora::fuzz::finishInput();
    return 0;
}
