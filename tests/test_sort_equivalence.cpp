// The sort counts its passes instead of running them; the plain bubble sort below is the
// definition it must match in everything a caller or a user can see: the yields, every bar
// value written, the final order, and the order reached when a bar write fails or the
// window closes in a yield.
#include "core/errors/runtime_failure.h"
#include "core/sorting/bubble_sort.h"
#include "core/sorting/key_ranking.h"
#include "core/sorting/sort_keys.h"
#include "fake_platform.h"
#include "gui/controls/progress_bar.h"
#include "reference_order.h"
#include "test_helpers.h"
#include "text_lists.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

using namespace Qt::StringLiterals;
using velmora::ProgressBar;
using velmora::test::bubbleSortWithProgress;
using velmora::test::codeUnitsLess;
using velmora::test::FakePlatformScope;

namespace {

struct Stopped
{};

// What the plain bubble sort did: its yields, the bar values it wrote (how many had been
// written at each yield, and the bar's value then), and the order it had reached when it
// ended or was stopped.
struct TextbookRun
{
    QStringList keys;
    int yields = 0;
    QList<double> writes;
    QList<qsizetype> writesBeforeYield;
    QList<double> valueAtYield; // a new bar holds 0
    bool stopped = false;
};

// The textbook sort, stopped at the given bar write or yield (1-based; 0: never).
TextbookRun textbookSort(QStringList keys, qsizetype stopAtWrite = 0, int stopAtYield = 0)
{
    TextbookRun run;
    const int n = static_cast<int>(keys.size()) - 2;
    auto write = [&](double value) {
        run.writes.append(value);
        if (run.writes.size() == stopAtWrite)
            throw Stopped{};
    };
    try {
        bool swapped = true;
        while (swapped) {
            run.writesBeforeYield.append(run.writes.size());
            run.valueAtYield.append(run.writes.isEmpty() ? 0.0 : run.writes.back());
            if (++run.yields == stopAtYield)
                throw Stopped{};
            swapped = false;
            for (int i = 0; i <= n; ++i) {
                write(i == 0 ? 0.0 : std::floor(static_cast<double>(i) / n * 100.0));
                if (codeUnitsLess(keys[i + 1], keys[i])) {
                    keys.swapItemsAt(i, i + 1);
                    swapped = true;
                }
            }
        }
        write(0.0);
    } catch (Stopped) {
        run.stopped = true;
    }
    run.keys = keys;
    return run;
}

// Keys built from pieces that sit close together in code-unit order: duplicates, empty
// keys, spaces at either end, surrogate pairs, NULs, shared beginnings longer than four.
QStringList randomKeys(std::mt19937& random, int maxCount)
{
    static const QStringList pieces = {QString(),
                                       u" "_s,
                                       u"a"_s,
                                       u"b"_s,
                                       u"B"_s,
                                       u"10"_s,
                                       u"9"_s,
                                       u"abcd"_s,
                                       QString(QChar(0xE000)),
                                       QString::fromUcs4(U"\U00010000"),
                                       QString(QChar(u'\0'))};
    QStringList keys;
    const int count = static_cast<int>(random() % static_cast<unsigned>(maxCount + 1));
    for (int i = 0; i < count; ++i) {
        QString key;
        for (int p = static_cast<int>(random() % 4); p > 0; --p)
            key += pieces[static_cast<qsizetype>(random() % pieces.size())];
        keys.append(key);
    }
    return keys;
}

int randomIn(std::mt19937& random, qsizetype first, qsizetype last)
{
    return static_cast<int>(first + static_cast<qsizetype>(random() % (last - first + 1)));
}

// The writes cut at the yields: those before the first yield, between each two, and after
// the last.
QList<QList<double>> writesBetweenYields(const QList<double>& writes,
                                         const QList<qsizetype>& writesBeforeYield)
{
    QList<QList<double>> pieces;
    qsizetype from = 0;
    for (const qsizetype to : writesBeforeYield + QList<qsizetype>{writes.size()}) {
        pieces.append(writes.mid(from, to - from));
        from = to;
    }
    return pieces;
}

// Whether `got` leaves out some of `all` but adds nothing, keeps the order and ends alike.
bool leavesOutOnly(const QList<double>& got, const QList<double>& all)
{
    if (got.isEmpty() || all.isEmpty())
        return got.isEmpty() && all.isEmpty();
    qsizetype next = 0;
    for (const double value : got) {
        while (next < all.size() && all[next] != value)
            ++next;
        if (next++ == all.size())
            return false;
    }
    return got.back() == all.back();
}

// A bar nobody watches, which keeps what is written to it all the same.
class UnwatchedBar final : public velmora::ProgressIndicator
{
public:
    QList<double> writes;

