#pragma once

#include "core/model/list_model.h"

#include <QString>

// The list control as the commands see it, without the widget: its rows and its columns,
// numbered from 1 as the control numbers them. Sorting, loading,
// the export and the copy work on these, so they need neither the view nor Qt Widgets.
namespace velmora {

// The row lookups are defined in this header: the save and the copy make several for each
// of millions of rows, and as calls into another file they cost both a sixth of their time
// (bench_output). Only the failure is made out of line.
[[noreturn]] void failIndexOutOfBounds();

// A 1-based position among `count`, checked as the list control checks it.
inline int checkedPosition(int position, int count)
{
    if (position < 1 || position > count)
        failIndexOutOfBounds();
    return position;
}

// One row of a list, addressed by its 1-based position. Every access looks the row up
// again, so a row that has gone raises "Index out of bounds" like the list control does.
class ListItem
{
public:
    ListItem(ListModel* model, int index) : m_model(model), m_index(index) {}
    int index() const { return m_index; }
    QString text() const;
    // The text as the list holds it, valid until the list next changes.
    QStringView textView() const { return m_model->text(row()); }
    void setText(QStringView text);
    // The list control's SubItems(k) and Checked, kept because the export and the copy read
    // them (a row whose mark is off is skipped, a sub-item fills a column after the first);
    // the window sets neither, the tests set both.
    // The text of column k + 1 (k from 1); empty when the row has no such sub-item yet.
    const QString& subItem(int k) const;
    void setSubItem(int k, const QString& text);
    bool isChecked() const { return m_model->checked(row()); }
    void setChecked(bool checked);

private:
    // The 0-based row, or a failure when it has gone.
    int row() const { return checkedPosition(m_index, m_model->rowCountWithPending()) - 1; }
    int rowForSubItem(int k) const; // row(), and a failure unless column k + 1 exists
    ListModel* m_model;
    int m_index;
};

// The rows of a list, numbered from 1.
class ListItemCollection
{
public:
    explicit ListItemCollection(ListModel* model) : m_model(model) {}
    int count() const { return m_model->rowCountWithPending(); }
    // Every row's text, in order: a copy shares the list's own until either changes.
    const TextColumn& texts() const { return m_model->texts(); }
    // Throws when there is no such row.
    ListItem item(int index) const { return ListItem(m_model, checkedPosition(index, count())); }
    ListItem add(QStringView text);
    void remove(int index); // throws when there is no such row
    void clear() { m_model->clearRows(); }
    // Makes room for this many rows in all, so adding up to them allocates nothing more.
    void reserve(int count) { m_model->reserveRows(count); }
    // Adds every text as a row, as add() one by one would, taking the texts over (the list
    // given is left empty). False, with nothing added, when memory ran out.
    bool addAll(TextColumn& texts) { return m_model->adoptRows(texts); }
    // Keeps the same texts elsewhere: see ListModel::swapInSameTexts.
    bool swapInSameTexts(const TextColumn& before, TextColumn& same)
    {
        return m_model->swapInSameTexts(before, same);
    }
    // A hint that the row's text is read soon. A sorted list's texts lie in memory in the
    // order they were made, not in row order, so a walk over millions of rows otherwise
    // waits for memory at nearly every row. Written by hand for speed (bench_huge's save
    // and copy).
    void prefetchText(int index) const { m_model->prefetchText(index - 1); }

private:
    ListModel* m_model;
};

class ColumnHeader
{
public:
    ColumnHeader(ListModel* model, int index) : m_model(model), m_index(index) {}
    QString text() const;

private:
    ListModel* m_model;
    int m_index;
};

// The text of cell (row, column), columns from 1: the row's main text in column 1, its
// sub-item column - 1 in the columns after it. Fails like the lookups it makes. The
// result is the list's own text, valid until the list next changes: reading it makes no
// copy, which on lists of millions would cost an allocation per cell.
inline QStringView cellText(const ListItem& row, int column)
{
    return column == 1 ? row.textView() : QStringView(row.subItem(column - 1));
}

// The columns of a list, numbered from 1.
class ColumnHeaderCollection
{
public:
    explicit ColumnHeaderCollection(ListModel* model) : m_model(model) {}
    int count() const { return m_model->columnTotal(); }
    ColumnHeader item(int index) const; // throws when there is no such column
    ColumnHeader add(const QString& heading);

private:
    ListModel* m_model;
};

} // namespace velmora
