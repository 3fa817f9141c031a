#include "fake_platform.h"
#include "test_helpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::Form1;
using velmora::ListView;
using velmora::MousePointer;
using velmora::test::FakePlatformScope;
using velmora::test::fillList;
using velmora::test::itemTexts;

namespace {

const QStringList kFive = {u"one"_s, u"two"_s, u"three"_s, u"four"_s, u"five"_s};
const QStringList kOther = {u"x"_s, u"y"_s};

// Makes the rows visible to the view and selects one (0-based; -1 selects nothing).
void showRowsAndSelect(ListView* list, int row)
{
    list->listModel()->announcePendingRows();
    list->clearSelection();
    if (row >= 0)
        list->setCurrentIndex(list->model()->index(row, 0));
}

} // namespace

class ListEditingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deleteKey_data();
    void deleteKey();
    void clearButtons_data();
    void clearButtons();
    void duringASortOnlyClearResultsActs();
    void doubleClickChangesNothing();
};

void ListEditingTest::deleteKey_data()
{
    QTest::addColumn<int>("listNumber");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<QStringList>("after");
    const QStringList withoutThree = {u"one"_s, u"two"_s, u"four"_s, u"five"_s};
    QTest::newRow("input: third of five, the fourth moves up")
        << 1 << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << false << kFive << 2
        << withoutThree;
    QTest::newRow("results: third of five") << 2 << int(Qt::Key_Delete) << Qt::KeyboardModifiers()
                                            << false << kFive << 2 << withoutThree;
    QTest::newRow("Ctrl+Delete deletes too")
        << 1 << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ControlModifier) << false << kFive
        << 2 << withoutThree;
    QTest::newRow("Shift+Delete deletes too")
        << 2 << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << kFive
        << 2 << withoutThree;
    QTest::newRow("last item") << 1 << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << false
                               << kFive << 4 << kFive.first(4);
    QTest::newRow("Backspace removes nothing")
        << 1 << int(Qt::Key_Backspace) << Qt::KeyboardModifiers() << false << kFive << 2 << kFive;
    QTest::newRow("no selection") << 1 << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << false
                                  << kFive << -1 << kFive;
    QTest::newRow("empty list") << 2 << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << false
                                << QStringList{} << -1 << QStringList{};
    QTest::newRow("busy: input keeps its items")
        << 1 << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << true << kFive << 2 << kFive;
    QTest::newRow("busy: results keep their items")
        << 2 << int(Qt::Key_Delete) << Qt::KeyboardModifiers() << true << kFive << 2 << kFive;
}

// Real key presses, so the list's own key event reaches the handler as it would.
void ListEditingTest::deleteKey()
{
    QFETCH(int, listNumber);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, busy);
    QFETCH(QStringList, items);
    QFETCH(int, selectedRow);
    QFETCH(QStringList, after);
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    ListView* list = listNumber == 1 ? form.ListView1 : form.ListView2;
    ListView* other = listNumber == 1 ? form.ListView2 : form.ListView1;
    fillList(list, items);
    fillList(other, kOther);
    showRowsAndSelect(list, selectedRow);
    showRowsAndSelect(other, 0);
    if (busy)
        form.setMousePointer(MousePointer::Hourglass);

    QTest::keyClick(list, Qt::Key(key), modifiers);

    QCOMPARE(itemTexts(list), after);
    QCOMPARE(itemTexts(other), kOther);
    QCOMPARE(form.mousePointer(), busy ? MousePointer::Hourglass : MousePointer::Default);
    QVERIFY(scope.fake.boxes.empty());
}

void ListEditingTest::clearButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("inputAfter");
    QTest::addColumn<QStringList>("resultsAfter");
    QTest::newRow("Clear Text empties the input only")
        << 1 << false << kFive << QStringList{} << kOther;
    QTest::newRow("Clear Text on an empty list")
        << 1 << false << QStringList{} << QStringList{} << kOther;
    QTest::newRow("Clear Text while busy does nothing") << 1 << true << kFive << kFive << kOther;
    QTest::newRow("Clear Results empties the results only")
        << 2 << false << kFive << kFive << QStringList{};
    QTest::newRow("Clear Results while busy still empties")
        << 2 << true << kFive << kFive << QStringList{};
}

void ListEditingTest::clearButtons()
{
    QFETCH(int, button);
    QFETCH(bool, busy);
    QFETCH(QStringList, input);
    QFETCH(QStringList, inputAfter);
    QFETCH(QStringList, resultsAfter);
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    fillList(form.ListView1, input);
    fillList(form.ListView2, kOther);
    form.ProgressBar1->setValue(40);
    if (busy)
        form.setMousePointer(MousePointer::Hourglass);

    if (button == 1)
        form.PushButton1->click();
    else
        form.PushButton2->click();

    QCOMPARE(itemTexts(form.ListView1), inputAfter);
    QCOMPARE(itemTexts(form.ListView2), resultsAfter);
    QCOMPARE(form.mousePointer(), busy ? MousePointer::Hourglass : MousePointer::Default);
    QCOMPARE(form.ProgressBar1->Value(), 40.0);
    QVERIFY(scope.fake.boxes.empty());
}

// The busy state as a running sort sets it, not as a test fakes it.
void ListEditingTest::duringASortOnlyClearResultsActs()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    fillList(form.ListView1, {u"c"_s, u"a"_s, u"b"_s});
    fillList(form.ListView2, kOther);
    showRowsAndSelect(form.ListView1, 0);
    showRowsAndSelect(form.ListView2, 0);
    int resultsWhileSorting = -1;
    scope.fake.atYield[1] = [&] {
        QTest::keyClick(form.ListView1, Qt::Key_Delete);
        QTest::keyClick(form.ListView2, Qt::Key_Delete);
        form.PushButton1_Click();
        form.PushButton2_Click();
        resultsWhileSorting = form.ListView2->ListItems().Count();
    };
    form.PushButton17_Click();

    QCOMPARE(resultsWhileSorting, 0);
    QCOMPARE(itemTexts(form.ListView1), (QStringList{u"c"_s, u"a"_s, u"b"_s}));
    QCOMPARE(itemTexts(form.ListView2), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QVERIFY(scope.fake.boxes.empty());
}

void ListEditingTest::doubleClickChangesNothing()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    fillList(form.ListView1, kFive);
    fillList(form.ListView2, kOther);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (ListView* list : {form.ListView1, form.ListView2}) {
        showRowsAndSelect(list, 1);
        const QPoint onItem = list->visualRect(list->model()->index(1, 0)).center();
        // A real double-click: the first click, then the second one reported as double.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onItem);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onItem);
        QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        for (const QLineEdit* editor : list->findChildren<QLineEdit*>())
            QVERIFY(!editor->isVisible());
    }
    QCOMPARE(itemTexts(form.ListView1), kFive);
    QCOMPARE(itemTexts(form.ListView2), kOther);
    QVERIFY(scope.fake.boxes.empty());
}

QTEST_MAIN(ListEditingTest)
#include "test_list_editing.moc"
