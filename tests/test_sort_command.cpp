#include "core/errors/runtime_failure.h"
#include "core/input/sample_text.h"
#include "fake_platform.h"
#include "reference_order.h"
#include "test_helpers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using velmora::MainWindow;
using velmora::MousePointer;
using velmora::test::FakePlatformScope;
using velmora::test::fillList;
using velmora::test::itemTexts;
using velmora::test::ShownForm;

class SortCommandTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sortsIntoTheResultList_data();
    void sortsIntoTheResultList();
    void sortsTheSample();
    void sampleIsAppendedInItsOrder();
    void emptyInputEmptiesTheResults();
    void previousResultsStayUntilTheSortEnds();
    void failingBarIsReportedAtLine140AndResultsStillShow();
    void secondSortInsideTheYieldLastToFinishWins();
    void clearResultsDuringTheSort();
    void inputChangesDuringTheSortDoNotMatter_data();
    void inputChangesDuringTheSortDoNotMatter();
    void inputEditedAfterASortSortsAgain();
};

void SortCommandTest::sortsIntoTheResultList_data()
{
    QTest::addColumn<bool>("wordMode");
    QTest::addColumn<bool>("counter");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("results");

    QTest::newRow("lines: an empty item sorts first")
        << false << false << QStringList{u"b"_s, QString(), u"a"_s}
        << QStringList{QString(), u"a"_s, u"b"_s};
    QTest::newRow("lines: counters, an empty key is a bare counter")
        << false << true << QStringList{u"b"_s, QString(), u"a"_s}
        << QStringList{u"1. "_s, u"2. a"_s, u"3. b"_s};
    QTest::newRow("lines: a single item")
        << false << true << QStringList{u"only"_s} << QStringList{u"1. only"_s};
    QTest::newRow("lines: text inside an item is untouched")
        << false << false << QStringList{u"z a"_s, u" b "_s} << QStringList{u" b "_s, u"z a"_s};
    QTest::newRow("lines: duplicates all kept")
        << false << false << QStringList{u"x"_s, u"x"_s, u"X"_s}
        << QStringList{u"X"_s, u"x"_s, u"x"_s};
    QTest::newRow("words: two spaces leave an empty word")
        << true << false << QStringList{u"the  cat sat"_s}
        << QStringList{QString(), u"cat"_s, u"sat"_s, u"the"_s};
    QTest::newRow("words: an empty item gives no word")
        << true << false << QStringList{QString(), u"b a"_s} << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("words: lines are pooled") << true << false << QStringList{u"dog cat"_s, u"ant"_s}
                                             << QStringList{u"ant"_s, u"cat"_s, u"dog"_s};
    QTest::newRow("words: only U+0020 separates")
        << true << false << QStringList{u"b\ta c\u00a0d"_s}
        << QStringList{u"b\ta"_s, u"c\u00a0d"_s};
    QTest::newRow("words: leading and trailing spaces give empty words")
        << true << true << QStringList{u" x "_s} << QStringList{u"1. "_s, u"2. "_s, u"3. x"_s};
    QStringList ten;
    for (int i = 0; i < 10; ++i)
        ten.append(QString(QChar(u'a' + i)));
    QTest::newRow("counters have no leading zeros")
        << false << true << ten
        << QStringList{u"1. a"_s, u"2. b"_s, u"3. c"_s, u"4. d"_s, u"5. e"_s,
                       u"6. f"_s, u"7. g"_s, u"8. h"_s, u"9. i"_s, u"10. j"_s};
}

void SortCommandTest::sortsIntoTheResultList()
{
    FakePlatformScope scope;
    QFETCH(bool, wordMode);
    QFETCH(bool, counter);
    QFETCH(QStringList, input);
    QFETCH(QStringList, results);
    MainWindow form;
    form.startUp();
    (wordMode ? form.sortWordsOption : form.sortLinesOption)->setChecked(true);
    form.counterCheck->setChecked(counter);
    fillList(form.inputList, input);
    form.startSorting();
    QCOMPARE(itemTexts(form.resultList), results);
    QCOMPARE(itemTexts(form.inputList), input); // the input is only read
    if (counter) {
        // Spare room in each of a million numbered results adds up to tens of megabytes.
        for (const QString& result : itemTexts(form.resultList))
            QCOMPARE(result.capacity(), result.size());
    }
    QCOMPARE(form.mousePointer(), MousePointer::Default);
    QCOMPARE(form.progressBar->value(), 0.0);
    QVERIFY(scope.fake.boxes.empty());
    form.startSorting(); // sorting again gives the same
    QCOMPARE(itemTexts(form.resultList), results);
}

