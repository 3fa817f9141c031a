#include "core/errors/error_report.h"
#include "core/errors/runtime_failure.h"
#include "core/input/file_helpers.h"
#include "core/output/aligned_export.h"
#include "core/platform/ansi_code_page.h"
#include "core/platform/save_file_writer.h"
#include "core/platform/windows1252.h"
#include "fake_platform.h"
#include "test_helpers.h"
#include "tests/host/host_faults.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;
using velmora::output::saveAlignedText;

namespace {

// Refuses its n-th line, as a full disk would, and takes the others.
class LosingWriter : public TextFileWriter
{
public:
    LosingWriter(std::unique_ptr<TextFileWriter> real, int lost)
        : m_real(std::move(real)), m_lost(lost)
    {}
    void writeLine(QStringView text) override
    {
        if (--m_lost == 0)
            throw Failure::diskFull();
        m_real->writeLine(text);
    }
    void close() override { m_real->close(); }

private:
    std::unique_ptr<TextFileWriter> m_real;
    int m_lost;
};

} // namespace

class AlignedExportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileLayout_data();
    void fileLayout();
    void progress_data();
    void progress();
    void faultPaths_data();
    void faultPaths();
    void saveCommand();
    void bigFileWrittenWhole_data();
    void bigFileWrittenWhole();
    void savedInTheCodePageOrInUnicode_data();
    void savedInTheCodePageOrInUnicode();
    void codePageEncodingOfLongRuns_data();
    void codePageEncodingOfLongRuns();
};

void AlignedExportTest::fileLayout_data()
{
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<QStringList>("headings");
    const auto row = [](const char* tag, const QList<QStringList>& rows, const QByteArray& file,
                        const QList<int>& unchecked = {},
                        const QStringList& headings = {u"Results"_s}) {
        QTest::newRow(tag) << rows << file << unchecked << headings;
    };
    row("example: widest row sets the width", {{u"apple"_s}, {u"banana split"_s}, {u"kiwi"_s}},
        "Results     \t\r\napple       \t\r\nbanana split\t\r\nkiwi        \t\r\n");
    row("empty list: the heading line only", {}, "Results\t\r\n");
    row("short, empty and space-only rows padded to the heading",
        {{u"a"_s}, {QString()}, {u"  "_s}}, "Results\t\r\na      \t\r\n       \t\r\n       \t\r\n");
    row("leading and trailing spaces kept, padding after them", {{u" x  "_s}},
        "Results\t\r\n x     \t\r\n");
    row("unchecked rows widen but are not written", {{u"a"_s}, {u"a much longer row"_s}, {u"b"_s}},
        "Results          \t\r\na                \t\r\nb                \t\r\n", {2});
    row("sub-items: every column padded and tab-terminated",
        {{u"apple"_s, u"12"_s, u"red"_s}, {u"banana split"_s, u"3"_s}},
        "Name        \tQty\tNote\t\r\napple       \t12 \tred \t\r\nbanana split\t3  \t    \t\r\n",
        {}, {u"Name"_s, u"Qty"_s, u"Note"_s});
    row("the code page's bytes", {{u"caf\u00e9 \u20ac \u0153uvre"_s}},
        "Results     \t\r\ncaf\xe9 \x80 \x9cuvre\t\r\n");
}

void AlignedExportTest::fileLayout()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, unchecked);
    QFETCH(QStringList, headings);
    FakePlatformScope scope;
    QTemporaryDir dir;
    writeTestFile(dir.filePath(u"out.txt"_s), QByteArray(4096, 'x')); // replaced, not overwritten
    ListView list;
    for (const QString& heading : headings)
        list.columns().add(heading);
    fillTable(&list, rows, unchecked);

    saveAlignedText(list.items(), list.columns(), windowsPathIn(dir, u"out.txt"_s), nullptr);

    QCOMPARE(fileContents(dir.filePath(u"out.txt"_s)), file);
    QVERIFY(scope.fake.boxes.empty());
}

