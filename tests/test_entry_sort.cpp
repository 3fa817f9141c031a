// The keys' sort, which orders packed code units a byte at a time and compares texts only
// where keys are alike, against the standard library's stable sort of the texts: the same
// place for every key, equal keys in list order.
#include "core/sorting/entry_sort.h"
#include "reference_order.h"
#include "text_lists.h"

#include <QTest>

#include <random>

using namespace Qt::StringLiterals;

namespace {

QString randomText(std::mt19937& random, const QString& alphabet, int shortest, int longest)
{
    const int length = shortest + static_cast<int>(random() % unsigned(longest - shortest + 1));
    QString text;
    for (int i = 0; i < length; ++i)
        text += alphabet[static_cast<qsizetype>(random() % alphabet.size())];
    return text;
}

} // namespace

class EntrySortTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placesEveryKeyAsTheStableSort_data();
    void placesEveryKeyAsTheStableSort();
};

void EntrySortTest::placesEveryKeyAsTheStableSort_data()
{
    QTest::addColumn<QStringList>("keys");
    std::mt19937 random(5);
    const auto keysOf = [&](int count, auto&& textFor) {
        QStringList keys;
        for (int i = 0; i < count; ++i)
            keys.append(textFor(i));
        return keys;
    };
    const QString ascii = u"ab AB09z~"_s;
    // Units whose high bytes differ too, surrogates, and NUL, which the packing also uses
    // for a unit past a key's end.
    const QString wide =
        u"a\u00FF\u0100\u4E00\uFFFF"_s + QChar(u'\0') + QString::fromUcs4(U"\U00010000\U0010FFFF");

    QTest::newRow("none") << QStringList{};
    QTest::newRow("one") << QStringList{u"x"_s};
    // Around the sizes where comparing gives way to the byte passes, and one thread to two.
    for (const int count : {1023, 1024, 65'535, 65'536, 70'001}) {
        QTest::addRow("%d short keys", count)
            << keysOf(count, [&](int) { return randomText(random, ascii, 0, 8); });
    }
    QTest::newRow("wide units") << keysOf(70'000,
                                          [&](int) { return randomText(random, wide, 0, 9); });
    QTest::newRow("already sorted")
        << keysOf(70'000, [](int i) { return u"%1"_s.arg(i, 7, 10, QChar(u'0')); });
    QTest::newRow("each half sorted, not the whole") << keysOf(
        70'000, [](int i) { return u"%1"_s.arg((i + 35'000) % 70'000, 7, 10, QChar(u'0')); });
    QTest::newRow("sorted backwards")
        << keysOf(70'000, [](int i) { return u"%1"_s.arg(70'000 - i, 7, 10, QChar(u'0')); });
    // Thousands of keys alike for a while, more than once: their next units are packed in
    // turn, each stretch on its own.
    QTest::newRow("long shared beginnings") << keysOf(70'000, [&](int i) {
        return u"C:/Users/someone/Documents/%1/"_s.arg(i % 3) + randomText(random, ascii, 0, 14);
    });
    // A key that ends in the packed units against keys that go on with NULs or anything.
    const QStringList endings = {u"ab"_s,
                                 u"ab"_s + QChar(u'\0'),
                                 u"ab"_s + QString(6, QChar(u'\0')),
                                 u"ab"_s + QString(6, QChar(u'\0')) + u"c"_s,
                                 u"abc"_s,
                                 u"ab"_s + QString(12, QChar(u'\0')),
                                 {}};
    for (const int count : {9'000, 70'001}) {
        QTest::addRow("ends and NULs, %d keys", count) << keysOf(
            count, [&](int) { return endings[static_cast<qsizetype>(random() % endings.size())]; });
    }
    // Short keys that end among keys going on with NULs, and one that goes on for long.
    QTest::newRow("empty lines and one long one") << keysOf(200'001, [&](int i) {
        return i < 5'000     ? randomText(random, ascii, 1, 8)
               : i < 200'000 ? u"x"_s
                             : u"x"_s + QString(60'000, QChar(u'\0'));
    });
    // Where the two threads part: a stretch alike in their first units that holds the
    // middle and reaches the end, or starts at the beginning and passes the middle.
    QTest::newRow("the middle's stretch reaching the end") << keysOf(70'000, [&](int i) {
        return (i < 20'000 ? u""_s : u"zzzzzz"_s) + randomText(random, ascii, 0, 6);
    });
    QTest::newRow("the middle's stretch from the beginning") << keysOf(70'000, [&](int i) {
        return (i < 40'000 ? u"aaaaaa"_s : u""_s) + randomText(random, ascii, 0, 6);
    });
    QTest::newRow("one key throughout") << keysOf(3'000, [](int) { return u"same"_s; });
    // Alike for 20,000 units: thousands of rounds of packing, none on the call stack.
    QTest::newRow("alike for thousands of units") << keysOf(2'000, [&](int) {
        return QString(20'000, QChar(u'k')) + QChar(char16_t(u'a' + random() % 3));
    });
}

void EntrySortTest::placesEveryKeyAsTheStableSort()
{
    QFETCH(QStringList, keys);
    QCOMPARE(velmora::sorting::listPositionsInKeyOrder(velmora::test::columnOf(keys), {}),
             velmora::test::stableRanking(keys).listPositions);
}

QTEST_MAIN(EntrySortTest)
#include "test_entry_sort.moc"
