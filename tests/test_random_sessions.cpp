// Seeded random sessions of the real main window. Each session starts the window on the
// test platform, under a UTF-8 code page or Windows-1252, then plays about forty user actions
// drawn at random: loading files of every kind the loader meets (UTF-8 ones, valid or not,
// too), the sample, the options and the counter box, Start Sorting, Delete in either list,
// clearing, saving (in UTF-16 when the code page lacks a character), copying and Help, with
// other commands pressed inside the yields of the sort, the save and the copy, and while
// the sort's keys are ranked. Buttons are clicked and keys pressed as real input events,
// dialogs answered from a script. After every action the window is compared with a plain
// model of what each command does: both lists, every message box, the saved files, the
// clipboard, the progress bar and the pointer.
//
// A finding prints its seed and the actions up to it; it replays alone with
//   QT_QPA_PLATFORM=offscreen VELMORA_SESSION_SEED=<seed> build-test/tests/test_random_sessions
// VELMORA_SESSIONS sets how many sessions run (seeds counting up from VELMORA_SESSION_SEED,
// 1 by default) and VELMORA_SESSION_ACTIONS the actions in each; scripts/random_sessions.sh
// runs many.
#include "fake_platform.h"
#include "reference_utf8.h"
#include "test_helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

// ---------------------------------------------------------------------------------------
// The model: what each command does, written as plainly as possible, with no code of the
// program's own.

const QStringList kSample = {u"Watch your cash."_s,
                             u"Pick founders carefully."_s,
                             u"Hire generalists early."_s,
                             u"Hire specialists later."_s,
                             u"Invest in culture."_s,
                             u"Avoid tempting distractions."_s,
                             u"Support customers maniacally."_s,
                             u"Avoid business plans."_s,
                             u"Write a blog."_s,
                             u"Never fudge numbers."_s,
                             u"Encourage diverse thinking."_s,
                             u"Guard your time."_s};

const QString kTitle = u"Velmora"_s;
const QString kErrorTitle = u"Application Error"_s;
const QString kHelpText =
    u"Questions? Please contact Team Tarnwick at https://www.velmora.example/contact"_s;
const QString kCopiedText =
    u"Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    u"and press Ctrl+V to paste the clipboard."_s;
const QString kLoadPlace = u"in Pevrant2021/08/31.Form1.PushButton3_Click "_s;
const QString kCopyPlace = u"in Pevrant2021/08/31.Form1.PushButton5_Click "_s;
const QString kWriterPlace = u"in Pevrant2021/08/31.SortArray.SaveListviewProperlySpaced "_s;

QString errorText(const QString& description, const QString& place, int line)
{
    return description + u"\r\n"_s + place + u"at line "_s + QString::number(line) +
           u"\r\rPlease email screenshot of this message to support@velmora.example"_s;
}

// Code unit by code unit; a proper prefix is smaller.
bool unitsLess(const QString& a, const QString& b)
{
    const ushort* x = a.utf16();
    const ushort* y = b.utf16();
    return std::lexicographical_compare(x, x + a.size(), y, y + b.size());
}

// Line mode: every item is a key. Word mode: every item cut at each U+0020, empty pieces
// kept, an empty item giving none.
QStringList keysOf(const QStringList& items, bool words)
{
    if (!words)
        return items;
    QStringList keys;
    for (const QString& item : items) {
        if (item.isEmpty())
            continue;
        QString piece;
        for (QChar c : item) {
            if (c == u' ') {
                keys.append(piece);
                piece.clear();
            } else {
                piece.append(c);
            }
        }
        keys.append(piece);
    }
    return keys;
}

// The passes a textbook bubble sort makes over these keys: the sort yields once in each.
int bubblePasses(QStringList keys)
{
    int passes = 0;
    bool swapped = true;
    while (swapped) {
        ++passes;
        swapped = false;
        for (qsizetype i = 0; i + 1 < keys.size(); ++i) {
            if (unitsLess(keys[i + 1], keys[i])) {
                keys.swapItemsAt(i, i + 1);
                swapped = true;
            }
        }
    }
    return passes;
}

QStringList resultsOf(QStringList keys, bool counter)
{
    std::stable_sort(keys.begin(), keys.end(), unitsLess);
    if (counter) {
        for (qsizetype i = 0; i < keys.size(); ++i)
            keys[i] = QString::number(i + 1) + u". "_s + keys[i];
    }
    return keys;
}

// Windows-1252 bytes 0x80 to 0x9F; the undefined ones stay the control character.
const char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// What a file holds as text: UTF-16 after a complete FF FE (little-endian) or FE FF
// (big-endian) mark, the mark kept and half a final unit shown as U+FFFD; otherwise, under
// UTF-8, UTF-8 when it is valid (its mark kept as U+FEFF), and Windows-1252 for the rest. A
// zero-length file reads as the words "empty file".
QString fileText(const QByteArray& bytes, bool utf8)
{
    if (bytes.isEmpty())
        return u"empty file"_s;
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    QString text;
    const bool le = bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE;
    const bool be = bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF;
    if (le || be) {
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            text.append(QChar(le ? char16_t(byte(i) | byte(i + 1) << 8)
                                 : char16_t(byte(i) << 8 | byte(i + 1))));
        if (bytes.size() % 2 != 0)
            text.append(QChar(0xFFFD));
        return text;
    }
    if (const std::optional<QString> decoded = utf8 ? fromStrictUtf8(bytes) : std::nullopt)
        return *decoded;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text.append(QChar(byte(i) >= 0x80 && byte(i) < 0xA0 ? kHigh1252[byte(i) - 0x80]
                                                            : char16_t(byte(i))));
    return text;
}

// The loader: carriage returns dropped, lines cut at line feeds, lines of nothing but
// spaces skipped, the others kept as they are.
QStringList loadedItems(const QByteArray& bytes, bool utf8)
{
    QStringList items;
    for (const QString& line : fileText(bytes, utf8).remove(u'\r').split(u'\n')) {
        if (!QString(line).remove(u' ').isEmpty())
            items.append(line);
    }
    return items;
}

// A saved file's bytes: the code page's when it holds every character of the text (UTF-8
// holds all but a lone surrogate), else UTF-16 little-endian after the FF FE mark.
QByteArray encodedFile(const QString& text, bool utf8)
{
    QByteArray bytes;
    bool held = true;
    for (qsizetype i = 0; i < text.size() && held; ++i) {
        const char16_t c = text[i].unicode();
        const bool pair =
            QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (utf8) {
            held = pair || !QChar::isSurrogate(c);
            i += pair ? 1 : 0;
        } else if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes.append(static_cast<char>(c));
        } else {
            const auto at = std::find(std::begin(kHigh1252), std::end(kHigh1252), c);
            held = at != std::end(kHigh1252);
            bytes.append(static_cast<char>(0x80 + (at - kHigh1252)));
        }
    }
    if (held)
        return utf8 ? text.toUtf8() : bytes;
    bytes = "\xFF\xFE";
    for (QChar c : text)
        bytes +=
            QByteArray{static_cast<char>(c.unicode() & 0xFF), static_cast<char>(c.unicode() >> 8)};
    return bytes;
}

