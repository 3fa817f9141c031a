#pragma once

#include "core/model/packed_text_view.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace velmora {

// A list's texts as one column: the characters of many texts lie together in a few big
// blocks, and each text is a view into them. A text then costs its characters and one
// 8-byte view, where a QString per text costs a string, a heap block and its header too;
// and a list of a file's lines is the file's decoded text itself, cut into views.
//
// Copying a column is cheap and shares its views and blocks until either copy changes;
// the blocks stay as long as any column holds them. Texts are only ever appended to a
// block, after what every copy can see, so a copy may be read on another thread while the
// column it came from goes on changing. A text that is replaced or removed keeps its
// characters in their block until the column is cleared.
class TextColumn
{
public:
    TextColumn() = default;
    TextColumn(const TextColumn& other);
    TextColumn& operator=(const TextColumn& other);
    TextColumn(TextColumn&& other) noexcept;
    TextColumn& operator=(TextColumn&& other) noexcept;
    ~TextColumn() = default;

    qsizetype size() const { return m_views.size(); }
    bool isEmpty() const { return m_views.isEmpty(); }
    QStringView at(qsizetype i) const { return m_views.at(i).view(); }
    // Asks the processor to fetch text i's characters ahead of their use; no such text, no
    // effect.
    void prefetch(qsizetype i) const
    {
        if (i >= 0 && i < size())
            prefetchAt(m_views.at(i).data());
    }

    void append(QStringView text);
    void replace(qsizetype i, QStringView text);
    void removeAt(qsizetype i) { m_views.remove(i); }
    // Drops the texts from this position on, if any (it never adds unset ones).
    void truncate(qsizetype size)
    {
        if (size < m_views.size())
            m_views.resize(size);
    }
    void clear();
    // Room for this many texts in all.
    void reserve(qsizetype count);
    // Room for this many more characters, so appending up to them allocates no block.
    void reserveCharacters(qsizetype units);
    // Appends every text of the other column, in order, taking them over (it is left empty).
    void append(TextColumn&& other);

    // Building a column out of blocks a caller made: holdBlock() keeps a block of
    // characters and returns them; appendView() appends a text that must lie within a
    // block this column holds. Both are how a file's text becomes its lines without a copy
    // (but for a text too long for a view alone, which is copied).
    QStringView holdBlock(QString block);
    void holdBlocksOf(const TextColumn& other);
    void appendView(QStringView text)
    {
        if (PackedTextView::isLong(text.size()))
            append(text);
        else
            m_views.append(PackedTextView::of(text));
    }

    // The texts at these positions, in this order, sharing this column's blocks.
    TextColumn gathered(const std::vector<std::uint32_t>& positions) const;
    // The same, but with their characters copied into one new block in this order, so a walk
    // over them reads memory front to back.
    TextColumn gatheredIntoOneBlock(const std::vector<std::uint32_t>& positions) const;
    // The other way round: text i of this column goes to position positions[i], a
    // permutation of all positions. Shares this column's blocks.
    TextColumn scattered(const std::vector<std::uint32_t>& positions) const;
    // Whether neither column has changed its texts since one was copied from the other.
    bool isSameCopyAs(const TextColumn& other) const { return m_views.isSharedWith(other.m_views); }

private:
    static void prefetchAt(const QChar* characters)
    {
#if defined(__has_builtin)
#if __has_builtin(__builtin_prefetch)
        __builtin_prefetch(characters);
#endif
#endif
    }
    PackedTextView store(QStringView text);
    void startTail(qsizetype atLeast);
    void dropTail();
    static void refuseBeyondViews(const QString& block);
    void sizeViewsToWrite(qsizetype count);

    QList<PackedTextView> m_views;
    QList<QString> m_blocks;
    // Room left in the last block, which only this column writes into: a copy starts its
    // own.
    QChar* m_tailFree = nullptr;
    qsizetype m_tailRoom = 0;
    qsizetype m_tailUnits = 0; // the size of the last block this column started
};

} // namespace velmora
