#include "app/error_report.h"
#include "app/runtime_failure.h"
#include "app/save_file_writer.h"
#include "app/windows1252.h"
#include "fake_platform.h"
#include "output/aligned_export.h"
#include "test_helpers.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using velmora::Form1;
using velmora::ListView;
using velmora::VendorProgressBar;
using velmora::SortArray::SaveListviewProperlySpaced;
using velmora::test::FakePlatformScope;
using velmora::test::fillList;
using velmora::test::fillTable;
using velmora::test::reportedLines;
using velmora::test::windowsPathIn;

namespace {

QByteArray contents(const QString& hostPath)
{
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

void writeFile(const QString& hostPath, const QByteArray& bytes)
{
    QFile file(hostPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Loses one line: the file system refuses it, as a full disk would.
class LosingWriter : public velmora::TextFileWriter
{
public:
    LosingWriter(std::unique_ptr<TextFileWriter> real, int lostLine)
        : m_real(std::move(real)), m_lostLine(lostLine)
    {}
    void writeLine(QStringView text) override
    {
        if (++m_lines == m_lostLine)
            throw velmora::Failure::diskFull();
        m_real->writeLine(text);
    }
    void close() override { m_real->close(); }

private:
    std::unique_ptr<TextFileWriter> m_real;
    int m_lostLine;
    int m_lines = 0;
};

// While it lives, this process may not write a byte into any file: a write that reaches
// the disk fails, so lines still in a buffer fail only when the file is closed.
class NoRoomForFiles
{
public:
    NoRoomForFiles()
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_old;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoRoomForFiles()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class AlignedExportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileLayout_data();
    void fileLayout();
    void yieldsAtEveryStep_data();
    void yieldsAtEveryStep();
    void progress_data();
    void progress();
    void faultPaths_data();
    void faultPaths();
    void saveCommand();
    void bigFileWrittenWhole();
};

void AlignedExportTest::fileLayout_data()
{
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<QByteArray>("file");

    const QStringList results{u"Results"_s};
    QTest::newRow("example: widest row sets the width")
        << results << QList<QStringList>{{u"apple"_s}, {u"banana split"_s}, {u"kiwi"_s}}
        << QList<int>{}
        << QByteArray("Results     \t\r\napple       \t\r\nbanana split\t\r\nkiwi        \t\r\n");
    QTest::newRow("empty list: the heading line only")
        << results << QList<QStringList>{} << QList<int>{} << QByteArray("Results\t\r\n");
    QTest::newRow("short, empty and space-only rows padded to the heading")
        << results << QList<QStringList>{{u"a"_s}, {QString()}, {u"  "_s}} << QList<int>{}
        << QByteArray("Results\t\r\na      \t\r\n       \t\r\n       \t\r\n");
    QTest::newRow("leading and trailing spaces kept, padding after them")
        << results << QList<QStringList>{{u" x  "_s}} << QList<int>{}
        << QByteArray("Results\t\r\n x     \t\r\n");
    QTest::newRow("unchecked rows widen but are not written")
        << results << QList<QStringList>{{u"a"_s}, {u"a much longer row"_s}, {u"b"_s}}
        << QList<int>{2}
        << QByteArray("Results          \t\r\na                \t\r\nb                \t\r\n");
    QTest::newRow("sub-items: every column padded and tab-terminated")
        << QStringList{u"Name"_s, u"Qty"_s, u"Note"_s}
        << QList<QStringList>{{u"apple"_s, u"12"_s, u"red"_s}, {u"banana split"_s, u"3"_s}}
        << QList<int>{}
        << QByteArray("Name        \tQty\tNote\t\r\napple       \t12 \tred \t\r\n"
                      "banana split\t3  \t    \t\r\n");
    // Widths count UTF-16 code units: the emoji is two, yet one '?' in the file.
    QTest::newRow("code units measured, 8-bit code page written")
        << results << QList<QStringList>{{u"caf\u00e9 \u20ac \u4e2d \U0001F600"_s}} << QList<int>{}
        << QByteArray("Results    \t\r\ncaf\xe9 \x80 ? ?\t\r\n");
}

void AlignedExportTest::fileLayout()
{
    QFETCH(QStringList, headings);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QList<int>, unchecked);
    QFETCH(QByteArray, file);
    FakePlatformScope scope;
    QTemporaryDir dir;
    writeFile(dir.filePath(u"out.txt"_s), QByteArray(4096, 'x')); // replaced, not overwritten
    ListView list;
    for (const QString& heading : headings)
        list.ColumnHeaders().Add(heading);
    fillTable(&list, rows, unchecked);

    SaveListviewProperlySpaced(list, windowsPathIn(dir, u"out.txt"_s), nullptr);

    QCOMPARE(contents(dir.filePath(u"out.txt"_s)), file);
    QCOMPARE(scope.fake.boxes.size(), 0u);
}

void AlignedExportTest::yieldsAtEveryStep_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("withBar");
    QTest::addColumn<int>("yields");
    // 3 rows, the 2nd unchecked. Measuring: one per cell; heading: one per column; rows:
    // one each, plus one per cell of a checked row; the bar: two per stage and per checked row.
    QTest::newRow("one column, bar") << 1 << true << 3 + 1 + 3 + 2 + 2 * 3 + 2 * 2;
    QTest::newRow("one column, no bar") << 1 << false << 3 + 1 + 3 + 2;
    QTest::newRow("three columns, no bar") << 3 << false << 9 + 3 + 3 + 2 * 3;
}

void AlignedExportTest::yieldsAtEveryStep()
{
    QFETCH(int, columns);
    QFETCH(bool, withBar);
    QFETCH(int, yields);
    FakePlatformScope scope;
    QTemporaryDir dir;
    ListView list;
    for (int c = 1; c <= columns; ++c)
        list.ColumnHeaders().Add(u"C"_s + QString::number(c));
    fillTable(&list, {{u"a"_s}, {u"b"_s}, {u"c"_s}}, {2});
    VendorProgressBar bar;

    SaveListviewProperlySpaced(list, windowsPathIn(dir, u"y.txt"_s), withBar ? &bar : nullptr);

    QCOMPARE(scope.fake.yields, yields);
}

void AlignedExportTest::progress_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<int>("valuesAbove100");
    QTest::addColumn<double>("lastRowValue");
    QTest::addColumn<QStringList>("rowTexts"); // the every-1000th texts, in order

    QTest::newRow("under 2000 rows: exactly 100 on the last row")
        << 1999 << QList<int>{} << 0 << 100.0 << QStringList{u"list.txt (1000)"_s};
    QTest::newRow("5000 rows: 2 rows ahead, last two above 100")
        << 5000 << QList<int>{} << 2 << 100.04
        << QStringList{u"list.txt (1000)"_s, u"list.txt (2000)"_s, u"list.txt (3000)"_s,
                       u"list.txt (4000)"_s, u"list.txt (5000)"_s};
    QTest::newRow("unchecked rows: no value, no text, but they count")
        << 2000 << QList<int>{1000, 2000} << 0 << 100.0 << QStringList{};
}

void AlignedExportTest::progress()
{
    QFETCH(int, rowCount);
    QFETCH(QList<int>, unchecked);
    QFETCH(int, valuesAbove100);
    QFETCH(double, lastRowValue);
    QFETCH(QStringList, rowTexts);
    FakePlatformScope scope;
    QTemporaryDir dir;
    ListView list;
    list.ColumnHeaders().Add(u"Results"_s);
    for (int r = 1; r <= rowCount; ++r)
        list.ListItems().Add(QString::number(r));
    fillTable(&list, {}, unchecked);
    VendorProgressBar bar;
    bar.setText(u"Progress Bar"_s);
    QList<double> values;
    QStringList textsAtValues;
    bar.setWriteObserver([&](double value) {
        values.append(value);
        textsAtValues.append(bar.Text());
    });
    QStringList texts{bar.Text()};
    scope.fake.onEveryYield = [&](int) {
        if (bar.Text() != texts.last())
            texts.append(bar.Text());
    };

    SaveListviewProperlySpaced(list, windowsPathIn(dir, u"list.txt"_s), &bar);

    const qsizetype checked = rowCount - unchecked.size();
    QCOMPARE(values.size(), 3 + checked + 2);
    QCOMPARE(values.mid(0, 3), (QList<double>{1, 10, 20}));
    const QList<double> rowValues = values.mid(3, checked);
    QVERIFY(std::is_sorted(rowValues.begin(), rowValues.end()));
    QCOMPARE(std::count_if(rowValues.begin(), rowValues.end(), [](double v) { return v > 100; }),
             valuesAbove100);
    QCOMPARE(rowValues.last(), lastRowValue);
    QCOMPARE(values.mid(3 + checked), (QList<double>{100, 0}));
    QCOMPARE(textsAtValues.last(), u"Done."_s); // no pump between "Done." and the rest
    QCOMPARE(bar.Text(), u"Progress Bar"_s);
    QStringList expectedTexts{u"Progress Bar"_s, u"Writing file: list.txt"_s};
    for (const QString& text : rowTexts)
        expectedTexts.append(u"Writing file: "_s + text);
    QCOMPARE(texts, expectedTexts);
}

// Through the Save command on the real window, over an old out.txt: three results, one
// column (width 7). The yields: 1-2 start, 3-5 measuring, 6-7 bar, 8 heading, 9-10 bar,
// then four per row: row 1 at 11-14, row 2 at 15-18, row 3 at 19-22.
void AlignedExportTest::faultPaths_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<int>("atYield");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QByteArray>("file"); // out.txt afterwards; empty: the old one