void AlignedExportTest::progress_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<int>("valuesAbove100");
    QTest::addColumn<double>("lastRowValue");
    QTest::addColumn<QList<int>>("rowTexts"); // "(n)" shown for these rows, in order

    QTest::newRow("under 2000 rows: exactly 100 on the last row")
        << 1999 << QList<int>{} << 0 << 100.0 << QList<int>{1000};
    QTest::newRow("5000 rows: 2 rows ahead, last two above 100")
        << 5000 << QList<int>{} << 2 << 100.04 << QList<int>{1000, 2000, 3000, 4000, 5000};
    QTest::newRow("unchecked rows: no value, no text, but they count")
        << 2000 << QList<int>{1000, 2000} << 0 << 100.0 << QList<int>{};
}

void AlignedExportTest::progress()
{
    QFETCH(int, rowCount);
    QFETCH(QList<int>, unchecked);
    QFETCH(int, valuesAbove100);
    QFETCH(double, lastRowValue);
    QFETCH(QList<int>, rowTexts);
    FakePlatformScope scope;
    QTemporaryDir dir;
    ListView list;
    list.columns().add(u"Results"_s);
    for (int r = 1; r <= rowCount; ++r)
        list.items().add(QString::number(r));
    fillTable(&list, {}, unchecked);
    ProgressBar bar;
    bar.setText(u"Progress Bar"_s);
    QList<double> values;
    QString textAtLastValue;
    bar.setWriteObserver([&](double value) {
        values.append(value);
        textAtLastValue = bar.text();
    });
    QStringList texts{bar.text()}; // each change seen by a yield
    scope.fake.onEveryYield = [&](int) {
        if (bar.text() != texts.last())
            texts.append(bar.text());
    };

    saveAlignedText(list.items(), list.columns(), windowsPathIn(dir, u"list.txt"_s), &bar);

    const qsizetype checked = rowCount - unchecked.size();
    QCOMPARE(values.size(), 3 + checked + 2);
    QCOMPARE(values.mid(0, 3), (QList<double>{1, 10, 20}));
    const QList<double> rowValues = values.mid(3, checked);
    QVERIFY(std::is_sorted(rowValues.begin(), rowValues.end()));
    QCOMPARE(std::count_if(rowValues.begin(), rowValues.end(), [](double v) { return v > 100; }),
             valuesAbove100);
    QCOMPARE(rowValues.last(), lastRowValue);
    QCOMPARE(values.mid(3 + checked), (QList<double>{100, 0}));
    QCOMPARE(textAtLastValue, u"Done."_s); // no yield between "Done." and the reset
    QCOMPARE(bar.text(), u"Progress Bar"_s);
    QStringList expected{u"Progress Bar"_s, u"Writing file: list.txt"_s};
    for (int row : rowTexts)
        expected.append(u"Writing file: list.txt (%1)"_s.arg(row));
    QCOMPARE(texts, expected);
}

// Save on the window over an old out.txt, three results of width 7. Yields: 1-2 start, 3-5
// measuring, 6-7 bar, 8 heading, 9-10 bar, then four per row: 11-14, 15-18, 19-22.
void AlignedExportTest::faultPaths_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("atYield");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QByteArray>("file"); // out.txt afterwards; empty: the old one
    const auto row = [](const char* tag, const QString& action, int atYield,
                        const QList<int>& lines, const QByteArray& file = {}) {
        QTest::newRow(tag) << action << atYield << lines << file;
    };
    row("missing folder, row 2 unchecked: creation, heading, checked rows, closing",
        u"missing folder"_s, 0, {156, 170, 222, 222, 232});
    row("cleared before row 2: checked test, two per cell, division by zero", u"clear"_s, 15,
        {188, 196, 198, 214, 188, 196, 198, 214}, "Results\t\r\na      \t\r\n\r\n\r\n");
    row("cleared while measuring: two per lost row, then no rows to write", u"clear"_s, 4,
        {126, 128, 126, 128}, "Results\t\r\n");
    row("longer row after measuring: written unpadded", u"refill"_s, 11, {},
        "Results\t\r\na much longer row\t\r\nb      \t\r\nc      \t\r\n");
    row("row 2 refused by the disk: reported, then the closing fails", u"lose line 3"_s, 0,
        {222, 232});
    row("refusal seen only when the file is closed", u"no room"_s, 22, {232});
}

