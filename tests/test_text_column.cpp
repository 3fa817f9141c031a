// The lists' column of texts against a plain list of strings: the same texts after any
// sequence of edits, also for copies that go on changing on their own, for texts that are
// views of other columns' blocks once those columns are gone, and for a copy read on
// another thread while its original keeps changing.
#include "core/model/text_column.h"
#include "text_lists.h"

#include <QTest>

#include <algorithm>
#include <numeric>
#include <random>
#include <thread>

using namespace Qt::StringLiterals;
using velmora::TextColumn;
using velmora::test::textsOf;

namespace {

QString randomText(std::mt19937& random)
{
    // Mostly short, now and then longer than a whole block, so blocks fill and follow, and
    // rarely about as long as a text whose length its view holds alone.
    constexpr auto kLongestShort = std::size_t{velmora::PackedTextView::kLongestShort};
    const std::size_t length = random() % 2000 == 0 ? kLongestShort - 1 + random() % 4
                               : random() % 50 == 0 ? 5000 + random() % 3000
                                                    : random() % 12;
    QString text;
    for (std::size_t i = 0; i < length; ++i)
        text.append(QChar(u'a' + static_cast<char16_t>(random() % 26)));
    return text;
}

// A column and the list it must equal, edited alike.
struct Pair
{
    TextColumn column;
    QStringList list;
};

} // namespace

class TextColumnTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void editsMatchAPlainList();
    void viewsOutliveTheColumnsThatMadeTheirBlocks();
    void aCopyIsReadOnAnotherThreadWhileItsOriginalChanges();
    void reorderedIntoOneBlockAndBack_data();
    void reorderedIntoOneBlockAndBack();
};

void TextColumnTest::editsMatchAPlainList()
{
    std::mt19937 random(18);
    std::vector<Pair> pairs(3);
    for (int step = 0; step < 20'000; ++step) {
        Pair& pair = pairs[random() % pairs.size()];
        const auto size = pair.list.size();
        const auto anyRow = [&] { return static_cast<qsizetype>(random() % size); };
        switch (random() % 12) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4: {
            const QString text = randomText(random);
            pair.column.append(text);
            pair.list.append(text);
            break;
        }
        case 5:
            if (size > 0) {
                const qsizetype row = anyRow();
                const QString text = randomText(random);
                pair.column.replace(row, text);
                pair.list.replace(row, text);
            }
            break;
        case 6:
            if (size > 0) {
                // a text of the column itself, put in another row
                const qsizetype row = anyRow();
                const qsizetype from = anyRow();
                pair.column.replace(row, pair.column.at(from));
                pair.list.replace(row, pair.list.at(from));
            }
            break;
        case 7:
            if (size > 0) {
                const qsizetype row = anyRow();
                pair.column.removeAt(row);
                pair.list.removeAt(row);
            }
            break;
        case 8: // a copy that replaces another pair, which both then edit apart
            pairs[random() % pairs.size()] = pair;
            break;
        case 9: { // another pair's texts taken over
            Pair& other = pairs[random() % pairs.size()];
            if (&other != &pair) {
                pair.column.append(std::move(other.column));
                pair.list.append(std::exchange(other.list, {}));
                QVERIFY(other.column.isEmpty());
            }
            break;
        }
        case 10:
            if (random() % 20 == 0) {
                pair.column.clear();
                pair.list.clear();
            } else if (size > 0) {
                const qsizetype kept = anyRow();
                pair.column.truncate(kept);
                pair.list.resize(kept);
            }
            break;
        case 11: { // reordered as the sort does
            std::vector<std::uint32_t> order(static_cast<std::size_t>(size));
            for (std::uint32_t& position : order)
                position = static_cast<std::uint32_t>(anyRow());
            const TextColumn gathered = pair.column.gathered(order);
            QStringList expected;
            for (const std::uint32_t position : order)
                expected.append(pair.list.at(position));
            pair.column = gathered;
            pair.list = expected;
            break;
        }
        }
        if (step % 97 == 0) {
            for (const Pair& each : pairs)
                QCOMPARE(textsOf(each.column), each.list);
        }
    }
    for (const Pair& each : pairs) {
        QCOMPARE(textsOf(each.column), each.list);
    }
}