// The saved file: the heading and every row padded to the widest of them, each followed by
// a tab and CR LF.
QByteArray savedFile(const QStringList& results, bool utf8)
{
    qsizetype width = 7; // "Results"
    for (const QString& row : results)
        width = std::max(width, row.size());
    QString text;
    for (const QString& cell : QStringList{u"Results"_s} + results)
        text += cell + QString(width - cell.size(), u' ') + u"\t\r\n"_s;
    return encodedFile(text, utf8);
}

// A save during which the results change at the save's own yield `changeAt` (counting
// from 1; 0 for never): the file, and the writer's failures (step and description) in
// order. The loops keep the row count they read as they began, so a row that has gone
// fails where it is read: twice while the widths are measured (leaving the width as it
// was), and on the way out at its checked test, then twice more for its cell (the line is
// written empty); with no row left at all the row's progress value divides by zero.
struct SaveOutcome
{
    QByteArray file;
    std::vector<std::pair<int, QString>> failures;
};

SaveOutcome saveWhileChanging(const QStringList& before, int changeAt, const QStringList& after,
                              bool utf8)
{
    const QString gone = u"Index out of bounds"_s;
    SaveOutcome outcome;
    QStringList rows = before;
    int yields = 0;
    const auto pump = [&] {
        if (++yields == changeAt)
            rows = after;
    };
    const auto fail = [&](int step, const QString& description) {
        outcome.failures.emplace_back(step, description);
    };
    pump(); // before the bar's first value
    pump();
    qsizetype width = 7; // "Results"
    const qsizetype measured = rows.size();
    for (qsizetype r = 0; r < measured; ++r) {
        pump();
        if (r < rows.size()) {
            width = std::max(width, rows[r].size());
        } else {
            fail(126, gone);
            fail(128, gone);
        }
    }
    pump();
    pump();
    pump(); // the heading's cell
    QString text = u"Results"_s + QString(width - 7, u' ') + u"\t\r\n"_s;
    pump();
    pump();
    const qsizetype written = rows.size();
    for (qsizetype r = 0; r < written; ++r) {
        pump();
        if (r >= rows.size())
            fail(188, gone);
        pump(); // the cell
        if (r < rows.size()) {
            const QString& cell = rows[r];
            text += cell + QString(std::max<qsizetype>(0, width - cell.size()), u' ') + u'\t';
        } else {
            fail(196, gone);
            fail(198, gone);
        }
        pump();
        if (rows.isEmpty())
            fail(214, u"Division by zero"_s);
        pump();
        text += u"\r\n"_s;
    }
    outcome.file = encodedFile(text, utf8);
    return outcome;
}

// The clipboard: each row without its trailing spaces, CR LF after each.
QString copiedText(const QStringList& results)
{
    QString text;
    for (QString row : results) {
        while (row.endsWith(u' '))
            row.chop(1);
        text += row + u"\r\n"_s;
    }
    return text;
}

// ---------------------------------------------------------------------------------------
// The session.

// A text as a report shows it: control and other unprintable characters escaped, and cut
// short when long.
QString shown(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == u'\r')
            out += u"\\r"_s;
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            out += u"\\u%1"_s.arg(c.unicode(), 4, 16, QChar(u'0'));
        else
            out += c;
        if (out.size() > 300)
            return out + u"..."_s;
    }
    return out;
}

struct ExpectedBox
{
    QString text;
    MsgBoxIcon icon;
    QString title;
};

struct Model
{
    QStringList input;
    QStringList results;
    bool words = false;
    bool counter = false;
    int pointer = 0;
    QString clipboard;
    bool clipboardHasText = false;
    int clipboardRefusals = 0;
    std::vector<ExpectedBox> boxes;
    std::map<QString, QByteArray> savedFiles; // the save folder, by file name
    bool utf8 = false;                        // the host's code page: UTF-8, or Windows-1252
};

// A command pressed inside a yield of a running sort or save.
enum class Nested
{
    ClearResults,
    ClearText,
    StartSorting,
    LoadSample,
    DeleteInput,
    DeleteResults,
    Counter,
    Option,
    Copy,
    Help,
    Save,
    Load,
};

// How often each kind of event came up over all sessions, for the run's summary.
using Tally = std::map<QString, long long>;

class Session
{
public:
    Session(std::uint64_t seed, Tally& counts) : m_seed(seed), m_random(seed), m_tally(counts)
    {
        QDir(m_dir.path()).mkdir(u"in"_s);
        QDir(m_dir.path()).mkdir(u"out"_s);
        m_inFolder = m_dir.filePath(u"in"_s);
        m_outFolder = m_dir.filePath(u"out"_s);
    }

    // Plays the session; the first difference from the model ends it with a report.
    std::optional<QString> play(int actions);
    int actionsPlayed() const { return m_actions; }

private:
    // Random choices.
    std::uint64_t next() { return m_random(); }
    int pick(int count) { return static_cast<int>(next() % static_cast<std::uint64_t>(count)); }
    int between(int low, int high) { return low + pick(high - low + 1); }
    bool chance(int percent) { return pick(100) < percent; }

    // Files for the loader.
    QByteArray randomLineBytes();
    QString randomLineUnits();
    QByteArray randomUtf8File(int lines, const std::function<QByteArray(int)>& lineEnd,
                              QString& kind);
    QByteArray randomFile(QString& kind);
    QString newInputFile(QString& kind);

    // Input as the user gives it.
    bool moveTo(QPoint position);
    bool moveOnto(QWidget* widget);
    void click(QWidget* button, bool setsHourglass = false);
    bool pressDelete(ListView* list, QStringList& items);

    // Actions; each updates the model as the command should.
    void load();
    void sort();
    void save();
    void copy();
    void deleteRow();
    void doubleClickRow();
    void expectCopy(const QStringList& results);
    void clickButton(CommandButton* button);
    void runNested(Nested what);
    QString nestedName(Nested what) const;
    Nested randomNested(bool inSave);
    int nestedYields(Nested what) const;

