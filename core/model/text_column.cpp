#include "core/model/text_column.h"

#include "core/platform/large_pages.h"
#include "core/threads/two_parts.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

namespace velmora {

namespace {
// Each block a column starts for its texts is twice the last, from the smallest up to the
// largest: a list filled one text at a time takes a block per megabyte or two, and a few
// rows added to a big list take little room.
constexpr qsizetype kSmallestBlock = 2 * 1024;
constexpr qsizetype kLargestBlock = 1024 * 1024;
} // namespace

// A copy shares what the other column holds but never writes into its last block: the
// other one goes on appending there.
TextColumn::TextColumn(const TextColumn& other) : m_views(other.m_views), m_blocks(other.m_blocks)
{}

TextColumn& TextColumn::operator=(const TextColumn& other)
{
    if (this != &other) {
        m_views = other.m_views;
        m_blocks = other.m_blocks;
        dropTail();
    }
    return *this;
}

TextColumn::TextColumn(TextColumn&& other) noexcept
    : m_views(std::move(other.m_views)), m_blocks(std::move(other.m_blocks)),
      m_tailFree(std::exchange(other.m_tailFree, nullptr)),
      m_tailRoom(std::exchange(other.m_tailRoom, 0)),
      m_tailUnits(std::exchange(other.m_tailUnits, 0))
{
    other.m_views.clear();
    other.m_blocks.clear();
}

TextColumn& TextColumn::operator=(TextColumn&& other) noexcept
{
    if (this != &other) {
        m_views = std::exchange(other.m_views, {});
        m_blocks = std::exchange(other.m_blocks, {});
        m_tailFree = std::exchange(other.m_tailFree, nullptr);
        m_tailRoom = std::exchange(other.m_tailRoom, 0);
        m_tailUnits = std::exchange(other.m_tailUnits, 0);
    }
    return *this;
}

void TextColumn::append(QStringView text)
{
    const PackedTextView stored = store(text);
    m_views.append(stored);
}

void TextColumn::replace(qsizetype i, QStringView text)
{
    const PackedTextView stored = store(text);
    m_views[i] = stored;
}

void TextColumn::clear()
{
    m_views.clear();
    m_blocks.clear();
    dropTail();
}

void TextColumn::reserveCharacters(qsizetype units)
{
    if (units > m_tailRoom)
        startTail(units);
}

void TextColumn::append(TextColumn&& other)
{
    if (isEmpty() && m_blocks.isEmpty()) {
        *this = std::move(other);
        return;
    }
    // The blocks first: should memory run out for the views, this column is as it was but
    // for a few more blocks held, and the other is untouched.
    holdBlocksOf(other);
    m_views.append(other.m_views);
    other.clear();
}

QStringView TextColumn::holdBlock(QString block)
{
    refuseBeyondViews(block);
    m_blocks.append(std::move(block));
    return m_blocks.constLast();
}

void TextColumn::holdBlocksOf(const TextColumn& other)
{
    for (const QString& block : other.m_blocks) {
        const bool held = std::any_of(m_blocks.cbegin(), m_blocks.cend(), [&](const QString& mine) {
            return mine.constData() == block.constData();
        });
        if (!held)
            m_blocks.append(block);
    }
}

TextColumn TextColumn::gathered(const std::vector<std::uint32_t>& positions) const
{
    TextColumn column;
    column.m_blocks = m_blocks;
    column.sizeViewsToWrite(static_cast<qsizetype>(positions.size()));
    PackedTextView* out = column.m_views.data();
    const PackedTextView* in = m_views.constData();
    inOneOrTwoHalves(column.size(), [&](qsizetype begin, qsizetype end) {
        for (qsizetype i = begin; i < end; ++i)
            out[i] = in[positions[static_cast<std::size_t>(i)]];
    });
    return column;
}

TextColumn TextColumn::gatheredIntoOneBlock(const std::vector<std::uint32_t>& positions) const
{
    TextColumn column = gathered(positions);
    PackedTextView* views = column.m_views.data();
    const qsizetype count = column.size();
    // The characters of each half's texts: where the back half's characters start.
    std::array<qsizetype, 2> unitsOfHalf{};
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        qsizetype units = 0;
        for (qsizetype i = begin; i < end; ++i)
            units += PackedTextView::storedUnits(views[i].size());
        unitsOfHalf[halfBeginningAt(begin)] = units;
    });
    const qsizetype frontUnits = unitsOfHalf[0];
    QString block(frontUnits + unitsOfHalf[1], Qt::Uninitialized);
    refuseBeyondViews(block);
    adviseLargePagesFor(block.data(), std::size_t(block.size()));
    QChar* const first = block.data();
    // The texts are read in an order of their own, so each is asked for some rows ahead.
    // Written by hand for speed (bench_huge's Start Sorting, save and copy).
    constexpr qsizetype kAhead = 16;
    inOneOrTwoHalves(count, [&](qsizetype begin, qsizetype end) {
        QChar* out = first + (halfBeginningAt(begin) == 0 ? 0 : frontUnits);
        for (qsizetype i = begin; i < end; ++i) {
            if (i + kAhead < end)
                column.prefetch(i + kAhead);
            const QStringView text = views[i].view();
            views[i] = PackedTextView::writeAt(out, text);
            out += PackedTextView::storedUnits(text.size());
        }
    });
    column.m_blocks = {std::move(block)};
    return column;
}

