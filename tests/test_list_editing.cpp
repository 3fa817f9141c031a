#include "fake_platform.h"
#include "test_helpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

const QStringList kFive = {u"one"_s, u"two"_s, u"three"_s, u"four"_s, u"five"_s};
const QStringList kOther = {u"x"_s, u"y"_s};

// The main window after start-up, its lists filled.
struct Window
{
    FakePlatformScope scope;
    MainWindow form;

    Window(const QStringList& input, const QStringList& results)
    {
        form.startUp();
        fillList(form.inputList, input);
        fillList(form.resultList, results);
    }
};

// Makes the rows visible to the view and selects one (0-based; -1 selects nothing).
void showRowsAndSelect(ListView* list, int row)
{
    waitForRowAnnouncement(list);
    list->clearSelection();
    if (row >= 0)
        list->setCurrentIndex(list->model()->index(row, 0));
}

} // namespace

// Nothing here while busy: tests/test_reentrancy.cpp and tests/test_sort_command.cpp press
// these keys and buttons in the middle of a save and a sort.
class ListEditingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deleteKey_data()
    {
        QTest::addColumn<int>("listNumber");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("selectedRow");
        QTest::addColumn<QStringList>("after");
        const QKeySequence del(Qt::Key_Delete);
        const QStringList withoutThree = {u"one"_s, u"two"_s, u"four"_s, u"five"_s};
        QTest::newRow("input: third of five, the fourth moves up") << 1 << del << 2 << withoutThree;
        QTest::newRow("input: Ctrl+Delete deletes too")
            << 1 << QKeySequence(Qt::CTRL | Qt::Key_Delete) << 2 << withoutThree;
        QTest::newRow("results: Shift+Delete deletes too")
            << 2 << QKeySequence(Qt::SHIFT | Qt::Key_Delete) << 2 << withoutThree;
        QTest::newRow("results: last item") << 2 << del << 4 << kFive.first(4);
        QTest::newRow("Backspace removes nothing")
            << 1 << QKeySequence(Qt::Key_Backspace) << 2 << kFive;
        QTest::newRow("no selection") << 1 << del << -1 << kFive;
    }
    // Real key presses, so the list's own key event reaches the handler as it would.
    void deleteKey()
    {
        QFETCH(int, listNumber);
        QFETCH(QKeySequence, keys);
        QFETCH(int, selectedRow);
        QFETCH(QStringList, after);
        Window w(listNumber == 1 ? kFive : kOther, listNumber == 1 ? kOther : kFive);
        ListView* list = listNumber == 1 ? w.form.inputList : w.form.resultList;
        ListView* other = listNumber == 1 ? w.form.resultList : w.form.inputList;
        showRowsAndSelect(list, selectedRow);
        showRowsAndSelect(other, 0);
        QTest::keySequence(list, keys);
        QCOMPARE(itemTexts(list), after);
        QCOMPARE(itemTexts(other), kOther);
        QCOMPARE(w.form.mousePointer(), MousePointer::Default);
        QVERIFY(w.scope.fake.boxes.empty());
    }

    void clearButtonsEmptyTheirOwnListOnly()
    {
        Window w(kFive, kOther);
        w.form.progressBar->setValue(40);
        showRowsAndSelect(w.form.inputList, 2);
        w.form.clearTextButton->click();
        QCOMPARE(itemTexts(w.form.inputList), QStringList());
        QCOMPARE(itemTexts(w.form.resultList), kOther);
        QCOMPARE(w.scope.fake.memoryGiveBacks, 1);         // the lines' memory goes back at once
        QTest::keyClick(w.form.inputList, Qt::Key_Delete); // its selection went with its items
        fillList(w.form.inputList, kFive);
        w.form.clearResultsButton->click();
        QCOMPARE(itemTexts(w.form.inputList), kFive);
        QCOMPARE(itemTexts(w.form.resultList), QStringList());
        QCOMPARE(w.scope.fake.memoryGiveBacks, 2);
        QCOMPARE(w.form.progressBar->value(), 40.0);
        QCOMPARE(w.form.mousePointer(), MousePointer::Default);
        QVERIFY(w.scope.fake.boxes.empty());
    }

    // Despite the lists' tool tip, a real double-click neither removes nor edits an item.
    void doubleClickChangesNothing()
    {
        Window w(kFive, kOther);
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        for (ListView* list : {w.form.inputList, w.form.resultList}) {
            showRowsAndSelect(list, 1);
            const QPoint onItem = list->visualRect(list->model()->index(1, 0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onItem);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onItem);
            QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
            for (const QLineEdit* editor : list->findChildren<QLineEdit*>())
                QVERIFY(!editor->isVisible());
        }
        QCOMPARE(itemTexts(w.form.inputList), kFive);
        QCOMPARE(itemTexts(w.form.resultList), kOther);
        QVERIFY(w.scope.fake.boxes.empty());
    }
};

QTEST_MAIN(ListEditingTest)
#include "test_list_editing.moc"