// Clicked as the user does, in the window as shown.
void SortCommandTest::sortsTheSample()
{
    ShownForm shown;
    MainWindow& form = shown.form;
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.loadSampleTextButton, Qt::LeftButton);
    QTest::mouseClick(form.startSortingButton, Qt::LeftButton);
    QCOMPARE(itemTexts(form.resultList),
             (QStringList{u"Avoid business plans."_s, u"Avoid tempting distractions."_s,
                          u"Encourage diverse thinking."_s, u"Guard your time."_s,
                          u"Hire generalists early."_s, u"Hire specialists later."_s,
                          u"Invest in culture."_s, u"Never fudge numbers."_s,
                          u"Pick founders carefully."_s, u"Support customers maniacally."_s,
                          u"Watch your cash."_s, u"Write a blog."_s}));
    QCOMPARE(shown.scope.fake.memoryGiveBacks, 1); // the sort's scratch, once it is done

    QTest::mouseClick(form.sortWordsOption, Qt::LeftButton);
    QVERIFY(form.sortWordsOption->isChecked());
    QTest::mouseClick(form.startSortingButton, Qt::LeftButton);
    const QStringList words = itemTexts(form.resultList);
    QCOMPARE(words.size(), 36);
    QCOMPARE(words.mid(0, 2), (QStringList{u"Avoid"_s, u"Avoid"_s}));
    QCOMPARE(words[11], u"Write"_s);
    QCOMPARE(words[12], u"a"_s);
    QCOMPARE(words.mid(34), (QStringList{u"your"_s, u"your"_s}));
}

void SortCommandTest::sampleIsAppendedInItsOrder()
{
    FakePlatformScope scope;
    MainWindow form;
    fillList(form.inputList, {u"mine"_s});
    form.loadSampleText();
    form.loadSampleText();
    const QStringList items = itemTexts(form.inputList);
    QCOMPARE(items.size(), 25);
    QCOMPARE(items.front(), u"mine"_s);
    QCOMPARE(items.mid(1, 12), velmora::input::sampleLines());
    QCOMPARE(items.mid(13), velmora::input::sampleLines());
    QCOMPARE(items[1], u"Watch your cash."_s);
    QCOMPARE(items[12], u"Guard your time."_s);
}

void SortCommandTest::emptyInputEmptiesTheResults()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    fillList(form.resultList, {u"old"_s});
    form.startSorting();
    QCOMPARE(form.resultList->items().count(), 0);
    QCOMPARE(form.progressBar->value(), 0.0);
    QVERIFY(scope.fake.boxes.empty());
}

void SortCommandTest::previousResultsStayUntilTheSortEnds()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    fillList(form.inputList, {u"b"_s, u"a"_s});
    fillList(form.resultList, {u"old"_s});
    int yieldsSeen = 0;
    scope.fake.onEveryYield = [&](int) {
        ++yieldsSeen;
        QCOMPARE(itemTexts(form.resultList), QStringList{u"old"_s});
        QCOMPARE(form.mousePointer(), MousePointer::Hourglass);
        form.showHoverPointer(form.loadTextFromFileButton); // the hourglass stays over a button
        QCOMPARE(form.mousePointer(), MousePointer::Hourglass);
    };
    form.startSorting();
    QCOMPARE(yieldsSeen, 2);
    QCOMPARE(itemTexts(form.resultList), (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(form.mousePointer(), MousePointer::Default);
}

void SortCommandTest::failingBarIsReportedAtLine140AndResultsStillShow()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    form.counterCheck->setChecked(true);
    fillList(form.inputList, {u"d"_s, u"c"_s, u"b"_s, u"a"_s});
    int writes = 0;
    form.progressBar->setWriteObserver([&](double) {
        if (++writes == 5) // second pass, second comparison
            throw velmora::Failure::overflow();
    });
    form.startSorting();
    QCOMPARE(scope.fake.boxes.size(), 1u);
    const auto& box = scope.fake.boxes.front();
    QCOMPARE(box.title, u"Application Error"_s);
    QCOMPARE(box.icon, velmora::MsgBoxIcon::Exclamation);
    QCOMPARE(box.text, u"Overflow\r\nin Pevrant2021/08/31.Form1.PushButton17_Click at line 140"
                       u"\r\rPlease email screenshot of this message to support@velmora.example"_s);
    // The keys as the sort left them, still numbered and shown.
    QCOMPARE(itemTexts(form.resultList), (QStringList{u"1. b"_s, u"2. c"_s, u"3. a"_s, u"4. d"_s}));
    QCOMPARE(form.mousePointer(), MousePointer::Default);
}

