#include "core/errors/runtime_failure.h"
#include "gui/controls/list_view.h"
#include "gui/controls/progress_bar.h"
#include "test_helpers.h"
#include "text_lists.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using velmora::ListView;
using velmora::ProgressBar;
using velmora::RuntimeFailure;

namespace {

// Calls back at every event of one type that reaches the watched object.
class EventWatcher : public QObject
{
public:
    EventWatcher(QEvent::Type type, std::function<void()> seen)
        : m_type(type), m_seen(std::move(seen))
    {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            m_seen();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_seen;
};

} // namespace

class ControlsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listKeepsRowsInTheOrderAdded();
    void missingRowsAndColumnsFail();
    void removeMovesLaterRowsUp();
    void viewsLearnOfAppendedRowsInOneBatch();
    void modelPassesQtsConsistencyChecks();
    void subItemsAndCheckedMarks();
    void rowsTakenOverInOneGo_data();
    void rowsTakenOverInOneGo();
    void rowsTakenOverWhileAViewShowsThem();
    void bigListFreedWhileANewOneFills();
    void barStoresValuesExactly();
    void barShowsTheLastValueEventually();
    void barPaintsTheLastTextEventually();
};

void ControlsTest::listKeepsRowsInTheOrderAdded()
{
    ListView list;
    velmora::test::fillList(&list, {u"b"_s, u"a"_s, u"b"_s});
    QCOMPARE(velmora::test::itemTexts(&list), (QStringList{u"b"_s, u"a"_s, u"b"_s}));
    QCOMPARE(list.items().item(2).index(), 2);
}

void ControlsTest::missingRowsAndColumnsFail()
{
    ListView list;
    list.columns().add(u"Results"_s);
    list.items().add(u"x"_s);
    auto& items = list.items();
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, items.item(0));
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, items.item(2));
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, items.remove(2));
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, list.columns().item(2));
    // A handle to a row that has gone fails on its next use, like a fresh lookup.
    const velmora::ListItem first = items.item(1);
    items.clear();
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, first.text());
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, first.isChecked());
}