    QTest::newRow("missing folder: creation, heading, each checked row, closing")
        << u"missing\\out.txt"_s << QList<int>{2} << 0 << QString()
        << QList<int>{156, 170, 222, 222, 232} << QByteArray();
    QTest::newRow("name of a folder: the same")
        << u"folder"_s << QList<int>{} << 0 << QString() << QList<int>{156, 170, 222, 222, 222, 232}
        << QByteArray();
    QTest::newRow("cleared before row 2: checked test, two per cell, division by zero")
        << u"out.txt"_s << QList<int>{} << 15 << u"clear"_s
        << QList<int>{188, 196, 198, 214, 188, 196, 198, 214}
        << QByteArray("Results\t\r\na      \t\r\n\r\n\r\n");
    QTest::newRow("row 2 deleted while written: the last position is gone")
        << u"out.txt"_s << QList<int>{} << 16 << u"remove 2"_s << QList<int>{188, 196, 198}
        << QByteArray("Results\t\r\na      \t\r\nc      \t\r\n\r\n");
    QTest::newRow("cleared while measuring: two per lost row, then no rows to write")
        << u"out.txt"_s << QList<int>{} << 4 << u"clear"_s << QList<int>{126, 128, 126, 128}
        << QByteArray("Results\t\r\n");
    QTest::newRow("longer row after measuring: written unpadded")
        << u"out.txt"_s << QList<int>{} << 11 << u"refill"_s << QList<int>{}
        << QByteArray("Results\t\r\na much longer row\t\r\nb      \t\r\nc      \t\r\n");
    QTest::newRow("row 2 refused by the disk: reported, then the closing fails")
        << u"out.txt"_s << QList<int>{} << 0 << u"lose line 3"_s << QList<int>{222, 232}
        << QByteArray();
    QTest::newRow("refusal seen only when the file is closed")
        << u"out.txt"_s << QList<int>{} << 22 << u"no room"_s << QList<int>{232} << QByteArray();
    QTest::newRow("window closed in the middle of the save")
        << u"out.txt"_s << QList<int>{} << 16 << u"close window"_s << QList<int>{} << QByteArray();
}

