#include "core/errors/runtime_failure.h"
#include "core/sorting/bubble_sort.h"
#include "fake_platform.h"
#include "gui/controls/progress_bar.h"
#include "reference_order.h"
#include "text_lists.h"

#include <QTest>

#include <random>
#include <utility>

using namespace Qt::StringLiterals;
using velmora::ProgressBar;
using velmora::test::bubbleSortWithProgress;
using velmora::test::FakePlatformScope;
using velmora::test::stablySorted;

class BubbleSortTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sortsByCodeUnits_data();
    void sortsByCodeUnits();
    void matchesStableSortOnRandomKeys();
    void barValuesPerPass_data();
    void barValuesPerPass();
    void yieldsOncePerPass();
    void keysShowPassStateAtEveryYield();
    void failingBarLeavesPartlySortedKeys();
    void watchedAndUnwatchedBarsSeeTheSamePasses();
    void bigListsMatchStableSort();
};

void BubbleSortTest::sortsByCodeUnits_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("empty sequence") << QStringList{} << QStringList{};
    QTest::newRow("one key") << QStringList{u"x"_s} << QStringList{u"x"_s};
    QTest::newRow("two keys out of order")
        << QStringList{u"b"_s, u"a"_s} << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("capitals before small letters")
        << QStringList{u"a"_s, u"B"_s} << QStringList{u"B"_s, u"a"_s};
    QTest::newRow("prefix first") << QStringList{u"b"_s, u"ab"_s, u"a "_s, u"a"_s}
                                  << QStringList{u"a"_s, u"a "_s, u"ab"_s, u"b"_s};
    QTest::newRow("empty key first")
        << QStringList{u"a"_s, QString()} << QStringList{QString(), u"a"_s};
    QTest::newRow("numbers as text") << QStringList{u"apple"_s, u"Zebra"_s, u"10"_s, u"9"_s}
                                     << QStringList{u"10"_s, u"9"_s, u"Zebra"_s, u"apple"_s};
    QTest::newRow("leading space before letters and digits")
        << QStringList{u"a"_s, u"1"_s, u" z"_s} << QStringList{u" z"_s, u"1"_s, u"a"_s};
    // Code units, not code points: U+10000 is D800 DC00, below U+E000.
    QTest::newRow("surrogates before private use")
        << QStringList{QString(QChar(0xE000)), QString::fromUcs4(U"\U00010000")}
        << QStringList{QString::fromUcs4(U"\U00010000"), QString(QChar(0xE000))};
    QTest::newRow("duplicates all kept") << QStringList{u"b"_s, u"a"_s, u"b"_s, u"a"_s}
                                         << QStringList{u"a"_s, u"a"_s, u"b"_s, u"b"_s};
    QTest::newRow("no locale: accents after z")
        << QStringList{u"\u00e9"_s, u"z"_s, u"e"_s} << QStringList{u"e"_s, u"z"_s, u"\u00e9"_s};
}

void BubbleSortTest::sortsByCodeUnits()
{
    FakePlatformScope scope;
    QFETCH(QStringList, keys);
    QFETCH(QStringList, sorted);
    ProgressBar bar;
    const QStringList result = bubbleSortWithProgress(keys, bar);
    QCOMPARE(keys, sorted); // sorted in place
    QCOMPARE(result, sorted);
    QCOMPARE(bar.value(), 0.0);
}

void BubbleSortTest::matchesStableSortOnRandomKeys()
{
    FakePlatformScope scope;
    std::mt19937 random(7);
    for (int size : {3, 17, 300}) {
        QStringList keys;
        for (int i = 0; i < size; ++i) {
            QString key;
            const int length = static_cast<int>(random() % 4);
            for (int c = 0; c < length; ++c)
                key.append(QChar(char16_t(u"aAb \xe9\xd800"[random() % 6])));
            keys.append(key);
        }
        const QStringList expected = stablySorted(keys);
        ProgressBar bar;
        bubbleSortWithProgress(keys, bar);
        QCOMPARE(keys, expected);
    }
}

void BubbleSortTest::barValuesPerPass_data()
{
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<QList<double>>("firstPass");
    QTest::newRow("two keys, n = 0") << 2 << QList<double>{0};
    QTest::newRow("five keys, n = 3") << 5 << QList<double>{0, 33, 66, 100};
    QList<double> hundred;
    for (int i = 0; i <= 100; ++i)
        hundred.append(i == 29 ? 28 : i == 57 ? 56 : i == 58 ? 57 : i);
    QTest::newRow("102 keys, n = 100: rounding at 29, 57, 58") << 102 << hundred;
}