void SortCommandTest::secondSortInsideTheYieldLastToFinishWins()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    fillList(form.inputList, {u"c"_s, u"b"_s, u"a"_s});
    MousePointer pointerAfterInner = MousePointer::Hourglass;
    QStringList resultsAfterInner;
    scope.fake.atYield[2] = [&] {
        // The user replaces the input and presses Start Sorting again, mid-sort.
        form.inputList->items().clear();
        fillList(form.inputList, {u"z"_s, u"y"_s});
        form.startSorting();
        pointerAfterInner = form.mousePointer();
        resultsAfterInner = itemTexts(form.resultList);
    };
    form.startSorting();
    QCOMPARE(resultsAfterInner, (QStringList{u"y"_s, u"z"_s}));
    QCOMPARE(pointerAfterInner, MousePointer::Default); // the inner run ends the busy state
    QCOMPARE(itemTexts(form.resultList), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(form.mousePointer(), MousePointer::Default);
    QVERIFY(scope.fake.boxes.empty());
}

void SortCommandTest::clearResultsDuringTheSort()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    fillList(form.inputList, {u"b"_s, u"a"_s});
    fillList(form.resultList, {u"old"_s});
    int countAfterClear = -1;
    scope.fake.atYield[1] = [&] {
        form.clearResults();
        countAfterClear = form.resultList->items().count();
    };
    form.startSorting();
    QCOMPARE(countAfterClear, 0);
    QCOMPARE(itemTexts(form.resultList), (QStringList{u"a"_s, u"b"_s}));
}

void SortCommandTest::inputChangesDuringTheSortDoNotMatter_data()
{
    QTest::addColumn<bool>("wordMode");
    QTest::addColumn<QStringList>("results");
    QTest::newRow("words") << true << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lines") << false << QStringList{u"b a"_s};
}

void SortCommandTest::inputChangesDuringTheSortDoNotMatter()
{
    QFETCH(bool, wordMode);
    QFETCH(QStringList, results);
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    (wordMode ? form.sortWordsOption : form.sortLinesOption)->setChecked(true);
    fillList(form.inputList, {u"b a"_s});
    scope.fake.atYield[1] = [&] {
        form.clearText();      // Clear Text does nothing while busy
        form.loadSampleText(); // but the sample still loads
    };
    form.startSorting();
    QCOMPARE(itemTexts(form.resultList), results);
    // The input list holds what was added to it meanwhile, however the sorted keys are kept.
    QCOMPARE(itemTexts(form.inputList), QStringList{u"b a"_s} + velmora::input::sampleLines());
}

// Once sorted, the input list's texts may lie in the results' memory; editing either list
// afterwards, or clearing the results, leaves the other as it was.
void SortCommandTest::inputEditedAfterASortSortsAgain()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    QStringList input;
    for (int i = 0; i < 70'000; ++i) // enough for the reorderings to use two threads
        input.append(QString::number((i * 7919) % 70'000));
    fillList(form.inputList, input);
    form.startSorting();
    QCOMPARE(itemTexts(form.resultList), velmora::test::stablySorted(input));

    form.clearResults();
    form.inputList->items().item(1).setText(u"changed"_s);
    form.inputList->items().remove(2);
    form.inputList->items().add(u"added"_s);
    input[0] = u"changed"_s;
    input.removeAt(1);
    input.append(u"added"_s);
    QCOMPARE(itemTexts(form.inputList), input);
    form.startSorting();
    QCOMPARE(itemTexts(form.resultList), velmora::test::stablySorted(input));
    form.resultList->items().item(1).setText(u"result"_s);
    QCOMPARE(itemTexts(form.inputList), input);
}

QTEST_MAIN(SortCommandTest)
#include "test_sort_command.moc"