    void expectBox(const QString& text, MsgBoxIcon icon = MsgBoxIcon::None,
                   const QString& title = kTitle)
    {
        m_model.boxes.push_back({text, icon, title});
    }
    void expectError(const QString& description, const QString& place, int line)
    {
        expectBox(errorText(description, place, line), MsgBoxIcon::Exclamation, kErrorTitle);
    }
    void log(const QString& action) { m_log.append(action); }
    void tally(const QString& event) { ++m_tally[event]; }
    void problem(const QString& what) { m_problems.append(what); }
    void compareLists(const char* name, ListView* list, const QStringList& expected);
    void check();
    QString report() const;

    FakePlatform& fake() { return m_shown.scope.fake; }
    MainWindow& form() { return m_shown.form; }

    std::uint64_t m_seed;
    std::mt19937_64 m_random;
    Tally& m_tally;
    QTemporaryDir m_dir;
    QString m_inFolder;
    QString m_outFolder;
    ShownForm m_shown;
    Model m_model;
    QStringList m_log;
    QStringList m_problems;
    int m_fileNumber = 0;
    int m_actions = 0; // played so far, not counting those pressed inside another
    std::size_t m_boxesChecked = 0;
    QPoint m_mouseAt{-1, -1}; // in the window, where the last move left the mouse
};

// A line of an 8-bit file: words, digits, runs of spaces, tabs and high bytes; never a
// line break.
QByteArray Session::randomLineBytes()
{
    static const char* const words[] = {
        "apple", "Apple", "banana split", "10", "9", "kiwi", "Zebra", "a", "b", "x", "ab"};
    QByteArray line;
    const int pieces = between(0, 5);
    for (int i = 0; i < pieces; ++i) {
        switch (pick(6)) {
        case 0:
        case 1:
            line += words[pick(std::size(words))];
            break;
        case 2:
            line += QByteArray(between(1, 3), ' ');
            break;
        case 3:
            line += '\t';
            break;
        case 4:
            line += static_cast<char>(between(0x80, 0xFF));
            break;
        default:
            line += static_cast<char>(between('A', 'z'));
        }
    }
    return line;
}

// A line of a UTF-16 file: code units of every kind, a character outside the basic plane,
// a lone surrogate and a NUL among them; never a line break.
QString Session::randomLineUnits()
{
    static const char16_t units[] = {u'a',   u'B',   u'z',   u'0',   u'9',   u' ',
                                     u' ',   u'\t',  0x00E9, 0x20AC, 0x4E2D, 0xFEFF,
                                     0x00A0, 0x0000, 0xD800, 0x0153, 0x0178, 0xFFFD};
    QString line;
    const int count = between(0, 8);
    for (int i = 0; i < count; ++i) {
        if (chance(8))
            line += u"\U0001F600"_s;
        else
            line += QChar(units[pick(std::size(units))]);
    }
    return line;
}

QByteArray Session::randomFile(QString& kind)
{
    static const char* const ends[] = {"\n", "\r\n", "\r"};
    const int type = pick(13);
    if (type == 0) {
        kind = u"empty"_s;
        return {};
    }
    if (type == 1) {
        kind = u"binary junk"_s;
        QByteArray junk;
        const int size = between(1, 60);
        for (int i = 0; i < size; ++i)
            junk += chance(30) ? '\0' : static_cast<char>(pick(256));
        return junk;
    }
    const int lines = between(0, 12);
    const int endKind = pick(4); // LF, CR LF, CR alone, or a mixture
    const bool finalEnd = chance(60);
    const auto lineEnd = [&] { return QByteArray(ends[endKind == 3 ? pick(3) : endKind]); };
    const auto blank = [&] { return chance(50) ? QByteArray() : QByteArray(between(1, 4), ' '); };
    static const char* const endNames[] = {"LF", "CR LF", "CR", "mixed"};
    const QString endName = QString::fromLatin1(endNames[endKind]);
    if (type <= 6) {
        kind = u"ANSI, %1 lines, ends %2"_s.arg(lines).arg(endName);
        QByteArray bytes;
        for (int i = 0; i < lines; ++i) {
            bytes += chance(20) ? blank() : randomLineBytes();
            if (i + 1 < lines || finalEnd)
                bytes += lineEnd();
        }
        return bytes;
    }
    if (type >= 10) {
        const QByteArray bytes = randomUtf8File(
            lines, [&](int i) { return i + 1 < lines || finalEnd ? lineEnd() : QByteArray(); },
            kind);
        kind += u", %1 lines, ends %2"_s.arg(lines).arg(endName);
        return bytes;
    }
    const bool big = type == 9;
    const bool odd = chance(25);
    kind = u"UTF-16 %1, %2 lines, ends %3%4"_s.arg(big ? u"BE"_s : u"LE"_s)
               .arg(lines)
               .arg(endName)
               .arg(odd ? u", odd final byte"_s : QString());
    QString text(QChar(0xFEFF));
    for (int i = 0; i < lines; ++i) {
        text += chance(20) ? QString::fromLatin1(blank()) : randomLineUnits();
        if (i + 1 < lines || finalEnd)
            text += QString::fromLatin1(lineEnd());
    }
    QByteArray bytes;
    for (QChar c : text) {
        const auto low = static_cast<char>(c.unicode() & 0xFF);
        const auto high = static_cast<char>(c.unicode() >> 8);
        bytes += big ? QByteArray{high, low} : QByteArray{low, high};
    }
    if (odd)
        bytes += static_cast<char>(between('A', 'Z'));
    return bytes;
}

