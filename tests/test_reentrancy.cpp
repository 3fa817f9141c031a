// Commands started inside the yields of other commands, many at a time: the sort and the
// save hand control to the event loop while they run, nothing is disabled, and the busy
// pointer is the only guard. The lists must end as the rules say, nothing may crash (these
// run under AddressSanitizer too), and a save in the middle of it all must leave a whole
// file or the old one.
#include "core/errors/error_report.h"
#include "core/errors/runtime_failure.h"
#include "core/input/sample_text.h"
#include "core/output/aligned_export.h"
#include "fake_platform.h"
#include "test_helpers.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using velmora::ListView;
using velmora::MainWindow;
using velmora::test::FakePlatformScope;
using velmora::test::fileContents;
using velmora::test::fillList;
using velmora::test::itemTexts;
using velmora::test::reportedLines;
using velmora::test::waitForRowAnnouncement;
using velmora::test::windowsPathIn;
using velmora::test::writeTestFile;

namespace {

// What Start Sorting shows for these input items, by the rules: the items (or their words,
// cut at every space) in code-unit order, numbered when counting.
QStringList sortedResults(const QStringList& items, bool words, bool counters)
{
    QStringList keys;
    for (const QString& item : items) {
        if (!words)
            keys.append(item);
        else if (!item.isEmpty())
            keys.append(item.split(u' '));
    }
    std::stable_sort(keys.begin(), keys.end()); // QString's < compares UTF-16 code units
    if (counters) {
        for (qsizetype i = 0; i < keys.size(); ++i)
            keys[i] = QString::number(i + 1) + u". "_s + keys[i];
    }
    return keys;
}

// Makes the rows visible to the view and selects the first.
void selectFirstRow(ListView* list)
{
    waitForRowAnnouncement(list);
    list->setCurrentIndex(list->model()->index(0, 0));
}

const QByteArray kOldFile("the previous results\r\n");

} // namespace

class ReentrancyTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startSortingPressedAgainAndAgain_data();
    void startSortingPressedAgainAndAgain();
    void busyStateEndsWithTheInnerSort_data();
    void busyStateEndsWithTheInnerSort();
    void whileTheKeysAreRanked_data();
    void whileTheKeysAreRanked();
    void commandsDuringASave_data();
    void commandsDuringASave();
    void closingWhileASaveRunsInsideASort();
};

void ReentrancyTest::startSortingPressedAgainAndAgain_data()
{
    QTest::addColumn<bool>("chained");
    QTest::addColumn<bool>("words");
    QTest::newRow("at every pass of one long sort, lines") << false << false;
    QTest::newRow("each press inside the last one's sort, 25 deep, words with counters")
        << true << true;
}

// Before each press the user adds an input line, so every sort has its own snapshot. Each
// sort that ends shows its own result; the first one, the last to end, decides.
void ReentrancyTest::startSortingPressedAgainAndAgain()
{
    QFETCH(bool, chained);
    QFETCH(bool, words);
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    form.sortWordsOption->setChecked(words);
    form.counterCheck->setChecked(words);
    QStringList initial; // in reverse order: the first sort makes a pass per item
    for (int i = 40; i > 0; --i)
        initial.append(u"w%1 x%1"_s.arg(i, 2, 10, QChar(u'0')));
    fillList(form.inputList, initial);

    struct Press
    {
        QStringList snapshot;
        QStringList results; // right after that sort ended
        int pointer = -1;
    };
    std::vector<Press> presses;
    const std::size_t limit = chained ? 25 : 1000;
    int depth = 0;
    scope.fake.onEveryYield = [&](int) {
        if ((!chained && depth > 0) || presses.size() == limit)
            return;
        form.inputList->items().add(u"added %1"_s.arg(presses.size()));
        presses.push_back({itemTexts(form.inputList), {}, -1});
        const std::size_t mine = presses.size() - 1;
        ++depth;
        form.startSortingButton->click();
        --depth;
        presses[mine].results = itemTexts(form.resultList);
        presses[mine].pointer = form.mousePointerValue();
    };
    form.startSortingButton->click();

    QVERIFY(presses.size() >= (chained ? limit : 40));
    for (const Press& press : presses) {
        QCOMPARE(press.results, sortedResults(press.snapshot, words, words));
        QCOMPARE(press.pointer, 0); // the inner sort ends the busy state
    }
    QCOMPARE(itemTexts(form.resultList), sortedResults(initial, words, words));
    QCOMPARE(itemTexts(form.inputList).size(), initial.size() + qsizetype(presses.size()));
    QCOMPARE(form.mousePointerValue(), 0);
    QCOMPARE(form.progressBar->value(), 0.0);
    QVERIFY(scope.fake.boxes.empty());
}

void ReentrancyTest::busyStateEndsWithTheInnerSort_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QStringList>("resultsBetween"); // after the action, before the first ends
    const QStringList sorted{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("Delete in the input list removes; the first sort's snapshot is whole")
        << u"delete input"_s << QStringList{u"b"_s, u"a"_s} << sorted;
    QTest::newRow("Delete in the result list removes from the second sort's result")
        << u"delete results"_s << QStringList{u"c"_s, u"b"_s, u"a"_s}
        << QStringList{u"b"_s, u"c"_s};
    QTest::newRow("Clear Text empties the input list")
        << u"clear text"_s << QStringList{} << sorted;
}