void AlignedExportTest::faultPaths()
{
    QFETCH(QString, target);
    QFETCH(QList<int>, unchecked);
    QFETCH(int, atYield);
    QFETCH(QString, action);
    QFETCH(QList<int>, lines);
    QFETCH(QByteArray, file);
    FakePlatformScope scope;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    const QByteArray old("the previous results\r\n");
    writeFile(dir.filePath(u"out.txt"_s), old);
    Form1 form;
    form.Form_Load();
    scope.fake.boxes.clear();
    fillTable(form.ListView2, {{u"a"_s}, {u"b"_s}, {u"c"_s}}, unchecked);
    scope.fake.saveAnswers = {velmora::toWindowsPath(dir.path()) + u'\\' + target};
    if (action == u"lose line 3"_s) {
        scope.fake.createTextFileHook = [&](const QString& path) {
            return std::make_unique<LosingWriter>(scope.fake.real().createTextFile(path), 3);
        };
    }
    std::optional<NoRoomForFiles> noRoom;
    scope.fake.atYield[atYield] = [&] {
        if (action == u"clear"_s) {
            form.PushButton2_Click();
        } else if (action == u"remove 2"_s) {
            form.ListView2->ListItems().Remove(2);
        } else if (action == u"refill"_s) {
            form.PushButton2_Click();
            fillList(form.ListView2, {u"a much longer row"_s, u"b"_s, u"c"_s});
        } else if (action == u"no room"_s) {
            noRoom.emplace(); // every line so far still sits in the writer's buffer
        } else if (action == u"close window"_s) {
            form.Form_Unload();
        }
    };

    bool ended = false;
    try {
        form.PushButton4_Click();
    } catch (const velmora::ProgramEnding&) {
        ended = true;
    }
    noRoom.reset();

    QCOMPARE(reportedLines(scope.fake.boxes, velmora::Location::SaveListviewProperlySpaced), lines);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == 214)
            QVERIFY(scope.fake.boxes[std::size_t(i)].text.startsWith(u"Division by zero"_s));
    }
    QCOMPARE(contents(dir.filePath(u"out.txt"_s)), file.isEmpty() ? old : file);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
    QCOMPARE(ended, action == u"close window"_s);
    if (!ended) {
        QCOMPARE(form.ProgressBar1->Value(), 0.0);
        QCOMPARE(form.ProgressBar1->Text(), u"Progress Bar"_s);
        QCOMPARE(form.mousePointerValue(), 0);
    }
}