void TextColumnTest::viewsOutliveTheColumnsThatMadeTheirBlocks()
{
    // A file's lines are views of its text; word mode's keys are views of the lines; the
    // sorted keys are views in another order. Each stays readable once those before it are
    // cleared or gone.
    // A line too long for its view alone is copied, its length before it.
    const QString longLine(velmora::PackedTextView::kLongestShort + 1, u'z');
    TextColumn keys;
    {
        TextColumn lines;
        const QStringView text = lines.holdBlock(u"dog cat\nant\n"_s + longLine);
        lines.appendView(text.first(7));
        lines.appendView(text.sliced(8, 3));
        lines.appendView(text.sliced(12));
        lines.append(u"bee"_s);
        keys.holdBlocksOf(lines);
        keys.holdBlocksOf(lines); // held once
        for (qsizetype i = 0; i < lines.size(); ++i) {
            for (const QStringView word : lines.at(i).tokenize(u' '))
                keys.appendView(word);
        }
        lines.clear();
    }
    const TextColumn sorted = keys.gathered({2, 4, 1, 0, 3});
    keys.clear();
    QCOMPARE(textsOf(sorted), (QStringList{u"ant"_s, u"bee"_s, u"cat"_s, u"dog"_s, longLine}));
}

void TextColumnTest::aCopyIsReadOnAnotherThreadWhileItsOriginalChanges()
{
    // The sort ranks a copy of the input list on another thread while the window may go on
    // adding to and changing the list: the copy must read what it held at the copy.
    std::mt19937 random(7);
    TextColumn original;
    QStringList expected;
    for (int i = 0; i < 50'000; ++i) {
        const QString text = randomText(random);
        original.append(text);
        expected.append(text);
    }
    const TextColumn copy = original;
    bool same = false;
    std::thread reader([&] { same = textsOf(copy) == expected; });
    for (int i = 0; i < 50'000; ++i) {
        original.append(randomText(random));
        original.replace(static_cast<qsizetype>(random() % 50'000), u"changed"_s);
    }
    reader.join();
    QVERIFY(same);
    original.clear();
    QCOMPARE(textsOf(copy), expected);
}

void TextColumnTest::reorderedIntoOneBlockAndBack_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("a few") << 7;
    QTest::newRow("enough for two threads") << 100'001;
}

// The sort hands the results its keys in rank order with their characters copied into one
// block in that order, and the input list the same texts in list order over that block.
void TextColumnTest::reorderedIntoOneBlockAndBack()
{
    QFETCH(int, count);
    std::mt19937 random(3);
    QStringList texts;
    TextColumn column;
    for (int i = 0; i < count; ++i) {
        texts.append(randomText(random));
        column.append(texts.back());
    }
    std::vector<std::uint32_t> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0u);
    std::shuffle(order.begin(), order.end(), random);
    QStringList expected;
    for (const std::uint32_t position : order)
        expected.append(texts.at(position));

    TextColumn reordered = column.gatheredIntoOneBlock(order);
    QCOMPARE(textsOf(reordered), expected);
    for (qsizetype i = 1; i < reordered.size(); ++i) { // front to back, one after the other
        const qsizetype lengthBefore =
            velmora::PackedTextView::storedUnits(reordered.at(i).size()) - reordered.at(i).size();
        QCOMPARE(reordered.at(i).data() - lengthBefore,
                 reordered.at(i - 1).data() + reordered.at(i - 1).size());
    }
    TextColumn back = reordered.scattered(order);
    column.clear(); // the characters read now are the reordered block's
    reordered.clear();
    QCOMPARE(textsOf(back), texts);
}

QTEST_GUILESS_MAIN(TextColumnTest)
#include "test_text_column.moc"
