#include "app/controls/list_items.h"

#include "app/errors/runtime_failure.h"

namespace velmora {

int ListItem::row() const
{
    if (m_index < 1 || m_index > m_model->rowCountWithPending())
        throw Failure::indexOutOfBounds();
    return m_index - 1;
}

const QString& ListItem::Text() const
{
    return m_model->text(row());
}

void ListItem::setText(const QString& text)
{
    m_model->setText(row(), text);
}

QString ListItem::SubItems(int k) const
{
    const int r = row();
    if (k < 1 || k >= m_model->columnTotal())
        throw Failure::invalidPropertyValue();
    return m_model->subItem(r, k);
}

void ListItem::setSubItems(int k, const QString& text)
{
    const int r = row();
    if (k < 1 || k >= m_model->columnTotal())
        throw Failure::invalidPropertyValue();
    m_model->setSubItem(r, k, text);
}

bool ListItem::Checked() const
{
    return m_model->checked(row());
}

void ListItem::setChecked(bool checked)
{
    m_model->setChecked(row(), checked);
}

QString cellText(const ListItem& row, int column)
{
    return column == 1 ? row.Text() : row.SubItems(column - 1);
}

ListItem ListItemCollection::Item(int index) const
{
    if (index < 1 || index > Count())
        throw Failure::indexOutOfBounds();
    return ListItem(m_model, index);
}

ListItem ListItemCollection::Add(const QString& text)
{
    m_model->appendRow(text);
    return ListItem(m_model, Count());
}

void ListItemCollection::Remove(int index)
{
    if (index < 1 || index > Count())
        throw Failure::indexOutOfBounds();
    m_model->removeRowAt(index - 1);
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
    if (index < 1 || index > Count())
        throw Failure::indexOutOfBounds();
    return ColumnHeader(m_model, index);
}

ColumnHeader ColumnHeaderCollection::Add(const QString& heading)
{
    m_model->appendColumn(heading);
    return ColumnHeader(m_model, Count());
}

} // namespace velmora