    double value() const override { return writes.isEmpty() ? 0.0 : writes.back(); }
    void setValue(double value) override { writes.append(value); }
    QString text() const override { return {}; }
    void setText(const QString&) override {}
    bool hasWriteObserver() const override { return false; }
};

} // namespace

class SortEquivalenceTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void yieldsBarValuesAndOrderMatch();
    void unwatchedBarGetsNoValueTheTextbookDoesNotWrite();
    void failingWriteLeavesTheTextbookOrder();
    void closingInAYieldLeavesTheTextbookOrder();
    void closingWhileTheKeysAreRankedLeavesThemAsTheyWere();
    void ordersAfterPassesMatchTheTextbook();
    void piecesOfAllLinesMatchTheSplitLoop();
    void rankingOfManyKeysMatchesTheStableSort_data();
    void rankingOfManyKeysMatchesTheStableSort();
    void failingWriteThroughTheWindow();
    void nestedSortInARandomYield();
};

void SortEquivalenceTest::yieldsBarValuesAndOrderMatch()
{
    FakePlatformScope scope;
    std::mt19937 random(1);
    QList<qsizetype> sizes;
    for (int round = 0; round < 3000; ++round) {
        const QStringList input = randomKeys(random, 60);
        sizes.append(input.size());
        const TextbookRun expected = textbookSort(input);
        for (const bool watched : {true, false}) {
            scope.fake.yields = 0;
            QStringList keys = input;
            QList<double> writes;
            ProgressBar bar;
            if (watched)
                bar.setWriteObserver([&](double value) { writes.append(value); });
            // Read in each yield, where the window sees it: a bar nobody watches must hold
            // there what the plain sort's holds.
            QList<double> atYields;
            scope.fake.onEveryYield = [&](int) { atYields.append(bar.value()); };
            bubbleSortWithProgress(keys, bar);
            QCOMPARE(scope.fake.yields, expected.yields);
            QCOMPARE(keys, expected.keys);
            QCOMPARE(bar.value(), 0.0);
            QCOMPARE(atYields, expected.valueAtYield);
            if (watched)
                QCOMPARE(writes, expected.writes);
        }
    }
    for (const qsizetype fewest : {0, 1, 2}) // lists without a comparison, and with one
        QVERIFY(sizes.contains(fewest));
}

void SortEquivalenceTest::unwatchedBarGetsNoValueTheTextbookDoesNotWrite()
{
    // A bar nobody watches may miss values between two yields, but the real one paints
    // what it is given: it must get nothing the plain sort does not write there, and end
    // each stretch on the same value.
    FakePlatformScope scope;
    std::mt19937 random(6);
    for (int round = 0; round < 3000; ++round) {
        const QStringList input = randomKeys(random, round < 300 ? 3 : 60);
        const TextbookRun expected = textbookSort(input);
        QStringList keys = input;
        UnwatchedBar bar;
        QList<qsizetype> writesBeforeYield;
        scope.fake.onEveryYield = [&](int) { writesBeforeYield.append(bar.writes.size()); };
        bubbleSortWithProgress(keys, bar);
        const auto got = writesBetweenYields(bar.writes, writesBeforeYield);
        const auto all = writesBetweenYields(expected.writes, expected.writesBeforeYield);
        QCOMPARE(got.size(), all.size());
        for (qsizetype k = 0; k < got.size(); ++k) {
            QVERIFY2(leavesOutOnly(got[k], all[k]),
                     qPrintable(u"%1 keys, after yield %2"_s.arg(input.size()).arg(k)));
        }
        QCOMPARE(keys, expected.keys);
    }
}

void SortEquivalenceTest::failingWriteLeavesTheTextbookOrder()
{
    FakePlatformScope scope;
    std::mt19937 random(2);
    for (int round = 0; round < 3000; ++round) {
        const QStringList input = randomKeys(random, 60);
        const qsizetype allWrites = textbookSort(input).writes.size();
        const int failingWrite = randomIn(random, 1, allWrites);
        const TextbookRun expected = textbookSort(input, failingWrite);

        QStringList keys = input;
        qsizetype writes = 0;
        ProgressBar bar;
        bar.setWriteObserver([&](double) {
            if (++writes == failingWrite)
                throw velmora::Failure::overflow();
        });
        QVERIFY_THROWS_EXCEPTION(velmora::RuntimeFailure, bubbleSortWithProgress(keys, bar));
        QCOMPARE(keys, expected.keys);
        QCOMPARE(bar.value(), expected.writes.back());
    }
}