// A file of UTF-8 lines (the characters of a UTF-16 file's but a lone surrogate), now and
// then with the mark in front, and now and then spoilt by one piece that is not UTF-8: a
// lone E9 as Windows-1252 writes "é", an overlong form, a surrogate encoded, a code
// point past U+10FFFF, or a sequence cut short at the end of the file.
QByteArray Session::randomUtf8File(int lines, const std::function<QByteArray(int)>& lineEnd,
                                   QString& kind)
{
    static const char* const spoilers[] = {
        "\xE9", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xE6\x97"};
    const bool mark = chance(30);
    const int spoiler = chance(40) ? pick(static_cast<int>(std::size(spoilers))) : -1;
    kind = spoiler < 0   ? u"UTF-8"_s
           : spoiler < 5 ? u"UTF-8 with a piece that is not"_s
                         : u"UTF-8 cut short"_s;
    if (mark)
        kind += u" with the mark"_s;
    QByteArray bytes = mark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    const int spoiltLine = spoiler >= 0 && spoiler < 5 ? pick(std::max(lines, 1)) : -1;
    for (int i = 0; i < lines; ++i) {
        QString line = randomLineUnits();
        line.replace(QChar(0xD800), QChar(0x0416)); // a lone surrogate is no UTF-8
        bytes += line.toUtf8();
        if (i == spoiltLine)
            bytes += spoilers[spoiler];
        bytes += lineEnd(i);
    }
    if (spoiler >= 5 || (spoiler >= 0 && lines == 0))
        bytes += spoilers[spoiler];
    return bytes;
}

// Writes a new file into the input folder; returns its name.
QString Session::newInputFile(QString& kind)
{
    const QString name = (chance(20) ? u"list %1.txt"_s : u"f%1.txt"_s).arg(++m_fileNumber);
    writeTestFile(QDir(m_inFolder).filePath(name), randomFile(kind));
    return name;
}

// True when the mouse moved: a move to where it already is reaches no handler.
bool Session::moveTo(QPoint position)
{
    QTest::mouseMove(form().windowHandle(), position);
    return std::exchange(m_mouseAt, position) != position;
}

bool Session::moveOnto(QWidget* widget)
{
    return moveTo(widget->mapTo(&form(), widget->rect().center()));
}

// The mouse goes onto the button, then clicks it: the hand shows unless a command is busy.
// A long command shows the hourglass from its start; its yields see it.
void Session::click(QWidget* button, bool setsHourglass)
{
    if (moveOnto(button) && qobject_cast<CommandButton*>(button) && m_model.pointer != 11)
        m_model.pointer = 99;
    if (setsHourglass)
        m_model.pointer = 11;
    QTest::mouseClick(button, Qt::LeftButton);
}

// Selects a random row (or none) and presses Delete, perhaps with Ctrl or Shift, or now and
// then Backspace, which removes nothing. True when a row should have gone.
bool Session::pressDelete(ListView* list, QStringList& items)
{
    QCoreApplication::sendPostedEvents(list->model(), QEvent::MetaCall);
    list->clearSelection();
    const int row = items.isEmpty() || chance(10) ? -1 : pick(static_cast<int>(items.size()));
    if (row >= 0)
        list->setCurrentIndex(list->model()->index(row, 0));
    const bool backspace = chance(5);
    static const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ControlModifier,
                                                      Qt::ShiftModifier};
    QTest::keyClick(list, backspace ? Qt::Key_Backspace : Qt::Key_Delete, modifiers[pick(3)]);
    const bool changed = !backspace && row >= 0 && m_model.pointer != 11;
    if (changed)
        items.removeAt(row);
    log(u"    %1 on row %2 of %3%4"_s.arg(backspace ? u"Backspace"_s : u"Delete"_s)
            .arg(row + 1)
            .arg(list == form().inputList ? u"Input"_s : u"Results"_s)
            .arg(changed ? QString() : u" (nothing removed)"_s));
    return changed;
}

void Session::load()
{
    const int how = pick(12);
    QString answer;
    QStringList chosen; // names in the input folder, in the dialog's order
    QString description;
    QString vanishing; // a chosen file deleted between the dialog and its read
    bool ownHook = false;
    QStringList earlier; // the chosen files read before it
    const QString folder = toWindowsPath(m_inFolder);

    if (how == 0) {
        description = u"cancelled"_s;
    } else if (how == 1) {
        chosen = {u"missing%1.txt"_s.arg(++m_fileNumber)};
        description = u"a name that does not exist"_s;
    } else {
        const int count = how < 8 ? 1 : between(2, 4);
        QStringList kinds;
        for (int i = 0; i < count; ++i) {
            QString kind;
            chosen.append(newInputFile(kind));
            kinds.append(chosen.back() + u": "_s + kind);
        }
        if (count > 1 && chance(30))
            chosen.insert(pick(static_cast<int>(chosen.size())),
                          u"missing%1.txt"_s.arg(++m_fileNumber));
        description = kinds.join(u"; "_s);
        // Now and then one of them is deleted between the dialog and its read: as its own
        // read starts (at its length or its bytes), or while an earlier one is read.
        const QStringList present = chosen.filter(QRegularExpression(u"^(?!missing)"_s));
        if (chance(15)) {
            vanishing = present[pick(static_cast<int>(present.size()))];
            tally(u"files vanishing as they are loaded"_s);
            earlier = present.mid(0, present.indexOf(vanishing));
            ownHook = earlier.isEmpty() || chance(50);
            description += u"; %1 vanishes %2"_s.arg(
                vanishing, ownHook ? u"as it is read"_s : u"while an earlier file is read"_s);
        }
    }
    if (!chosen.isEmpty())
        answer = chosen.size() == 1 ? folder + u'\\' + chosen.front()
                                    : (QStringList{folder} + chosen).join(QChar(u'\0'));
    log(u"Load Text From File: "_s + description);

    if (!vanishing.isEmpty()) {
        const QString hostPath = QDir(m_inFolder).filePath(vanishing);
        const QString trigger = ownHook ? vanishing : earlier[pick(int(earlier.size()))];
        // An empty file's bytes are never read, only its length.
        const bool atLength =
            chance(50) || QFileInfo(QDir(m_inFolder).filePath(trigger)).size() == 0;
        const auto remove = [hostPath, trigger](const QString& path) {
            if (path.endsWith(u'\\' + trigger))
                QFile::remove(hostPath);
        };
        if (atLength) {
            fake().fileLengthHook = [this, remove](const QString& path) {
                remove(path);
                return fake().real().fileLength(path);
            };
        } else {
            fake().readWholeFileHook = [this, remove](const QString& path) {
                remove(path);
                return fake().real().readWholeFile(path);
            };
        }
    }

    fake().openAnswers.append(answer);
    click(form().loadTextFromFileButton);
    fake().fileLengthHook = nullptr;
    fake().readWholeFileHook = nullptr;

    if (answer.isEmpty())
        return; // cancelled: nothing changes but the hand over the button
    m_model.input.clear();
    for (const QString& name : chosen) {
        const QString hostPath = QDir(m_inFolder).filePath(name);
        if (name.startsWith(u"missing"_s) || (name == vanishing && !ownHook)) {
            expectBox(u"File not found"_s);
        } else if (name == vanishing) {
            // There when asked for, gone when read: the read fails and is reported.
            expectError(u"File not found"_s, kLoadPlace, chosen.size() == 1 ? 120 : 126);
        } else {
            QFile file(hostPath);
            file.open(QIODevice::ReadOnly);
            m_model.input += loadedItems(file.readAll(), m_model.utf8);
        }
    }
    m_model.pointer = 0;
}

