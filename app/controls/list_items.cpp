#include "app/controls/list_items.h"

#include "app/errors/runtime_failure.h"

namespace velmora {

namespace {

// A 1-based position among `count`, checked as the list control checks it.
int checkedPosition(int position, int count)
{
    if (position < 1 || position > count)
        throw Failure::indexOutOfBounds();
    return position;
}

} // namespace

int ListItem::row() const
{
    return checkedPosition(m_index, m_model->rowCountWithPending()) - 1;
}

int ListItem::rowForSubItem(int k) const
{
    const int r = row();
    if (k < 1 || k >= m_model->columnTotal())
        throw Failure::invalidPropertyValue();
    return r;
}

const QString& ListItem::Text() const
{
    return m_model->text(row());
}

void ListItem::setText(const QString& text)
{
    m_model->setText(row(), text);
}

const QString& ListItem::SubItems(int k) const
{
    return m_model->subItem(rowForSubItem(k), k);
}

void ListItem::setSubItems(int k, const QString& text)
{
    m_model->setSubItem(rowForSubItem(k), k, text);
}

bool ListItem::Checked() const
{
    return m_model->checked(row());
}

void ListItem::setChecked(bool checked)
{
    m_model->setChecked(row(), checked);
}

const QString& cellText(const ListItem& row, int column)
{
    return column == 1 ? row.Text() : row.SubItems(column - 1);
}

ListItem ListItemCollection::Item(int index) const
{
    return ListItem(m_model, checkedPosition(index, Count()));
}

ListItem ListItemCollection::Add(QString text)
{
    m_model->appendRow(std::move(text));
    return ListItem(m_model, Count());
}

void ListItemCollection::Remove(int index)
{
    m_model->removeRowAt(checkedPosition(index, Count()) - 1);
}

QString ColumnHeader::Text() const
{
    return m_model->heading(m_index - 1);
}

void ColumnHeader::setWidth(int twips)
{
    m_model->setColumnWidthTwips(m_index - 1, twips);
}

ColumnHeader ColumnHeaderCollection::Item(int index) const
{
    return ColumnHeader(m_model, checkedPosition(index, Count()));
}

ColumnHeader ColumnHeaderCollection::Add(const QString& heading)
{
    m_model->appendColumn(heading);
    return ColumnHeader(m_model, Count());
}

} // namespace velmora