void AlignedExportTest::faultPaths()
{
    QFETCH(QString, action);
    QFETCH(int, atYield);
    QFETCH(QList<int>, lines);
    QFETCH(QByteArray, file);
    FakePlatformScope scope;
    QTemporaryDir dir;
    const QByteArray old("the previous results\r\n");
    writeTestFile(dir.filePath(u"out.txt"_s), old);
    MainWindow form;
    form.startUp();
    scope.fake.boxes.clear();
    const bool missing = action == u"missing folder"_s;
    fillTable(form.resultList, {{u"a"_s}, {u"b"_s}, {u"c"_s}},
              missing ? QList<int>{2} : QList<int>{});
    scope.fake.saveAnswers = {windowsPathIn(dir, missing ? u"missing/out.txt"_s : u"out.txt"_s)};
    if (action == u"lose line 3"_s) {
        scope.fake.createTextFileHook = [&](const QString& path) {
            return std::make_unique<LosingWriter>(scope.fake.real().createTextFile(path), 3);
        };
    }
    if (action == u"no room"_s && !host::WritesRefused::possible())
        QSKIP("this host cannot refuse writes to a file already open");
    host::WritesRefused noRoom;
    scope.fake.atYield[atYield] = [&] {
        if (action == u"clear"_s || action == u"refill"_s)
            form.clearResults();
        if (action == u"refill"_s)
            fillList(form.resultList, {u"a much longer row"_s, u"b"_s, u"c"_s});
        if (action == u"no room"_s) // every line so far still sits in the writer's buffer
            QVERIFY(noRoom.start());
    };

    form.saveResults();

    QCOMPARE(reportedLines(scope.fake.boxes, output::kSaveAlignedTextLocation), lines);
    const qsizetype zero = lines.indexOf(214);
    QVERIFY(zero < 0 || scope.fake.boxes[std::size_t(zero)].text.startsWith(u"Division by zero"_s));
    QCOMPARE(fileContents(dir.filePath(u"out.txt"_s)), file.isEmpty() ? old : file);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
    QCOMPARE(form.progressBar->value(), 0.0);
    QCOMPARE(form.progressBar->text(), u"Progress Bar"_s);
    QCOMPARE(form.mousePointerValue(), 0);
}

void AlignedExportTest::saveCommand()
{
    FakePlatformScope scope;
    QTemporaryDir dir;
    MainWindow form;
    form.startUp();
    scope.fake.boxes.clear();
    fillList(form.resultList, {u"kiwi"_s});
    form.progressBar->setValue(42);
    form.setMousePointer(MousePointer::Custom);

    form.saveResults(); // cancelled: nothing written, pointer and bar as they were
    QCOMPARE(scope.fake.saveRequests.size(), 1u);
    const FileDialogRequest& request = scope.fake.saveRequests.front();
    QCOMPARE(request.fileName, QString());
    QCOMPARE(request.flags, 2621953);
    QCOMPARE(request.title, u"Save"_s);
    QCOMPARE(request.filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s);
    QCOMPARE(form.mousePointerValue(), 99);
    QCOMPARE(form.progressBar->value(), 42.0);
    QVERIFY(QDir(dir.path()).isEmpty());

    // A name without an extension is used as typed, under the hourglass.
    scope.fake.saveAnswers = {windowsPathIn(dir, u"results"_s)};
    QList<int> pointers;
    scope.fake.onEveryYield = [&](int) { pointers.append(form.mousePointerValue()); };
    form.saveResults();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"results"_s});
    QVERIFY(!pointers.isEmpty());
    QCOMPARE(pointers, QList<int>(pointers.size(), 11));
    QCOMPARE(form.mousePointerValue(), 0);
    QCOMPARE(scope.fake.saveRequests.back().fileName, QString());
    QVERIFY(scope.fake.boxes.empty());
}