QString Session::nestedName(Nested what) const
{
    switch (what) {
    case Nested::ClearResults:
        return u"Clear Results"_s;
    case Nested::ClearText:
        return u"Clear Text"_s;
    case Nested::StartSorting:
        return u"Start Sorting"_s;
    case Nested::LoadSample:
        return u"Load Sample"_s;
    case Nested::DeleteInput:
        return u"Delete in Input"_s;
    case Nested::DeleteResults:
        return u"Delete in Results"_s;
    case Nested::Counter:
        return u"the counter box"_s;
    case Nested::Option:
        return u"the other option"_s;
    case Nested::Copy:
        return u"Copy Results"_s;
    case Nested::Help:
        return u"Help"_s;
    case Nested::Save:
        return u"Save Results"_s;
    case Nested::Load:
        return u"Load Text From File"_s;
    }
    return {};
}

// A save inside a sort writes a new file; in a save, the only commands that change the
// results are Clear Results and Start Sorting (Delete is held back while it runs).
Nested Session::randomNested(bool inSave)
{
    static const Nested inSort[] = {
        Nested::ClearResults, Nested::ClearText,     Nested::StartSorting, Nested::LoadSample,
        Nested::DeleteInput,  Nested::DeleteResults, Nested::Counter,      Nested::Option,
        Nested::Copy,         Nested::Help,          Nested::Save,         Nested::Load};
    static const Nested inASave[] = {
        Nested::ClearResults, Nested::ClearText,     Nested::StartSorting, Nested::LoadSample,
        Nested::DeleteInput,  Nested::DeleteResults, Nested::Counter,      Nested::Option,
        Nested::Copy,         Nested::Help,          Nested::Load};
    if (inSave && chance(40)) // the ones that take rows away from under the writer
        return chance(50) ? Nested::ClearResults : Nested::StartSorting;
    return inSave ? inASave[pick(std::size(inASave))] : inSort[pick(std::size(inSort))];
}

// The yields the command makes of its own: a sort one per pass, a copy one per cell measured
// and per row and cell built.
int Session::nestedYields(Nested what) const
{
    if (what == Nested::StartSorting)
        return bubblePasses(keysOf(m_model.input, m_model.words));
    if (what == Nested::Copy)
        return 3 * static_cast<int>(m_model.results.size());
    if (what == Nested::Save)
        return 7 + 5 * static_cast<int>(m_model.results.size());
    return 0;
}

// Runs a command inside a yield and updates the model as it should.
void Session::runNested(Nested what)
{
    switch (what) {
    case Nested::ClearResults:
        click(form().clearResultsButton);
        m_model.results.clear();
        break;
    case Nested::ClearText:
        click(form().clearTextButton);
        if (m_model.pointer != 11)
            m_model.input.clear();
        break;
    case Nested::StartSorting: {
        const QStringList keys = keysOf(m_model.input, m_model.words);
        click(form().startSortingButton, true);
        m_model.results = resultsOf(keys, m_model.counter);
        m_model.pointer = 0;
        break;
    }
    case Nested::LoadSample:
        click(form().loadSampleTextButton);
        m_model.input += kSample;
        break;
    case Nested::DeleteInput:
        pressDelete(form().inputList, m_model.input);
        break;
    case Nested::DeleteResults:
        pressDelete(form().resultList, m_model.results);
        break;
    case Nested::Counter:
        click(form().counterCheck);
        m_model.counter = !m_model.counter;
        break;
    case Nested::Option:
        click(m_model.words ? static_cast<QWidget*>(form().sortLinesOption)
                            : form().sortWordsOption);
        m_model.words = !m_model.words;
        break;
    case Nested::Copy: {
        const QStringList results = m_model.results;
        click(form().copyResultsButton);
        expectCopy(results);
        break;
    }
    case Nested::Help:
        click(form().helpButton);
        expectBox(kHelpText);
        break;
    case Nested::Load: {
        // It does not yield, and ends with the arrow: whatever was busy is no longer shown so.
        QString kind;
        const QString name = newInputFile(kind);
        log(u"    "_s + name + u": "_s + kind);
        fake().openAnswers.append(toWindowsPath(QDir(m_inFolder).filePath(name)));
        click(form().loadTextFromFileButton, true);
        QFile file(QDir(m_inFolder).filePath(name));
        file.open(QIODevice::ReadOnly);
        m_model.input = loadedItems(file.readAll(), m_model.utf8);
        m_model.pointer = 0;
        break;
    }
    case Nested::Save: {
        const QString name = u"inner%1.txt"_s.arg(++m_fileNumber);
        const QStringList results = m_model.results;
        fake().saveAnswers.append(toWindowsPath(QDir(m_outFolder).filePath(name)));
        click(form().saveResultsButton, true);
        m_model.savedFiles[name] = savedFile(results, m_model.utf8);
        m_model.pointer = 0;
        break;
    }
    }
}

