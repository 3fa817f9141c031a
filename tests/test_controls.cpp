#include "app/controls/list_view.h"
#include "app/controls/progress_bar.h"
#include "app/errors/runtime_failure.h"
#include "test_helpers.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::ListView;
using velmora::ProgressBar;
using velmora::RuntimeFailure;

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
    void barStoresValuesExactly();
    void barShowsTheLastValueEventually();
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

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