// A second Start Sorting inside the first one's yield ends the busy state at its end,
// although the first still runs: from then on Delete and Clear Text act again.
void ReentrancyTest::busyStateEndsWithTheInnerSort()
{
    QFETCH(QString, action);
    QFETCH(QStringList, input);
    QFETCH(QStringList, resultsBetween);
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    fillList(form.inputList, {u"c"_s, u"b"_s, u"a"_s});
    fillList(form.resultList, {u"old"_s});
    QStringList between;
    bool pressed = false;
    scope.fake.onEveryYield = [&](int) {
        if (std::exchange(pressed, true))
            return;
        form.startSortingButton->click(); // runs to its end inside this yield
        if (action == u"delete input"_s) {
            selectFirstRow(form.inputList);
            QTest::keyClick(form.inputList, Qt::Key_Delete);
        } else if (action == u"delete results"_s) {
            selectFirstRow(form.resultList);
            QTest::keyClick(form.resultList, Qt::Key_Delete);
        } else {
            form.clearText();
        }
        between = itemTexts(form.resultList);
    };
    form.startSortingButton->click();

    QCOMPARE(itemTexts(form.inputList), input);
    QCOMPARE(between, resultsBetween);
    QCOMPARE(itemTexts(form.resultList), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(form.mousePointerValue(), 0);
    QVERIFY(scope.fake.boxes.empty());
}

void ReentrancyTest::whileTheKeysAreRanked_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<bool>("afterWork"); // the handler runs once the ranking has ended
    for (const QString& action : {u"close"_s, u"start sorting"_s}) {
        QTest::addRow("%s while 40 keys are ranked", qPrintable(action)) << action << 40 << false;
        QTest::addRow("%s as the ranking of 40 keys ends", qPrintable(action))
            << action << 40 << true;
        QTest::addRow("%s while 100000 keys are ranked on two threads", qPrintable(action))
            << action << 100'000 << false;
    }
}

// The sort ranks its keys on another thread while the window goes on handling events.
// Closing the window then unwinds the sort before its first pass and leaves the results as
// they were; a second Start Sorting runs a whole sort of the input as it is by then, and
// the first one, ending last, shows its own.
void ReentrancyTest::whileTheKeysAreRanked()
{
    QFETCH(QString, action);
    QFETCH(int, keyCount);
    QFETCH(bool, afterWork);
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    QStringList input; // descending: as many passes as keys
    for (int i = keyCount; i > 0; --i)
        input.append(u"k%1"_s.arg(i, 6, 10, QChar(u'0')));
    fillList(form.inputList, input);
    fillList(form.resultList, {u"earlier result"_s});
    const QStringList innerInput = input.mid(0, 20);
    QStringList shownByInner;
    scope.fake.actionsAfterWork = afterWork;
    scope.fake.whileWorking[1] = [&] {
        if (action == u"close"_s) {
            form.close();
            return;
        }
        form.inputList->items().clear();
        fillList(form.inputList, innerInput);
        form.startSortingButton->click();
        shownByInner = itemTexts(form.resultList);
        form.inputList->items().clear();
        fillList(form.inputList, input);
    };
    form.startSortingButton->click();

    QCOMPARE(itemTexts(form.inputList), input);
    if (action == u"close"_s) {
        QVERIFY(scope.fake.programEnding());
        QCOMPARE(scope.fake.yields, 0);
        QCOMPARE(itemTexts(form.resultList), QStringList{u"earlier result"_s});
    } else {
        QCOMPARE(scope.fake.backgroundRuns, 2);
        QCOMPARE(shownByInner, sortedResults(innerInput, false, false));
        QCOMPARE(scope.fake.yields, keyCount + innerInput.size());
        QCOMPARE(itemTexts(form.resultList), sortedResults(input, false, false));
        QCOMPARE(form.mousePointerValue(), 0);
        QCOMPARE(form.progressBar->value(), 0.0);
    }
    QVERIFY(scope.fake.boxes.empty());
}