TextColumn TextColumn::scattered(const std::vector<std::uint32_t>& positions) const
{
    TextColumn column;
    column.m_blocks = m_blocks;
    column.sizeViewsToWrite(m_views.size());
    PackedTextView* out = column.m_views.data();
    const PackedTextView* in = m_views.constData();
    inOneOrTwoHalves(size(), [&](qsizetype begin, qsizetype end) {
        for (qsizetype i = begin; i < end; ++i)
            out[positions[static_cast<std::size_t>(i)]] = in[i];
    });
    return column;
}

// The text's characters in this column's last block, which gets a successor when full.
PackedTextView TextColumn::store(QStringView text)
{
    if (text.isEmpty())
        return PackedTextView::of({});
    const qsizetype units = PackedTextView::storedUnits(text.size());
    if (units > m_tailRoom)
        startTail(units);
    const PackedTextView stored = PackedTextView::writeAt(m_tailFree, text);
    m_tailFree += units;
    m_tailRoom -= units;
    return stored;
}

void TextColumn::startTail(qsizetype atLeast)
{
    const qsizetype units =
        std::max(atLeast, std::clamp(m_tailUnits * 2, kSmallestBlock, kLargestBlock));
    QString block(units, Qt::Uninitialized);
    refuseBeyondViews(block);
    adviseLargePagesFor(block.data(), std::size_t(block.size()));
    QChar* free = block.data(); // the block is this column's alone: no copy is made
    m_blocks.append(std::move(block));
    m_tailFree = free;
    m_tailRoom = units;
    m_tailUnits = units;
}

void TextColumn::reserve(qsizetype count)
{
    m_views.reserve(count);
    adviseLargePagesFor(m_views.data(), std::size_t(m_views.capacity()));
}

// The views are left unset (PackedTextView's constructor), for threads that write them all.
void TextColumn::sizeViewsToWrite(qsizetype count)
{
    reserve(count);
    m_views.resize(count);
}

// A block no view can reach counts as memory the column cannot have; no host has given
// out such addresses so far.
void TextColumn::refuseBeyondViews(const QString& block)
{
    if (!PackedTextView::holdsAddress(block.constData() + block.size()))
        throw std::bad_alloc();
}

void TextColumn::dropTail()
{
    m_tailFree = nullptr;
    m_tailRoom = 0;
    m_tailUnits = 0;
}

} // namespace velmora
