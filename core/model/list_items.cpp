#include "core/model/list_items.h"

#include "core/errors/runtime_failure.h"

namespace velmora {

void failIndexOutOfBounds()
{
    throw Failure::indexOutOfBounds();
}

int ListItem::rowForSubItem(int k) const
{
    const int r = row();
    if (k < 1 || k >= m_model->columnTotal())
        throw Failure::invalidPropertyValue();
    return r;
}

QString ListItem::text() const
{
    return textView().toString();
}

void ListItem::setText(QStringView text)
{
    m_model->setText(row(), text);
}

const QString& ListItem::subItem(int k) const
{
    return m_model->subItem(rowForSubItem(k), k);
}

void ListItem::setSubItem(int k, const QString& text)
{
    m_model->setSubItem(rowForSubItem(k), k, text);
}

void ListItem::setChecked(bool checked)
{
    m_model->setChecked(row(), checked);
}

ListItem ListItemCollection::add(QStringView text)
{
    m_model->appendRow(text);
    return ListItem(m_model, count());
}

void ListItemCollection::remove(int index)
{
    m_model->removeRowAt(checkedPosition(index, count()) - 1);
}

QString ColumnHeader::text() const
{
    return m_model->heading(m_index - 1);
}

ColumnHeader ColumnHeaderCollection::item(int index) const
{
    return ColumnHeader(m_model, checkedPosition(index, count()));
}

ColumnHeader ColumnHeaderCollection::add(const QString& heading)
{
    m_model->appendColumn(heading);
    return ColumnHeader(m_model, count());
}

} // namespace velmora
