#include "core/model/list_items.h"

#include "core/errors/runtime_failure.h"

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

QString ListItem::text() const
{
    return textView().toString();
}

QStringView ListItem::textView() const
{
    return m_model->text(row());
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

bool ListItem::isChecked() const
{
    return m_model->checked(row());
}

void ListItem::setChecked(bool checked)
{
    m_model->setChecked(row(), checked);
}

QStringView cellText(const ListItem& row, int column)
{
    return column == 1 ? row.textView() : QStringView(row.subItem(column - 1));
}

ListItem ListItemCollection::item(int index) const
{
    return ListItem(m_model, checkedPosition(index, count()));
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