void AlignedExportTest::bigFileWrittenWhole_data()
{
    QTest::addColumn<QString>("lastLine");
    QTest::addColumn<bool>("closed");
    QTest::newRow("closed") << u"end"_s << true;
    QTest::newRow("gone unclosed while a sync may run: nothing left") << u"end"_s << false;
    QTest::newRow("a last line it lacks: all again in UTF-16") << u"\u03a9"_s << true;
}

// Past the size at which the writer hands the file to the disk in pieces and syncs it
// beside the writing.
void AlignedExportTest::bigFileWrittenWhole()
{
    QFETCH(QString, lastLine);
    QFETCH(bool, closed);
    FakePlatformScope scope; // the restart in UTF-16 and the reading back go through it
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.txt"_s);
    {
        auto writer = openSaveFileWriter(path, {&appendWindows1252, &decodeWindows1252});
        for (int i = 0; i < 600'000; ++i) // 10.8 MB
            writer->writeLine(u"%1"_s.arg(i, 16, 10, QChar(u'0')));
        writer->writeLine(lastLine);
        QVERIFY(!QFile::exists(path)); // nothing in place before the end
        if (closed)
            writer->close();
    }
    if (!closed) {
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
        return;
    }
    const QString text = input::readFileText(windowsPathIn(dir, u"big.txt"_s));
    const bool unicode = text.startsWith(QChar(0xFEFF));
    QCOMPARE(unicode, lastLine == u"\u03a9"_s);
    const QString lines = unicode ? text.sliced(1) : text;
    QCOMPARE(lines.size(), qsizetype{600'000} * 18 + lastLine.size() + 2);
    QCOMPARE(lines.sliced(qsizetype{18} * 262'144, 18), u"0000000000262144\r\n"_s);
    QCOMPARE(lines.last(18 + lastLine.size() + 2),
             u"0000000000599999\r\n"_s + lastLine + u"\r\n"_s);
}

void AlignedExportTest::savedInTheCodePageOrInUnicode_data()
{
    QTest::addColumn<CodePage>("codePage");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("unicode");
    QStringList many;
    for (int i = 0; i < 100'000; ++i) // 1.9 MB before the character that does not fit
        many.append(u"row %1"_s.arg(i, 12, 10, QChar(u'0')));
    QTest::newRow("Windows-1252 holds them all: its bytes")
        << CodePage::Windows1252 << QStringList{u"caf\u00e9"_s, u"na\u00efve Zo\u00eb"_s} << false;
    QTest::newRow("Windows-1252 lacks kanji: the file in UTF-16, widths in code units")
        << CodePage::Windows1252
        << QStringList{u"apple"_s, u"\u65e5\u672c\u8a9e\U0001F600"_s, u"Zo\u00eb"_s} << true;
    QTest::newRow("the last row of a big file lacks one: all of it again in UTF-16")
        << CodePage::Windows1252 << many + QStringList{u"\u03a9mega"_s} << true;
    QTest::newRow("UTF-8 holds them all")
        << CodePage::Utf8
        << QStringList{u"Zo\u00eb"_s, u"\u00dcber"_s, u"\u65e5\u672c\u8a9e"_s, u"\U0001F600"_s}
        << false;
    QTest::newRow("UTF-8 cannot hold a lone surrogate")
        << CodePage::Utf8 << QStringList{u"a"_s, u"b"_s + QChar(0xDC00)} << true;
}

// Never a '?' for a character: the code page's bytes when it holds every character, UTF-16
// with its mark when not, which the loader reads back as the same texts. The save yields
// the same either way.
void AlignedExportTest::savedInTheCodePageOrInUnicode()
{
    QFETCH(CodePage, codePage);
    QFETCH(QStringList, rows);
    QFETCH(bool, unicode);
    FakePlatformScope scope;
    scope.fake.codePage = codePage;
    QTemporaryDir dir;
    qsizetype width = 7;
    for (const QString& row : rows)
        width = std::max(width, row.size());
    QString text;
    for (const QString& cell : QStringList{u"Results"_s} + rows)
        text += cell + QString(width - cell.size(), u' ') + u"\t\r\n"_s;

    const auto saveAs = [&](const QStringList& texts, const QString& name) {
        ListView list;
        list.columns().add(u"Results"_s);
        fillList(&list, texts);
        scope.fake.yields = 0;
        saveAlignedText(list.items(), list.columns(), windowsPathIn(dir, name), nullptr);
        return scope.fake.yields;
    };
    const int yields = saveAs(rows, u"out.txt"_s);
    const QByteArray expected = unicode                      ? utf16File(text)
                                : codePage == CodePage::Utf8 ? text.toUtf8()
                                                             : text.toLatin1();
    QVERIFY(fileContents(dir.filePath(u"out.txt"_s)) == expected);
    QVERIFY(input::readFileText(windowsPathIn(dir, u"out.txt"_s)) ==
            (unicode ? QChar(0xFEFF) + text : text));
    QCOMPARE(scope.fake.boxes.size(), 0u);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
    QCOMPARE(yields, saveAs(QStringList(rows.size(), u"x"_s), u"ascii.txt"_s));
}

void AlignedExportTest::codePageEncodingOfLongRuns_data()
{
    // Units below 0x80 in runs of eight and more, and what may break a run anywhere: the
    // code page's own characters (the euro sign's 0x80), characters it lacks, and a
    // surrogate pair, split across two runs too.
    QTest::addColumn<QString>("text");
    const QString pair = QString::fromUcs4(U"\U0001F600");
    QTest::newRow("seven") << u"abcdefg"_s;
    QTest::newRow("eight") << u"abcdefgh"_s;
    QTest::newRow("seventeen") << u"abcdefghijklmnopq"_s;
    QTest::newRow("euro first") << u"\u20ACbcdefghijklmnop"_s;
    QTest::newRow("euro eighth") << u"abcdefg\u20ACijklmnop"_s;
    QTest::newRow("euro ninth, then ASCII runs") << u"abcdefgh\u20ACjklmnopqrstuvwxyz"_s;
    QTest::newRow("Latin-1 and a missing character") << u"abcdefgh\u00E9\u0100abcdefgh"_s;
    QTest::newRow("pair across two runs") << u"abcdefg"_s + pair + u"abcdefgh"_s;
    QTest::newRow("lone surrogate") << u"abcdefgh"_s + QChar(0xD800) + u"abcdefgh"_s;
    QTest::newRow("lone low surrogate after ASCII") << u"abc"_s + QChar(0xDC00);
    QTest::newRow("pair first") << pair + u"abcdefgh"_s;
    QTest::newRow("empty") << QString();
}

// Encoding a text whole gives the bytes of its units encoded one at a time, and fails, with
// the bytes as they were, when one of them fails. In UTF-8 the bytes are those of Qt's
// encoder given the whole text, which fails only on a lone surrogate.
void AlignedExportTest::codePageEncodingOfLongRuns()
{
    QFETCH(QString, text);
    QByteArray oneByOne;
    bool allHeld = true;
    for (const QChar c : text)
        allHeld = appendWindows1252(QStringView(&c, 1), oneByOne) && allHeld;
    QByteArray appended("before");
    QCOMPARE(appendWindows1252(text, appended), allHeld);
    QCOMPARE(appended, allHeld ? "before" + oneByOne : QByteArray("before"));

    QStringEncoder qtEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray qtBytes = qtEncoder.encode(text);
    QByteArray utf8("before");
    QCOMPARE(appendCodePage(CodePage::Utf8, text, utf8), !qtEncoder.hasError());
    QCOMPARE(utf8, qtEncoder.hasError() ? QByteArray("before") : "before" + qtBytes);
}

QTEST_MAIN(AlignedExportTest)
#include "test_aligned_export.moc"