void Session::sort()
{
    const QStringList keys = keysOf(m_model.input, m_model.words);
    const int passes = bubblePasses(keys);
    log(u"Start Sorting: %1 %2 keys, %3 passes%4"_s.arg(m_model.words ? u"word"_s : u"line"_s)
            .arg(keys.size())
            .arg(passes)
            .arg(m_model.counter ? u", counting"_s : QString()));

    // Up to two commands pressed inside the sort's yields, at the start of passes k1 <= k2,
    // or while its keys are ranked on another thread (pass 0), before its first yield.
    std::vector<std::pair<int, Nested>> nested;
    if (chance(40)) {
        const int count = chance(70) ? 1 : 2;
        for (int i = 0; i < count; ++i)
            nested.emplace_back(chance(10) ? 0 : between(1, passes), randomNested(false));
        std::sort(nested.begin(), nested.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    std::size_t fired = 0;
    int expectedYields = passes;
    const int before = fake().yields;
    std::function<void()> fire = [&] {
        const int pass = nested[fired].first;
        // At the start of a pass the bar shows the last value of the pass before: 100 once
        // a pass has compared three or more keys, else still 0. The old results stay.
        const double bar = pass >= 2 && keys.size() >= 3 ? 100.0 : 0.0;
        if (form().progressBar->value() != bar)
            problem(u"at the yield of pass %1 the bar is %2, expected %3"_s.arg(pass)
                        .arg(form().progressBar->value())
                        .arg(bar));
        do {
            const Nested what = nested[fired].second;
            tally(pass == 0 ? u"commands while a sort's keys are ranked"_s
                            : u"commands inside a sort's yields"_s);
            log(u"  %1: %2"_s.arg(pass == 0 ? u"while its keys are ranked"_s
                                            : u"at pass %1"_s.arg(pass),
                                  nestedName(what)));
            if (form().mousePointerValue() != m_model.pointer)
                problem(u"pointer %1 before it, expected %2"_s.arg(form().mousePointerValue())
                            .arg(m_model.pointer));
            compareLists("results before it", form().resultList, m_model.results);
            expectedYields += nestedYields(what);
            runNested(what);
            ++fired;
            compareLists("input after it", form().inputList, m_model.input);
            compareLists("results after it", form().resultList, m_model.results);
        } while (fired < nested.size() && nested[fired].first == pass);
        if (fired < nested.size())
            fake().atYield[fake().yields + nested[fired].first - pass] = fire;
    };
    if (!nested.empty() && nested.front().first == 0)
        fake().whileWorking[fake().backgroundRuns + 1] = fire; // while the keys are ranked
    else if (!nested.empty())
        fake().atYield[before + nested.front().first] = fire;

    click(form().startSortingButton, true);
    fake().atYield.clear();
    fake().whileWorking.clear();

    // The mode was read as the sort began, the counter box as the results are written.
    m_model.results = resultsOf(keys, m_model.counter);
    m_model.pointer = 0;
    if (fired != nested.size())
        problem(u"only %1 of the %2 commands inside the sort ran"_s.arg(fired).arg(nested.size()));
    if (fake().yields - before != expectedYields)
        problem(u"%1 yields, expected %2"_s.arg(fake().yields - before).arg(expectedYields));
}

void Session::save()
{
    const int how = pick(10);
    QString name;
    QString hostFolder = m_outFolder;
    if (how == 0) {
        log(u"Save Results As Text File: cancelled"_s);
        click(form().saveResultsButton);
        return;
    }
    if (how == 1) {
        hostFolder = QDir(m_outFolder).filePath(u"no such folder"_s);
        name = u"out.txt"_s;
    } else if (how <= 4 && !m_model.savedFiles.empty()) {
        auto file = m_model.savedFiles.begin();
        std::advance(file, pick(static_cast<int>(m_model.savedFiles.size())));
        name = file->first;
    } else if (how == 5) {
        name = u"old%1.txt"_s.arg(++m_fileNumber); // another program's file, replaced
        QString kind;
        const QByteArray old = randomFile(kind);
        writeTestFile(QDir(m_outFolder).filePath(name), old);
        m_model.savedFiles[name] = old;
    } else {
        name = (chance(20) ? u"results%1"_s : u"out%1.txt"_s).arg(++m_fileNumber);
    }
    const bool missingFolder = how == 1;
    const bool exists = !missingFolder && m_model.savedFiles.count(name) != 0;
    const QString hostPath = QDir(hostFolder).filePath(name);
    log(u"Save Results As Text File: %1 rows to %2%3"_s.arg(m_model.results.size())
            .arg(name)
            .arg(missingFolder ? u" in a folder that does not exist"_s
                 : exists      ? u", over the file there"_s
                               : QString()));

    // Now and then a command pressed in one of its yields: 7 of them, one per row measured,
    // and four per row written.
    std::optional<std::pair<int, Nested>> nested;
    const int rows = static_cast<int>(m_model.results.size());
    if (!missingFolder && chance(40))
        nested.emplace(between(1, 7 + 5 * rows), randomNested(true));
    const int before = fake().yields;
    const QByteArray old = exists ? m_model.savedFiles[name] : QByteArray("<no file>");
    const QStringList results = m_model.results;
    QStringList resultsAfter = results;
    bool fired = false;
    if (nested) {
        fake().atYield[before + nested->first] = [&] {
            fired = true;
            tally(u"commands inside a save's yields"_s);
            const int k = nested->first;
            log(u"  at its yield %1: %2"_s.arg(k).arg(nestedName(nested->second)));
            // Yield 1 is before the bar is touched; 2 to 3 + rows come while the widths are
            // measured (value 1), then 10, and 20 from the yield before the first row.
            const QString text = k == 1 ? u"Progress Bar"_s : u"Writing file: "_s + name;
            const double value = k == 1 ? 0 : k <= 3 + rows ? 1 : k <= 6 + rows ? 10 : 20;
            if (form().progressBar->text() != text ||
                (k <= 7 + rows && form().progressBar->value() != value))
                problem(u"the bar shows %1 \"%2\", expected %3 \"%4\""_s
                            .arg(form().progressBar->value())
                            .arg(form().progressBar->text())
                            .arg(value)
                            .arg(text));
            if (fileContents(hostPath) != old)
                problem(u"the file changed before the save ended"_s);
            runNested(nested->second);
            resultsAfter = m_model.results;
        };
    }
    fake().saveAnswers.append(toWindowsPath(hostPath));
    click(form().saveResultsButton, true);
    fake().atYield.clear();
    if (nested && !fired)
        problem(u"the command inside the save did not run"_s);

    m_model.pointer = 0;
    if (missingFolder) {
        // Nothing to write to: the creation fails, then each line and the closing.
        expectError(u"Path not found"_s, kWriterPlace, 156);
        expectError(u"Object required"_s, kWriterPlace, 170);
        for (int r = 0; r < results.size(); ++r)
            expectError(u"Object required"_s, kWriterPlace, 222);
        expectError(u"Object required"_s, kWriterPlace, 232);
        if (QFileInfo::exists(hostFolder))
            problem(u"a folder appeared"_s);
    } else {
        const SaveOutcome outcome =
            saveWhileChanging(results, nested ? nested->first : 0, resultsAfter, m_model.utf8);
        if (!outcome.failures.empty())
            tally(u"saves meeting rows gone"_s);
        for (const auto& [step, description] : outcome.failures)
            expectError(description, kWriterPlace, step);
        if (outcome.file.startsWith("\xFF\xFE") && !results.value(0).startsWith(QChar(0xFEFF)))
            tally(u"saves in UTF-16, for a character the code page lacks"_s);
        m_model.savedFiles[name] = outcome.file;
    }
}

void Session::copy()
{
    if (chance(25)) {
        static const int refusals[] = {1, 5, 999, 1000, 1001, 1999, 2000, 3000};
        m_model.clipboardRefusals = refusals[pick(std::size(refusals))];
        fake().clipboardRefusals = m_model.clipboardRefusals;
    }
    log(u"Copy Results To Clipboard: %1 rows, the clipboard refusing %2 attempts"_s
            .arg(m_model.results.size())
            .arg(m_model.clipboardRefusals));

    // Now and then a command pressed in one of its yields (one per row measured, then one
    // per row and cell built). The copy sets no hourglass, so Delete and Clear Text act.
    const QStringList results = m_model.results;
    const int rows = static_cast<int>(results.size());
    std::optional<std::pair<int, Nested>> nested;
    if (rows > 0 && chance(25)) {
        static const Nested inACopy[] = {
            Nested::ClearResults, Nested::DeleteResults, Nested::DeleteResults,
            Nested::LoadSample,   Nested::ClearText,     Nested::DeleteInput,
            Nested::Counter,      Nested::Option,        Nested::Help};
        nested.emplace(between(1, 3 * rows), inACopy[pick(std::size(inACopy))]);
    }
    bool fired = false;
    if (nested) {
        fake().atYield[fake().yields + nested->first] = [&] {
            fired = true;
            tally(u"commands inside a copy's yields"_s);
            log(u"  at its yield %1: %2"_s.arg(nested->first).arg(nestedName(nested->second)));
            runNested(nested->second);
        };
    }
    click(form().copyResultsButton);
    fake().atYield.clear();
    if (nested && !fired)
        problem(u"the command inside the copy did not run"_s);

    // A row taken away meanwhile is missing when its turn comes, since the loops keep the
    // count they began with: the copy stops there and leaves the clipboard alone.
    if (m_model.results.size() < rows) {
        tally(u"copies meeting rows gone"_s);
        expectError(u"Index out of bounds"_s, kCopyPlace, 106);
        expectBox(kCopiedText);
    } else {
        expectCopy(results);
    }
}

// What a copy of these results leaves on the clipboard, and its confirmation.
void Session::expectCopy(const QStringList& results)
{
    if (!results.isEmpty()) {
        // Up to 1000 attempts to clear it, then up to 1000 to set the text; each refusal
        // uses up one attempt, and an attempt that goes through ends the retrying.
        int& refusals = m_model.clipboardRefusals;
        if (refusals >= 1000) {
            refusals -= 1000;
        } else {
            refusals = 0;
            m_model.clipboard.clear();
            m_model.clipboardHasText = false;
        }
        if (refusals >= 1000) {
            refusals -= 1000;
        } else {
            refusals = 0;
            m_model.clipboard = copiedText(results);
            m_model.clipboardHasText = true;
        }
    }
    expectBox(kCopiedText);
}

void Session::deleteRow()
{
    log(u"Delete key"_s);
    if (chance(50))
        pressDelete(form().inputList, m_model.input);
    else
        pressDelete(form().resultList, m_model.results);
}

// Despite the lists' tool tip, a double-click removes nothing and edits nothing.
void Session::doubleClickRow()
{
    ListView* list = chance(50) ? form().inputList : form().resultList;
    QCoreApplication::sendPostedEvents(list->model(), QEvent::MetaCall);
    const int rows = list->model()->rowCount();
    log(u"a double-click in %1"_s.arg(list->objectName()));
    if (rows == 0)
        return;
    const QRect row = list->visualRect(list->model()->index(pick(rows), 0));
    if (!row.isValid() || !list->viewport()->rect().contains(row.center()))
        return; // scrolled out of sight
    // Through the window, as the user's mouse does: it first moves there (the arrow).
    const QPoint at = list->viewport()->mapTo(&form(), row.center());
    if (moveTo(at))
        m_model.pointer = 0;
    QTest::mouseDClick(form().windowHandle(), Qt::LeftButton, {}, at);
}

void Session::clickButton(CommandButton* button)
{
    log(button->text());
    click(button);
    if (button == form().loadSampleTextButton)
        m_model.input += kSample;
    else if (button == form().clearTextButton)
        m_model.input.clear();
    else if (button == form().clearResultsButton)
        m_model.results.clear();
    else if (button == form().helpButton)
        expectBox(kHelpText);
}

void Session::compareLists(const char* name, ListView* list, const QStringList& expected)
{
    const QStringList actual = itemTexts(list);
    if (actual != expected) {
        problem(u"%1: %2 items, expected %3"_s.arg(QLatin1StringView(name))
                    .arg(actual.size())
                    .arg(expected.size()));
        for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
            if (actual.value(i) != expected.value(i) || i >= actual.size() ||
                i >= expected.size()) {
                problem(u"  first difference at %1: \"%2\", expected \"%3\""_s.arg(i + 1)
                            .arg(shown(actual.value(i, u"<none>"_s)))
                            .arg(shown(expected.value(i, u"<none>"_s))));
                break;
            }
        }
    }
}

// What the user can see and check once an action is over.
void Session::check()
{
    compareLists("input list", form().inputList, m_model.input);
    compareLists("result list", form().resultList, m_model.results);
    // The views show what the lists hold once their rows have been announced.
    for (ListView* list : {form().inputList, form().resultList}) {
        QCoreApplication::sendPostedEvents(list->model(), QEvent::MetaCall);
        const QStringList& expected = list == form().inputList ? m_model.input : m_model.results;
        if (list->model()->rowCount() != expected.size()) {
            problem(u"%1 shows %2 rows, expected %3"_s.arg(list->objectName())
                        .arg(list->model()->rowCount())
                        .arg(expected.size()));
            continue;
        }
        for (int row = 0; row < expected.size(); ++row) {
            if (list->model()->index(row, 0).data().toString() != expected[row]) {
                problem(u"%1 shows row %2 wrongly"_s.arg(list->objectName()).arg(row + 1));
                break;
            }
        }
    }
    if (FakePlatform::eventsInsideRepaintOnlyWork != 0)
        problem(u"%1 events delivered inside work that must not yield"_s.arg(
            std::exchange(FakePlatform::eventsInsideRepaintOnlyWork, 0)));
    if (form().sortWordsOption->isChecked() != m_model.words ||
        form().sortLinesOption->isChecked() == m_model.words ||
        (form().counterCheck->checkState() == Qt::Checked) != m_model.counter)
        problem(u"the options or the counter box changed"_s);

    const auto& boxes = fake().boxes;
    if (boxes.size() != m_model.boxes.size())
        problem(
            u"%1 message boxes in all, expected %2"_s.arg(boxes.size()).arg(m_model.boxes.size()));
    for (std::size_t i = m_boxesChecked; i < std::min(boxes.size(), m_model.boxes.size()); ++i) {
        const ExpectedBox& want = m_model.boxes[i];
        if (boxes[i].text != want.text || boxes[i].title != want.title ||
            boxes[i].icon != want.icon) {
            problem(u"box %1: \"%2\" titled \"%3\", expected \"%4\" titled \"%5\""_s.arg(i + 1).arg(
                shown(boxes[i].text), boxes[i].title, shown(want.text), want.title));
            break;
        }
    }
    for (std::size_t i = m_model.boxes.size(); i < boxes.size(); ++i)
        problem(u"unexpected box: \"%1\""_s.arg(shown(boxes[i].text)));
    m_boxesChecked = boxes.size();

    const QStringList present =
        QDir(m_outFolder).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot);
    QStringList expectedNames;
    for (const auto& [name, bytes] : m_model.savedFiles)
        expectedNames.append(name);
    expectedNames.sort();
    QStringList presentSorted = present;
    presentSorted.sort();
    if (presentSorted != expectedNames)
        problem(u"the save folder holds %1, expected %2"_s.arg(presentSorted.join(u", "_s),
                                                               expectedNames.join(u", "_s)));
    for (const auto& [name, bytes] : m_model.savedFiles) {
        const QByteArray actual = fileContents(QDir(m_outFolder).filePath(name));
        if (actual == bytes)
            continue;
        // Shown from a little before the first byte that differs.
        qsizetype at = 0;
        while (at < actual.size() && at < bytes.size() && actual[at] == bytes[at])
            ++at;
        const qsizetype from = std::max<qsizetype>(0, at - 20);
        problem(u"%1 differs from byte %2: \"%3\", expected \"%4\""_s.arg(name).arg(at).arg(
            shown(QString::fromLatin1(actual.mid(from))),
            shown(QString::fromLatin1(bytes.mid(from)))));
    }

    if (fake().clipboardText != m_model.clipboard ||
        fake().clipboardHasText != m_model.clipboardHasText)
        problem(u"the clipboard holds \"%1\", expected \"%2\""_s.arg(shown(fake().clipboardText),
                                                                     shown(m_model.clipboard)));
    if (fake().clipboardRefusals != m_model.clipboardRefusals)
        problem(u"the clipboard has %1 refusals left, expected %2"_s.arg(fake().clipboardRefusals)
                    .arg(m_model.clipboardRefusals));
    if (form().progressBar->value() != 0.0 || form().progressBar->text() != u"Progress Bar"_s)
        problem(u"the bar rests at %1 \"%2\""_s.arg(form().progressBar->value())
                    .arg(form().progressBar->text()));
    if (form().mousePointerValue() != m_model.pointer)
        problem(u"the pointer is %1, expected %2"_s.arg(form().mousePointerValue())
                    .arg(m_model.pointer));
    // No hand image is loaded, so the hand shows as the arrow.
    const Qt::CursorShape shape = m_model.pointer == 11 ? Qt::WaitCursor : Qt::ArrowCursor;
    if (form().cursor().shape() != shape)
        problem(u"the pointer's shape is %1"_s.arg(int(form().cursor().shape())));
}