// A save of the five results r1 to r5 over an old out.txt. Its yields: 1-2 start, 3-7
// measuring, 8-9 the bar, 10 the heading, 11-12 the bar, then four per row: row 1 at 13-16,
// row 2 at 17-20, and so on. A command started inside one of them yields too, and those
// yields count on.
void ReentrancyTest::commandsDuringASave_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("atYield");
    QTest::addColumn<QStringList>("input");     // the input list before and after
    QTest::addColumn<QByteArray>("fileDuring"); // out.txt right after the action
    QTest::addColumn<QList<int>>("lines");      // the writer's error boxes
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("results");

    const QStringList rows{u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s, u"r5"_s};
    const QByteArray whole("Results\t\r\nr1     \t\r\nr2     \t\r\nr3     \t\r\nr4     \t\r\n"
                           "r5     \t\r\n");
    const QStringList withSample = QStringList{u"in"_s} + velmora::input::sampleLines();
    QTest::newRow("Load Sample, Clear Text and Delete: only the sample acts, the file is whole")
        << u"sample, clear text, delete"_s << 17 << withSample << kOldFile << QList<int>{} << whole
        << rows;
    QTest::newRow("Load Sample and Clear Results at row 1: every counted row an empty line")
        << u"sample, clear results"_s << 13 << withSample << kOldFile
        << QList<int>{188, 196, 198, 214, 188, 196, 198, 214, 188, 196,
                      198, 214, 188, 196, 198, 214, 188, 196, 198, 214}
        << QByteArray("Results\t\r\n\r\n\r\n\r\n\r\n\r\n") << QStringList{};
    QTest::newRow("Start Sorting at row 2: two new rows written, the three gone ones empty")
        << u"start sorting"_s << 17 << QStringList{u"zz"_s, u"yy"_s} << kOldFile
        << QList<int>{188, 196, 198, 188, 196, 198, 188, 196, 198}
        << QByteArray("Results\t\r\nr1     \t\r\nzz     \t\r\n\r\n\r\n\r\n")
        << QStringList{u"yy"_s, u"zz"_s};
    QTest::newRow("Save again at row 2 over other results: the first save ends last and wins")
        << u"new results, save"_s << 17 << QStringList{u"in"_s}
        << QByteArray("Results\t\r\nnew    \t\r\n")
        << QList<int>{188, 196, 198, 188, 196, 198, 188, 196, 198, 188, 196, 198}
        << QByteArray("Results\t\r\nr1     \t\r\n\r\n\r\n\r\n\r\n") << QStringList{u"new"_s};
}

void ReentrancyTest::commandsDuringASave()
{
    QFETCH(QString, action);
    QFETCH(int, atYield);
    QFETCH(QStringList, input);
    QFETCH(QByteArray, fileDuring);
    QFETCH(QList<int>, lines);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, results);
    FakePlatformScope scope;
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.txt"_s);
    writeTestFile(out, kOldFile);
    MainWindow form;
    form.startUp();
    fillList(form.inputList, action == u"start sorting"_s ? input : QStringList{u"in"_s});
    fillList(form.resultList, {u"r1"_s, u"r2"_s, u"r3"_s, u"r4"_s, u"r5"_s});
    selectFirstRow(form.inputList);
    selectFirstRow(form.resultList);
    scope.fake.saveAnswers = {windowsPathIn(dir, u"out.txt"_s), windowsPathIn(dir, u"out.txt"_s)};
    QByteArray during;
    scope.fake.atYield[atYield] = [&] {
        if (action.contains(u"sample"_s))
            form.loadSampleTextButton->click();
        if (action.contains(u"clear text"_s))
            form.clearTextButton->click();
        if (action.contains(u"delete"_s)) {
            QTest::keyClick(form.inputList, Qt::Key_Delete);
            QTest::keyClick(form.resultList, Qt::Key_Delete);
        }
        if (action.contains(u"clear results"_s))
            form.clearResultsButton->click();
        if (action == u"start sorting"_s)
            form.startSortingButton->click();
        if (action == u"new results, save"_s) {
            form.clearResultsButton->click();
            fillList(form.resultList, {u"new"_s});
            form.saveResultsButton->click();
        }
        during = fileContents(out);
    };
    form.saveResultsButton->click();

    QCOMPARE(during, fileDuring);
    QCOMPARE(reportedLines(scope.fake.boxes, velmora::output::kSaveAlignedTextLocation), lines);
    QCOMPARE(fileContents(out), file);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
    QCOMPARE(itemTexts(form.inputList), input);
    QCOMPARE(itemTexts(form.resultList), results);
    QCOMPARE(form.mousePointerValue(), 0);
    QCOMPARE(form.progressBar->value(), 0.0);
    QCOMPARE(form.progressBar->text(), u"Progress Bar"_s);
}

// The window is closed while a save runs inside a sort's yield. The end passes the save's
// button edge and the sort's: the save is dropped, the sort goes no further, no box shows.
void ReentrancyTest::closingWhileASaveRunsInsideASort()
{
    FakePlatformScope scope;
    QTemporaryDir dir;
    const QString out = dir.filePath(u"out.txt"_s);
    writeTestFile(out, kOldFile);
    MainWindow form;
    form.startUp();
    fillList(form.inputList, {u"c"_s, u"b"_s, u"a"_s});
    fillList(form.resultList, {u"earlier result"_s});
    scope.fake.saveAnswers = {windowsPathIn(dir, u"out.txt"_s)};
    scope.fake.atYield[1] = [&] { form.saveResultsButton->click(); }; // Save, in the sort's yield
    scope.fake.atYield[13] = [&] { form.close(); };                   // as it writes row 1

    form.startSortingButton->click();

    QVERIFY(scope.fake.programEnding());
    QCOMPARE(scope.fake.yields, 13);
    QCOMPARE(fileContents(out), kOldFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
    QCOMPARE(itemTexts(form.resultList), QStringList{u"earlier result"_s});
    QVERIFY(scope.fake.boxes.empty());
}

QTEST_MAIN(ReentrancyTest)
#include "test_reentrancy.moc"