void ControlsTest::removeMovesLaterRowsUp()
{
    ListView list;
    velmora::test::fillList(&list, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    list.items().remove(3);
    QCOMPARE(list.items().count(), 4);
    QCOMPARE(list.items().item(3).text(), u"4"_s);
}

void ControlsTest::viewsLearnOfAppendedRowsInOneBatch()
{
    ListView list;
    int insertions = 0;
    connect(list.model(), &QAbstractItemModel::rowsInserted, this, [&] { ++insertions; });
    for (int i = 0; i < 1000; ++i)
        list.items().add(QString::number(i));
    QCOMPARE(list.items().count(), 1000);
    QCOMPARE(insertions, 0);
    QCoreApplication::processEvents();
    QCOMPARE(insertions, 1);
    QCOMPARE(list.model()->rowCount(), 1000);
    QCOMPARE(list.model()->index(999, 0).data().toString(), u"999"_s);
}

void ControlsTest::modelPassesQtsConsistencyChecks()
{
    ListView list;
    QAbstractItemModelTester tester(list.model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.columns().add(u"Input"_s);
    list.columns().add(u"More"_s);
    velmora::test::fillList(&list, {u"a"_s, u"b"_s, u"c"_s});
    list.items().remove(2); // announces the pending rows first
    velmora::test::fillList(&list, {u"d"_s});
    QCoreApplication::processEvents();
    list.items().item(1).setSubItem(1, u"sub"_s);
    list.items().clear();
    QCOMPARE(list.model()->rowCount(), 0);
}

void ControlsTest::subItemsAndCheckedMarks()
{
    ListView list;
    list.columns().add(u"A"_s);
    list.columns().add(u"B"_s);
    auto row = list.items().add(u"main"_s);
    QVERIFY(row.isChecked()); // rows read as checked unless someone clears the mark
    QCOMPARE(row.subItem(1), QString());
    row.setSubItem(1, u"second"_s);
    row.setChecked(false);
    QCOMPARE(list.items().item(1).subItem(1), u"second"_s);
    QVERIFY(!list.items().item(1).isChecked());
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, row.subItem(2));
}

namespace {

// What a caller can read of a list: every row's text, sub-items and mark.
QStringList rowsOf(ListView& list)
{
    QStringList rows;
    for (int r = 1; r <= list.items().count(); ++r) {
        const velmora::ListItem item = list.items().item(r);
        QString row = item.text() + (item.isChecked() ? u" [x]"_s : u" [ ]"_s);
        for (int k = 1; k < list.columns().count(); ++k)
            row += u" | "_s + item.subItem(k);
        rows.append(row);
    }
    return rows;
}

} // namespace

// A list taken over in one go reads, and goes on behaving, exactly like the same texts added
// one by one: afterwards a row deleted, one added, a mark and a sub-item set, the list
// cleared and filled again.
void ControlsTest::rowsTakenOverInOneGo_data()
{
    QTest::addColumn<QStringList>("before"); // rows already in the list
    QTest::addColumn<bool>("subItems");      // the list has a second column with some set
    QTest::addColumn<QStringList>("texts");
    const QStringList texts{u"c"_s, u""_s, u"a"_s, u"c"_s};
    QTest::newRow("into an empty list") << QStringList{} << false << texts;
    QTest::newRow("after rows already there") << QStringList{u"z"_s, u"y"_s} << false << texts;
    QTest::newRow("sub-items on some rows") << QStringList{u"z"_s, u"y"_s} << true << texts;
    QTest::newRow("nothing to take over") << QStringList{u"z"_s} << true << QStringList{};
}

void ControlsTest::rowsTakenOverInOneGo()
{
    QFETCH(QStringList, before);
    QFETCH(bool, subItems);
    QFETCH(QStringList, texts);
    ListView adopted;
    ListView added;
    for (ListView* list : {&adopted, &added}) {
        list->columns().add(u"Results"_s);
        if (subItems)
            list->columns().add(u"More"_s);
        velmora::test::fillList(list, before);
        if (subItems && !before.isEmpty()) {
            list->items().item(1).setSubItem(1, u"first's"_s);
            list->items().item(1).setChecked(false);
        }
    }
    velmora::TextColumn given = velmora::test::columnOf(texts);
    QVERIFY(adopted.items().addAll(given));
    QVERIFY(given.isEmpty());
    velmora::test::fillList(&added, texts);
    QCOMPARE(rowsOf(adopted), rowsOf(added));
    velmora::test::waitForRowAnnouncement(&adopted);

    for (ListView* list : {&adopted, &added}) {
        if (list->items().count() > 1)
            list->items().remove(2);
        list->items().add(u"new"_s);
        list->items().item(list->items().count()).setChecked(false);
        if (subItems)
            list->items().item(list->items().count()).setSubItem(1, u"new's"_s);
    }
    QCOMPARE(rowsOf(adopted), rowsOf(added));
    velmora::test::waitForRowAnnouncement(&adopted);

    for (ListView* list : {&adopted, &added}) {
        list->items().clear();
        velmora::TextColumn again = velmora::test::columnOf(texts);
        QVERIFY(list->items().addAll(again));
    }
    QCOMPARE(rowsOf(adopted), rowsOf(added));
    velmora::test::waitForRowAnnouncement(&adopted);
}

// A view showing the list learns of the rows taken over as of rows added: once, on the next
// turn of the event loop, and can then show and select the last of them.
void ControlsTest::rowsTakenOverWhileAViewShowsThem()
{
    ListView list;
    list.columns().add(u"Results"_s);
    list.resize(300, 200);
    list.show();
    velmora::test::fillList(&list, {u"shown"_s});
    velmora::test::waitForRowAnnouncement(&list);
    velmora::TextColumn texts;
    for (int i = 0; i < 1000; ++i)
        texts.append(QString::number(i));
    QVERIFY(list.items().addAll(texts));
    QCOMPARE(list.model()->rowCount(), 1); // not yet told
    velmora::test::waitForRowAnnouncement(&list);
    const QModelIndex last = list.model()->index(1000, 0);
    QCOMPARE(last.data().toString(), u"999"_s);
    list.setCurrentIndex(last);
    QCOMPARE(list.selectedItem()->text(), u"999"_s);
    QVERIFY(list.visualRect(last).isValid());
}

// A list big enough to be freed off the window's thread, whose texts another list shares (as
// the results share the input's), is cleared while the other is read and a new one fills.
void ControlsTest::bigListFreedWhileANewOneFills()
{
    const int rows = 200'000;
    ListView input;
    ListView results;
    for (int i = 0; i < rows; ++i)
        input.items().add(QString::number(i));
    for (int round = 0; round < 3; ++round) {
        for (int i = 1; i <= rows; ++i)
            results.items().add(input.items().item(i).text());
        results.items().clear();
        for (int i = 0; i < rows; i += 7)
            results.items().add(input.items().item(i + 1).text() + u'!');
        QCOMPARE(results.items().item(2).text(), u"7!"_s);
        results.items().clear();
    }
    QCOMPARE(input.items().item(rows).text(), QString::number(rows - 1));
}

void ControlsTest::barStoresValuesExactly()
{
    ProgressBar bar;
    for (double value : {0.0, 33.0, 100.02, 100.04, 1.5, 0.0}) {
        bar.setValue(value);
        QCOMPARE(bar.value(), value);
    }
    bar.setText(u"Writing file: 100%.txt (3000)"_s);
    QCOMPARE(bar.text(), u"Writing file: 100%.txt (3000)"_s); // drawn as written: no % placeholders
}

void ControlsTest::barShowsTheLastValueEventually()
{
    ProgressBar bar;
    for (int i = 0; i <= 100; ++i)
        bar.setValue(i);
    bar.setValue(57.9);
    QTRY_COMPARE(bar.QProgressBar::value(), 57); // the whole percent drawn
    bar.setValue(250);
    QTRY_COMPARE(bar.QProgressBar::value(), 100);
}

// The save changes the bar's text every thousand rows; the bar paints the newest text at
// most once per interval, and always paints the last one.
void ControlsTest::barPaintsTheLastTextEventually()
{
    ProgressBar bar;
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QStringList painted; // the text at each paint
    EventWatcher watcher(QEvent::Paint, [&] { painted.append(bar.text()); });
    bar.installEventFilter(&watcher);
    painted.clear();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 3000; ++i) {
        bar.setText(QString::number(i));
        QCoreApplication::processEvents();
    }
    // Timers may fire early by a tick of the system's clock (Windows' is 15.6 ms), and a
    // paint of the showing may still come: room for twice the rate and three more.
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(painted.size() <= 2 * elapsed / ProgressBar::kRepaintIntervalMs + 3,
             qPrintable(u"%1 paints in %2 ms"_s.arg(painted.size()).arg(elapsed)));
    QTRY_VERIFY(!painted.isEmpty() && painted.last() == u"2999"_s);
}

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
