#include "app/controls/list_view.h"
#include "app/controls/vendor_progress_bar.h"
#include "app/errors/runtime_failure.h"
#include "test_helpers.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::ListView;
using velmora::RuntimeFailure;
using velmora::VendorProgressBar;

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
    QCOMPARE(list.ListItems().Item(2).Index(), 2);
}

void ControlsTest::missingRowsAndColumnsFail()
{
    ListView list;
    list.ColumnHeaders().Add(u"Results"_s);
    list.ListItems().Add(u"x"_s);
    auto& items = list.ListItems();
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, items.Item(0));
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, items.Item(2));
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, items.Remove(2));
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, list.ColumnHeaders().Item(2));
    // A handle to a row that has gone fails on its next use, like a fresh lookup.
    const velmora::ListItem first = items.Item(1);
    items.Clear();
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, first.Text());
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, first.Checked());
}

void ControlsTest::removeMovesLaterRowsUp()
{
    ListView list;
    velmora::test::fillList(&list, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    list.ListItems().Remove(3);
    QCOMPARE(list.ListItems().Count(), 4);
    QCOMPARE(list.ListItems().Item(3).Text(), u"4"_s);
}

void ControlsTest::viewsLearnOfAppendedRowsInOneBatch()
{
    ListView list;
    int insertions = 0;
    connect(list.model(), &QAbstractItemModel::rowsInserted, this, [&] { ++insertions; });
    for (int i = 0; i < 1000; ++i)
        list.ListItems().Add(QString::number(i));
    QCOMPARE(list.ListItems().Count(), 1000);
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
    list.ColumnHeaders().Add(u"Input"_s);
    list.ColumnHeaders().Add(u"More"_s);
    velmora::test::fillList(&list, {u"a"_s, u"b"_s, u"c"_s});
    list.ListItems().Remove(2); // announces the pending rows first
    velmora::test::fillList(&list, {u"d"_s});
    QCoreApplication::processEvents();
    list.ListItems().Item(1).setSubItems(1, u"sub"_s);
    list.ListItems().Clear();
    QCOMPARE(list.model()->rowCount(), 0);
}

void ControlsTest::subItemsAndCheckedMarks()
{
    ListView list;
    list.ColumnHeaders().Add(u"A"_s);
    list.ColumnHeaders().Add(u"B"_s);
    auto row = list.ListItems().Add(u"main"_s);
    QVERIFY(row.Checked()); // rows read as checked unless someone clears the mark
    QCOMPARE(row.SubItems(1), QString());
    row.setSubItems(1, u"second"_s);
    row.setChecked(false);
    QCOMPARE(list.ListItems().Item(1).SubItems(1), u"second"_s);
    QVERIFY(!list.ListItems().Item(1).Checked());
    QVERIFY_THROWS_EXCEPTION(RuntimeFailure, row.SubItems(2));
}

void ControlsTest::barStoresValuesExactly()
{
    VendorProgressBar bar;
    for (double value : {0.0, 33.0, 100.02, 100.04, 1.5, 0.0}) {
        bar.setValue(value);
        QCOMPARE(bar.Value(), value);
    }
    bar.setText(u"Writing file: 100%.txt (3000)"_s);
    QCOMPARE(bar.Text(), u"Writing file: 100%.txt (3000)"_s);
    QCOMPARE(bar.text(), bar.Text()); // shown as written, no % placeholders
}

void ControlsTest::barShowsTheLastValueEventually()
{
    VendorProgressBar bar;
    for (int i = 0; i <= 100; ++i)
        bar.setValue(i);
    bar.setValue(57.9);
    QTRY_COMPARE(bar.value(), 57);
    bar.setValue(250);
    QTRY_COMPARE(bar.value(), 100);
}

QTEST_MAIN(ControlsTest)
#include "test_controls.moc"