void SortEquivalenceTest::closingInAYieldLeavesTheTextbookOrder()
{
    std::mt19937 random(3);
    for (int round = 0; round < 1000; ++round) {
        FakePlatformScope scope; // a closed program stays closed: a new one every round
        const QStringList input = randomKeys(random, 60);
        const int closingYield = randomIn(random, 1, textbookSort(input).yields);
        const TextbookRun expected = textbookSort(input, 0, closingYield);

        QStringList keys = input;
        scope.fake.atYield[closingYield] = [&] { scope.fake.requestProgramEnd(); };
        ProgressBar bar;
        QVERIFY_THROWS_EXCEPTION(velmora::ProgramEnding, bubbleSortWithProgress(keys, bar));
        QCOMPARE(scope.fake.yields, closingYield);
        QCOMPARE(keys, expected.keys);
    }
}

void SortEquivalenceTest::closingWhileTheKeysAreRankedLeavesThemAsTheyWere()
{
    // The window closes while the ranking runs, or as it ends, when it has taken the keys
    // out of the list: the plain sort would be caught in its first yield, before a pass.
    std::mt19937 random(8);
    for (int round = 0; round < 1000; ++round) {
        FakePlatformScope scope;
        const QStringList input = randomKeys(random, 60);
        scope.fake.actionsAfterWork = round % 2 == 0;
        scope.fake.whileWorking[1] = [&] { scope.fake.requestProgramEnd(); };

        QStringList keys = input;
        ProgressBar bar;
        QVERIFY_THROWS_EXCEPTION(velmora::ProgramEnding, bubbleSortWithProgress(keys, bar));
        QCOMPARE(keys, textbookSort(input, 0, 1).keys);
        QCOMPARE(bar.value(), 0.0);
    }
}

void SortEquivalenceTest::ordersAfterPassesMatchTheTextbook()
{
    // Every permutation of up to seven ranks, after every number of passes.
    auto afterPasses = [](std::vector<std::uint32_t> ranks, int passes) {
        for (int pass = 0; pass < passes; ++pass) {
            for (std::size_t i = 0; i + 1 < ranks.size(); ++i) {
                if (ranks[i] > ranks[i + 1])
                    std::swap(ranks[i], ranks[i + 1]);
            }
        }
        return ranks;
    };
    for (std::uint32_t size = 0; size <= 7; ++size) {
        std::vector<std::uint32_t> ranks(size);
        std::iota(ranks.begin(), ranks.end(), 0u);
        do {
            for (int passes = 0; passes <= static_cast<int>(size) + 1; ++passes)
                QCOMPARE(velmora::sorting::ranksAfterPasses(ranks, passes),
                         afterPasses(ranks, passes));
        } while (std::next_permutation(ranks.begin(), ranks.end()));
    }
}

void SortEquivalenceTest::piecesOfAllLinesMatchTheSplitLoop()
{
    // Word mode's keys come from one pass over all lines; the loop that splits each line and
    // appends its pieces one by one is what it must match: empty lines, spaces at either
    // end and in runs, and other white space that is not a separator.
    std::mt19937 random(18);
    for (int round = 0; round < 200; ++round) {
        QStringList lines;
        for (int l = static_cast<int>(random() % 6); l > 0; --l) {
            QString line;
            for (int c = static_cast<int>(random() % 9); c > 0; --c)
                line.append(u"ab \t"_s.at(static_cast<qsizetype>(random() % 4)));
            lines.append(line);
        }
        QStringList expected{u"kept"_s};
        velmora::TextColumn keys = velmora::test::columnOf(expected);
        for (const QString& line : lines)
            expected.append(velmora::sorting::splitAtSpaces(line));
        const velmora::TextColumn column = velmora::test::columnOf(lines);
        QCOMPARE(velmora::sorting::appendPiecesOfLines(column, keys), lines.size());
        QCOMPARE(velmora::test::textsOf(keys), expected);
    }
}

void SortEquivalenceTest::rankingOfManyKeysMatchesTheStableSort_data()
{
    // Keys that repeat a lot are ranked through their distinct texts, others by sorting
    // them all; the sample that decides can mislead either way.
    QTest::addColumn<int>("vocabulary");     // distinct texts the keys are drawn from; 0: no limit
    QTest::addColumn<int>("repeatingFirst"); // keys at the start drawn from three texts only
    QTest::addColumn<bool>("sharedStart");   // all keys begin alike, or each its own way
    QTest::newRow("words of a text") << 300 << 0 << true;
    QTest::newRow("one text") << 1 << 0 << true;
    QTest::newRow("hardly a repeat") << 0 << 0 << true;
    QTest::newRow("hardly a repeat, beginning apart") << 0 << 0 << false;
    QTest::newRow("some repeats, beginning apart") << 20'000 << 0 << false;
    QTest::newRow("repeats at the start only") << 0 << 5000 << true;
    QTest::newRow("more texts than half the keys") << 200'000 << 5000 << true;
}

