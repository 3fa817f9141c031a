#include "core/output/clipboard_copy.h"
#include "fake_platform.h"
#include "gui/window/handler_locations.h"
#include "test_helpers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

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
    QTest::addColumn<QList<QStringList>>("rows"); // as many columns as the longest row
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("unchecked");
    const auto row = [](const char* tag, const QList<QStringList>& rows, const QString& text,
                        const QList<int>& unchecked = {}) {
        QTest::newRow(tag) << rows << text << unchecked;
    };
    row("example: headings not measured, no padding, no tab",
        {{u"apple"_s}, {u"banana split"_s}, {u"kiwi"_s}}, u"apple\r\nbanana split\r\nkiwi\r\n"_s);
    row("trailing spaces dropped, leading spaces kept", {{u" x  "_s}, {u"y"_s}}, u" x\r\ny\r\n"_s);
    row("empty and space-only rows give empty lines", {{QString()}, {u"   "_s}, {u"z"_s}},
        u"\r\n\r\nz\r\n"_s);
    row("only spaces are trimmed: a tab stops it", {{u"a\t  "_s}}, u"a\t\r\n"_s);
    row("unchecked rows widen but are not copied", {{u"a"_s, u"1"_s}, {u"longer"_s, u"2"_s}},
        u"a     \t1\r\n"_s, {2});
    row("inner columns keep padding and tabs, the last loses its padding",
        {{u"apple"_s, u"12"_s, u"red"_s}, {u"kiwi"_s, u"3"_s}},
        u"apple\t12\tred\r\nkiwi \t3 \t\r\n"_s);
    row("rows but none checked: the clipboard is emptied", {{u"a"_s}}, QString(), {1});
}

void ClipboardCopyTest::copiedText()
{
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, text);
    QFETCH(QList<int>, unchecked);
    FakePlatformScope scope;
    scope.fake.clipboardText = u"previous"_s;
    ListView list;
    for (const QStringList& row : rows) {
        while (list.columns().count() < row.size())
            list.columns().add(u"Heading longer than any cell"_s);
    }
    fillTable(&list, rows, unchecked);

    output::copyToClipboard(list.items(), list.columns());

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

    output::clearClipboard();
    output::setClipboardText(u"new"_s);

    QCOMPARE(scope.fake.clipboardClearCalls, clearCalls);
    QCOMPARE(scope.fake.clipboardSetCalls, setCalls);
    QCOMPARE(scope.fake.clipboardText, placed ? u"new"_s : u"previous"_s);
}

// Yields of the copy: 1-3 measuring the three cells, then a row and its cell at 4-5, 6-7, 8-9.
void ClipboardCopyTest::copyCommand_data()
{
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<int>("clearAtYield");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QList<int>>("lines");
    const QStringList abc{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("copied, then confirmed")
        << QStringList{u"apple"_s, u"kiwi"_s} << 0 << u"apple\r\nkiwi\r\n"_s << QList<int>{};
    QTest::newRow("empty list: clipboard kept, still confirmed")
        << QStringList{} << 0 << u"previous"_s << QList<int>{};
    QTest::newRow("cleared while measuring: reported at 106, clipboard kept")
        << abc << 2 << u"previous"_s << QList<int>{106};
    QTest::newRow("cleared while building: reported at 106, clipboard kept")
        << abc << 6 << u"previous"_s << QList<int>{106};
}

void ClipboardCopyTest::copyCommand()
{
    QFETCH(QStringList, results);
    QFETCH(int, clearAtYield);
    QFETCH(QString, clipboard);
    QFETCH(QList<int>, lines);
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    scope.fake.boxes.clear();
    scope.fake.clipboardText = u"previous"_s;
    fillList(form.resultList, results);
    scope.fake.atYield[clearAtYield] = [&] { form.clearResults(); };

    form.copyResults();

    QCOMPARE(scope.fake.clipboardText, clipboard);
    QCOMPARE(scope.fake.boxes.size(), std::size_t(lines.size() + 1));
    const FakePlatform::Box confirmation = scope.fake.boxes.back();
    scope.fake.boxes.pop_back();
    QCOMPARE(reportedLines(scope.fake.boxes, Location::copyResults), lines);
    QCOMPARE(confirmation.text,
             u"Results have been copied to the clipboard.\r\rClick a text area where you "
             u"normally type and press Ctrl+V to paste the clipboard."_s);
    QCOMPARE(confirmation.title, u"Velmora"_s);
    QCOMPARE(confirmation.icon, MsgBoxIcon::None);
}

QTEST_MAIN(ClipboardCopyTest)
#include "test_clipboard_copy.moc"