QString Session::report() const
{
    QString text =
        u"session seed %1 differs from the model after action %2:\n"_s.arg(m_seed).arg(m_actions);
    for (const QString& problem : m_problems)
        text += u"  ! "_s + problem + u'\n';
    text += u"actions:\n"_s;
    for (const QString& action : m_log)
        text += u"  "_s + action + u'\n';
    text += u"replay: QT_QPA_PLATFORM=offscreen VELMORA_SESSION_SEED=%1 %2"_s.arg(m_seed).arg(
        QCoreApplication::applicationFilePath());
    return text;
}

std::optional<QString> Session::play(int actions)
{
    if (!QTest::qWaitForWindowExposed(&form()))
        return u"the window never showed"_s;
    // The host's code page: a UTF-8 locale's, or Windows-1252.
    m_model.utf8 = chance(50);
    fake().codePage = m_model.utf8 ? CodePage::Utf8 : CodePage::Windows1252;
    log(m_model.utf8 ? u"code page UTF-8"_s : u"code page Windows-1252"_s);
    // The mouse starts on the background, wherever the last session left it.
    moveTo(QPoint(3, 3));
    check();
    for (int i = 0; i < actions && m_problems.isEmpty(); ++i) {
        ++m_actions;
        tally(u"actions"_s);
        const int what = pick(100);
        if (what < 18)
            load();
        else if (what < 24)
            clickButton(form().loadSampleTextButton);
        else if (what < 30) {
            const bool words = chance(50);
            log(words ? u"the option Sort Each Word"_s : u"the option Sort Each Line"_s);
            click(words ? static_cast<QWidget*>(form().sortWordsOption) : form().sortLinesOption);
            m_model.words = words;
        } else if (what < 35) {
            log(u"the counter box"_s);
            click(form().counterCheck);
            m_model.counter = !m_model.counter;
        } else if (what < 55)
            sort();
        else if (what < 65)
            deleteRow();
        else if (what < 69)
            clickButton(form().clearTextButton);
        else if (what < 73)
            clickButton(form().clearResultsButton);
        else if (what < 84)
            save();
        else if (what < 92)
            copy();
        else if (what < 94)
            clickButton(form().helpButton);
        else if (what < 96)
            doubleClickRow();
        else {
            // The mouse leaves the buttons: the arrow again.
            log(u"the mouse onto a list or the background"_s);
            static const int places = 3;
            const int place = pick(places);
            const bool moved =
                place == 0
                    ? moveTo(QPoint(3, 3))
                    : moveOnto((place == 1 ? form().inputList : form().resultList)->viewport());
            if (moved)
                m_model.pointer = 0;
        }
        check();
    }
    if (m_problems.isEmpty())
        return std::nullopt;
    return report();
}