void AlignedExportTest::saveCommand()
{
    FakePlatformScope scope;
    QTemporaryDir dir;
    Form1 form;
    form.Form_Load();
    scope.fake.boxes.clear();
    fillList(form.ListView2, {u"kiwi"_s});
    form.ProgressBar1->setValue(42);
    form.setMousePointer(velmora::MousePointer::Custom);

    // Cancel: nothing written, pointer and bar as they were.
    form.PushButton4_Click();
    QCOMPARE(scope.fake.saveRequests.size(), 1u);
    const velmora::FileDialogRequest& request = scope.fake.saveRequests.front();
    QCOMPARE(request.fileName, QString());
    QCOMPARE(request.flags, 2621953);
    QCOMPARE(request.title, u"Save"_s);
    QCOMPARE(request.filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s);
    QCOMPARE(form.mousePointerValue(), 99);
    QCOMPARE(form.ProgressBar1->Value(), 42.0);
    QVERIFY(QDir(dir.path()).isEmpty());

    // A name without an extension is used as typed; hourglass while writing; no message.
    scope.fake.saveAnswers = {windowsPathIn(dir, u"results"_s)};
    QList<int> pointers;
    scope.fake.onEveryYield = [&](int) { pointers.append(form.mousePointerValue()); };
    form.PushButton4_Click();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"results"_s});
    QVERIFY(!pointers.isEmpty());
    QVERIFY(std::all_of(pointers.begin(), pointers.end(), [](int p) { return p == 11; }));
    QCOMPARE(form.mousePointerValue(), 0);
    QCOMPARE(scope.fake.saveRequests.back().fileName, QString());
    QCOMPARE(scope.fake.boxes.size(), 0u);
}

// Past the size at which the writer hands the file to the disk in pieces.
void AlignedExportTest::bigFileWrittenWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.txt"_s);
    auto writer = velmora::openSaveFileWriter(path, &velmora::encodeWindows1252);
    for (int i = 0; i < 400'000; ++i) // 7.2 MB
        writer->writeLine(u"%1"_s.arg(i, 16, 10, QChar(u'0')));
    QVERIFY(!QFile::exists(path)); // nothing in place before the end
    writer->close();
    const QByteArray file = contents(path);
    QCOMPARE(file.size(), 400'000 * 18);
    QCOMPARE(file.sliced(18 * 262'144, 18), QByteArray("0000000000262144\r\n"));
    QCOMPARE(file.last(18), QByteArray("0000000000399999\r\n"));
}

QTEST_MAIN(AlignedExportTest)
#include "test_aligned_export.moc"
