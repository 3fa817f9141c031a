#pragma once

#include "core/model/text_column.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace velmora {

// The rows and columns behind a list control. Rows added in a burst are announced to the
// views once, on the next turn of the event loop, so appending a million rows costs one
// view update instead of a million.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ListModel(QObject* parent = nullptr);

    // Rows, 0-based here; the 1-based view of them is ListItemCollection. Callers check the
    // index first.
    //
    // Two counts, which differ while rows are pending: every row held, the one the program
    // works with; and rowCount(), the rows the views have been told of so far, which
    // catches up on the next turn of the event loop.
    int rowCountWithPending() const { return static_cast<int>(m_texts.size()); }
    // Valid until the list next changes.
    QStringView text(int row) const { return m_texts.at(row); }
    // Asks the processor to fetch a row's text ahead of its use; no row, no effect.
    void prefetchText(int row) const { m_texts.prefetch(row); }
    const TextColumn& texts() const { return m_texts; }
    void setText(int row, QStringView text);
    // Sub-item k (from 1) of a row; empty when it was never set.
    const QString& subItem(int row, int k) const;
    void setSubItem(int row, int k, const QString& text);
    // Every row reads as checked unless a caller clears the mark.
    bool checked(int row) const { return !m_unchecked[at(row)]; }
    void setChecked(int row, bool checked);

    void appendRow(QStringView text);
    // Appends all the texts as rows at once, taking them over without a copy: the same rows,
    // in the same order, as appending them one by one. False, with nothing changed, when
    // there is no memory for the rows' marks.
    bool adoptRows(TextColumn& texts);
    // Takes `same` in place of the texts when they are still `before`, a copy of them
    // that neither has changed since, and `same` holds as many texts; `same` is left with
    // the former texts. The caller vouches that `same` holds the same texts: the rows and
    // what the views show stay as they are.
    bool swapInSameTexts(const TextColumn& before, TextColumn& same);
    void removeRowAt(int row);
    void clearRows();
    void reserveRows(int count);

    // The columns added; the views always see at least one (columnCount()).
    int columnTotal() const { return static_cast<int>(m_headings.size()); }
    const QString& heading(int index) const { return m_headings[static_cast<std::size_t>(index)]; }
    void appendColumn(QString heading);

    // The rows the views know of: rowCountWithPending() less the rows still pending.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // Tells the views about the rows appended since the last announcement.
    void announcePendingRows();
    void queueAnnouncement();
    static std::size_t at(int row) { return static_cast<std::size_t>(row); }
    void rowChanged(int index);

    // One array per property rather than one of row structs: a million-row list then costs
    // its characters, a view of them and a bit per row. Sub-items take room only once some
    // row has one. The texts are one column so a whole column of them can be taken over as
    // it is.
    TextColumn m_texts;
    std::vector<bool> m_unchecked;
    std::vector<QStringList> m_subItems; // empty, or one entry per row
    std::vector<QString> m_headings;
    int m_announcedRows = 0;
    bool m_announcementQueued = false;
};

} // namespace velmora