void BubbleSortTest::barValuesPerPass()
{
    FakePlatformScope scope;
    QFETCH(int, keyCount);
    QFETCH(QList<double>, firstPass);
    // Reverse order: every pass but the last exchanges, so the passes are keyCount.
    QStringList keys;
    for (int i = keyCount; i > 0; --i)
        keys.append(QString::number(1000 + i));
    QList<double> written;
    ProgressBar bar;
    bar.setWriteObserver([&](double value) { written.append(value); });
    bubbleSortWithProgress(keys, bar);

    // Reversed keys take keyCount passes (the last one clean), then the final 0.
    const qsizetype perPass = firstPass.size();
    QCOMPARE(written.size(), keyCount * perPass + 1);
    for (qsizetype pass = 0; pass < keyCount; ++pass)
        QCOMPARE(written.mid(pass * perPass, perPass), firstPass);
    QCOMPARE(written.back(), 0.0);
    QCOMPARE(bar.value(), 0.0);
}

void BubbleSortTest::yieldsOncePerPass()
{
    FakePlatformScope scope;
    struct Case
    {
        QStringList keys;
        int passes;
    };
    const Case cases[] = {
        {{}, 1},
        {{u"a"_s}, 1},
        {{u"a"_s, u"b"_s, u"c"_s}, 1}, // already sorted: one pass
        {{u"c"_s, u"b"_s, u"a"_s}, 3}, // b a c, a b c, then a clean pass
        {{u"b"_s, u"a"_s}, 2},         // exchange, then confirm
    };
    for (Case c : cases) {
        scope.fake.yields = 0;
        ProgressBar bar;
        bubbleSortWithProgress(c.keys, bar);
        QCOMPARE(scope.fake.yields, c.passes);
    }
}

void BubbleSortTest::keysShowPassStateAtEveryYield()
{
    // The keys are seen when the bar fails; failing at the first write of each pass shows
    // the order of the passes before it.
    FakePlatformScope scope;
    const QList<QStringList> expected = {
        {u"c"_s, u"b"_s, u"a"_s}, {u"b"_s, u"a"_s, u"c"_s}, {u"a"_s, u"b"_s, u"c"_s}};
    for (int pass = 0; pass < 3; ++pass) {
        QStringList keys{u"c"_s, u"b"_s, u"a"_s};
        int writes = 0;
        ProgressBar bar;
        bar.setWriteObserver([&](double) {
            if (++writes == 2 * pass + 1) // two comparison positions a pass
                throw velmora::Failure::overflow();
        });
        QVERIFY_THROWS_EXCEPTION(velmora::RuntimeFailure, bubbleSortWithProgress(keys, bar));
        QCOMPARE(keys, expected[pass]);
    }
}

void BubbleSortTest::failingBarLeavesPartlySortedKeys()
{
    FakePlatformScope scope;
    QStringList keys{u"d"_s, u"c"_s, u"b"_s, u"a"_s};
    int writes = 0;
    ProgressBar bar;
    // Pass 1 makes c b a d in three comparisons; the bar then fails before comparison 2 of
    // pass 2, which has exchanged c and b only.
    bar.setWriteObserver([&](double) {
        if (++writes == 5)
            throw velmora::Failure::overflow();
    });
    QVERIFY_THROWS_EXCEPTION(velmora::RuntimeFailure, bubbleSortWithProgress(keys, bar));
    QCOMPARE(keys, (QStringList{u"b"_s, u"c"_s, u"a"_s, u"d"_s}));
}

void BubbleSortTest::watchedAndUnwatchedBarsSeeTheSamePasses()
{
    // A bar nobody watches gets only the value each pass ends on; the passes, their yields
    // and the result must be those of the fully watched bar.
    FakePlatformScope scope;
    std::mt19937 random(11);
    QStringList input;
    for (int i = 0; i < 60; ++i)
        input.append(QString::number(random() % 40));
    auto sortedWith = [&](bool watched) {
        scope.fake.yields = 0;
        QStringList keys = input;
        ProgressBar bar;
        if (watched)
            bar.setWriteObserver([](double) {});
        bubbleSortWithProgress(keys, bar);
        return std::pair(keys, scope.fake.yields);
    };
    const auto watched = sortedWith(true);
    QCOMPARE(sortedWith(false), watched);
    QVERIFY(watched.second > 10);
}

void BubbleSortTest::bigListsMatchStableSort()
{
    // Enough keys to be ranked on two threads, with long shared beginnings, so the parts
    // after the packed first code units decide.
    FakePlatformScope scope;
    std::mt19937 random(5);
    QStringList keys;
    for (int i = 0; i < 70'000; ++i) {
        QString key = QStringList{u"abcd"_s, u"abc"_s, u"ab"_s, QString()}[random() % 4];
        for (int c = static_cast<int>(random() % 4); c > 0; --c)
            key.append(QChar(char16_t(u"a\0b"[random() % 3])));
        keys.append(key);
    }
    const QStringList expected = stablySorted(keys);
    ProgressBar bar;
    bubbleSortWithProgress(keys, bar);
    QCOMPARE(keys, expected);
    QCOMPARE(scope.fake.backgroundRuns, 1);
    QCOMPARE(bar.value(), 0.0);
}

QTEST_MAIN(BubbleSortTest)
#include "test_bubble_sort.moc"