std::uint64_t environmentNumber(const char* name, std::uint64_t fallback)
{
    bool ok = false;
    const qulonglong value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? value : fallback;
}

} // namespace

class RandomSessionsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sessionsMatchTheModel();
};

void RandomSessionsTest::sessionsMatchTheModel()
{
    const bool replay = qEnvironmentVariableIsSet("VELMORA_SESSION_SEED") &&
                        !qEnvironmentVariableIsSet("VELMORA_SESSIONS");
    const std::uint64_t first = environmentNumber("VELMORA_SESSION_SEED", 1);
    const std::uint64_t sessions = replay ? 1 : environmentNumber("VELMORA_SESSIONS", 20);
    const int actions = static_cast<int>(environmentNumber("VELMORA_SESSION_ACTIONS", 40));
    long long played = 0;
    Tally tally;
    for (std::uint64_t seed = first; seed < first + sessions; ++seed) {
        Session session(seed, tally);
        const std::optional<QString> finding = session.play(actions);
        played += session.actionsPlayed();
        if (finding)
            QFAIL(qPrintable(*finding));
    }
    qInfo("%llu sessions from seed %llu, %lld actions in all, no difference from the model",
          static_cast<unsigned long long>(sessions), static_cast<unsigned long long>(first),
          played);
    for (const auto& [event, times] : tally)
        qInfo("  %s: %lld", qPrintable(event), times);
}

QTEST_MAIN(RandomSessionsTest)
#include "test_random_sessions.moc"
