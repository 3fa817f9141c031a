#include "app/error_report.h"
#include "fake_platform.h"
#include "output/clipboard_copy.h"
#include "test_helpers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using velmora::Form1;
using velmora::ListView;
using velmora::test::FakePlatformScope;
using velmora::test::fillList;
using velmora::test::fillTable;
using velmora::test::reportedLines;
namespace Main = velmora::Main;

class ClipboardCopyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void copiedText_data();
    void copiedText();
    void retriesUpTo1000Times_data();
    void retriesUpTo1000Times();
    void copyCommand_data();
    void copyCommand();
};

void ClipboardCopyTest::copiedText_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<QString>("text");

    QTest::newRow("example: headings not measured, no padding, no tab")
        << 1 << QList<QStringList>{{u"apple"_s}, {u"banana split"_s}, {u"kiwi"_s}} << QList<int>{}
        << u"apple\r\nbanana split\r\nkiwi\r\n"_s;
    QTest::newRow("trailing spaces dropped, leading spaces kept")
        << 1 << QList<QStringList>{{u" x  "_s}, {u"y"_s}} << QList<int>{} << u" x\r\ny\r\n"_s;
    QTest::newRow("empty and space-only rows give empty lines")
        << 1 << QList<QStringList>{{QString()}, {u"   "_s}, {u"z"_s}} << QList<int>{}
        << u"\r\n\r\nz\r\n"_s;
    QTest::newRow("only spaces are trimmed: a tab stops it")
        << 1 << QList<QStringList>{{u"a\t  "_s}} << QList<int>{} << u"a\t\r\n"_s;
    QTest::newRow("unchecked rows widen but are not copied")
        << 2 << QList<QStringList>{{u"a"_s, u"1"_s}, {u"longer"_s, u"2"_s}} << QList<int>{2}
        << u"a     \t1\r\n"_s;
    QTest::newRow("inner columns keep padding and tabs, the last loses its padding")
        << 3 << QList<QStringList>{{u"apple"_s, u"12"_s, u"red"_s}, {u"kiwi"_s, u"3"_s}}
        << QList<int>{} << u"apple\t12\tred\r\nkiwi \t3 \t\r\n"_s;
    QTest::newRow("rows but none checked: the clipboard is emptied")
        << 1 << QList<QStringList>{{u"a"_s}} << QList<int>{1} << QString();
}

void ClipboardCopyTest::copiedText()
{
    QFETCH(int, columns);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QList<int>, unchecked);
    QFETCH(QString, text);
    FakePlatformScope scope;
    scope.fake.clipboardText = u"previous"_s;
    ListView list;
    for (int c = 1; c <= columns; ++c)
        list.ColumnHeaders().Add(u"Heading longer than any cell"_s);
    fillTable(&list, rows, unchecked);

    Main::CopyListviewToClipboard(list);

    QCOMPARE(scope.fake.clipboardText, text);
    QVERIFY(scope.fake.clipboardHasText);
}

void ClipboardCopyTest::retriesUpTo1000Times_data()
{
    QTest::addColumn<int>("refusals");
    QTest::addColumn<int>("clearCalls");
    QTest::addColumn<int>("setCalls");
    QTest::addColumn<bool>("placed");
    QTest::newRow("free clipboard: one attempt each") << 0 << 1 << 1 << true;
    QTest::newRow("clearing succeeds on the 1000th attempt") << 999 << 1000 << 1 << true;
    QTest::newRow("clearing gives up after 1000, setting still tried") << 1000 << 1000 << 1 << true;
    QTest::newRow("setting succeeds on the 1000th attempt") << 1999 << 1000 << 1000 << true;
    QTest::newRow("both give up silently") << 5000 << 1000 << 1000 << false;
}

void ClipboardCopyTest::retriesUpTo1000Times()
{
    QFETCH(int, refusals);
    QFETCH(int, clearCalls);
    QFETCH(int, setCalls);
    QFETCH(bool, placed);
    FakePlatformScope scope;
    scope.fake.clipboardText = u"previous"_s;
    scope.fake.clipboardRefusals = refusals;

    Main::ClearClipboard();
    QCOMPARE(Main::SetClipboardText(u"new"_s, 0), placed);

    QCOMPARE(scope.fake.clipboardClearCalls, clearCalls);
    QCOMPARE(scope.fake.clipboardSetCalls, setCalls);
    QCOMPARE(scope.fake.clipboardText, placed ? u"new"_s : u"previous"_s);
}

// On the real window. The builder yields once per cell while measuring (1-3 here), then
// once per row and once per cell: row 1 at 4-5, row 2 at 6-7, row 3 at 8-9.
void ClipboardCopyTest::copyCommand_data()
{
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<int>("clearAtYield");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("copied, then confirmed")
        << QStringList{u"apple"_s, u"kiwi"_s} << 0 << u"apple\r\nkiwi\r\n"_s << QList<int>{};
    QTest::newRow("empty list: clipboard kept, still confirmed")
        << QStringList{} << 0 << u"previous"_s << QList<int>{};
    QTest::newRow("cleared while measuring: reported at 106, clipboard kept")
        << QStringList{u"a"_s, u"b"_s, u"c"_s} << 2 << u"previous"_s << QList<int>{106};
    QTest::newRow("cleared while building: reported at 106, clipboard kept")
        << QStringList{u"a"_s, u"b"_s, u"c"_s} << 6 << u"previous"_s << QList<int>{106};
}

void ClipboardCopyTest::copyCommand()
{
    QFETCH(QStringList, results);
    QFETCH(int, clearAtYield);
    QFETCH(QString, clipboard);
    QFETCH(QList<int>, lines);
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    scope.fake.boxes.clear();
    scope.fake.clipboardText = u"previous"_s;
    fillList(form.ListView2, results);
    scope.fake.atYield[clearAtYield] = [&] { form.PushButton2_Click(); };

    form.PushButton5_Click();

    QCOMPARE(scope.fake.clipboardText, clipboard);
    QCOMPARE(scope.fake.boxes.size(), static_cast<std::size_t>(lines.size() + 1));
    const velmora::test::FakePlatform::Box confirmation = scope.fake.boxes.back();
    scope.fake.boxes.pop_back();
    QCOMPARE(reportedLines(scope.fake.boxes, velmora::Location::PushButton5_Click), lines);
    QCOMPARE(confirmation.text,
             u"Results have been copied to the clipboard.\r\rClick a text area where you "
             u"normally type and press Ctrl+V to paste the clipboard."_s);
    QCOMPARE(confirmation.title, scope.fake.appTitle());
    QCOMPARE(confirmation.icon, velmora::MsgBoxIcon::None);
}

QTEST_MAIN(ClipboardCopyTest)
#include "test_clipboard_copy.moc"