void SortEquivalenceTest::rankingOfManyKeysMatchesTheStableSort()
{
    QFETCH(int, vocabulary);
    QFETCH(int, repeatingFirst);
    QFETCH(bool, sharedStart);
    std::mt19937 random(11);
    const auto textOf = [&](std::uint32_t n) {
        // Shared heads, so that tails decide too; or the number first, spread over many
        // first characters, and a tail that often decides.
        return sharedStart ? u"word%1"_s.arg(n)
                           : QString(QChar(char16_t(0x41 + n % 700))) + u"%1 end"_s.arg(n % 97);
    };
    QStringList keys;
    for (int i = 0; i < 100'000; ++i) {
        const std::uint32_t n = i < repeatingFirst ? random() % 3
                                : vocabulary > 0   ? random() % static_cast<unsigned>(vocabulary)
                                                   : random();
        keys.append(textOf(n));
    }
    const velmora::test::StableRanking expected = velmora::test::stableRanking(keys);
    velmora::sorting::KeyRanking ranking{velmora::test::columnOf(keys)};
    QCOMPARE(ranking.passCount(), expected.bubblePasses);
    QCOMPARE(velmora::test::textsOf(ranking.orderAfter(0, 0)), keys);
    QCOMPARE(velmora::test::textsOf(ranking.takeSorted()), expected.sorted);
}

void SortEquivalenceTest::failingWriteThroughTheWindow()
{
    // The command shows the order the failing write caught, with one box at the sort step.
    velmora::test::ShownForm shown;
    velmora::MainWindow& form = shown.form;
    std::mt19937 random(4);
    for (int round = 0; round < 300; ++round) {
        const QStringList input = randomKeys(random, 40);
        const int failingWrite = randomIn(random, 1, textbookSort(input).writes.size());
        form.inputList->items().clear();
        velmora::test::fillList(form.inputList, input);
        shown.scope.fake.boxes.clear();
        qsizetype writes = 0;
        form.progressBar->setWriteObserver([&](double) {
            if (++writes == failingWrite)
                throw velmora::Failure::overflow();
        });
        form.startSorting();
        QCOMPARE(velmora::test::itemTexts(form.resultList), textbookSort(input, failingWrite).keys);
        QCOMPARE(
            velmora::test::reportedLines(shown.scope.fake.boxes, velmora::Location::startSorting),
            QList<int>{140});
    }
    form.progressBar->setWriteObserver(nullptr);
}

void SortEquivalenceTest::nestedSortInARandomYield()
{
    // A second Start Sorting inside a yield of the first: the bar sees the outer sort's
    // values up to that yield, all of the inner sort's, then the rest of the outer's; the
    // results are the outer sort's, the inner sort's shown meanwhile.
    velmora::test::ShownForm shown;
    velmora::MainWindow& form = shown.form;
    std::mt19937 random(5);
    QList<double> writes;
    form.progressBar->setWriteObserver([&](double value) { writes.append(value); });
    for (int round = 0; round < 300; ++round) {
        const QStringList outer = randomKeys(random, 40);
        const QStringList inner = randomKeys(random, 40);
        const TextbookRun outerRun = textbookSort(outer);
        const TextbookRun innerRun = textbookSort(inner);
        const int nestedYield = randomIn(random, 1, outerRun.yields);

        form.inputList->items().clear();
        velmora::test::fillList(form.inputList, outer);
        writes.clear();
        shown.scope.fake.yields = 0;
        QStringList shownByInner;
        shown.scope.fake.atYield = {{nestedYield, [&] {
                                         form.inputList->items().clear();
                                         velmora::test::fillList(form.inputList, inner);
                                         form.startSorting();
                                         shownByInner = velmora::test::itemTexts(form.resultList);
                                     }}};
        form.startSorting();

        const qsizetype before = outerRun.writesBeforeYield[nestedYield - 1];
        const QList<double> expected =
            outerRun.writes.first(before) + innerRun.writes + outerRun.writes.sliced(before);
        QCOMPARE(writes, expected);
        QCOMPARE(shown.scope.fake.yields, outerRun.yields + innerRun.yields);
        QCOMPARE(shownByInner, innerRun.keys);
        QCOMPARE(velmora::test::itemTexts(form.resultList), outerRun.keys);
        QVERIFY(shown.scope.fake.boxes.empty());
    }
    form.progressBar->setWriteObserver(nullptr);
}

QTEST_MAIN(SortEquivalenceTest)
#include "test_sort_equivalence.moc"
