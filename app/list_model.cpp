#include "app/list_model.h"

#include <QMetaObject>

#include <algorithm>

namespace velmora {

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListModel::appendRow(QString text)
{
    m_rows.push_back(Row{std::move(text), {}, true});
    if (!m_announcementQueued) {
        m_announcementQueued = true;
        QMetaObject::invokeMethod(this, &ListModel::announcePendingRows, Qt::QueuedConnection);
    }
}

void ListModel::announcePendingRows()
{
    m_announcementQueued = false;
    const int total = rowTotal();
    if (total <= m_announcedRows)
        return;
    beginInsertRows({}, m_announcedRows, total - 1);
    m_announcedRows = total;
    endInsertRows();
}

void ListModel::removeRowAt(int index)
{
    announcePendingRows();
    beginRemoveRows({}, index, index);
    m_rows.erase(m_rows.begin() + index);
    m_announcedRows = rowTotal();
    endRemoveRows();
}

void ListModel::clearRows()
{
    beginResetModel();
    std::vector<Row>().swap(m_rows); // give the memory back, not just the rows
    m_announcedRows = 0;
    endResetModel();
}

void ListModel::rowChanged(int index)
{
    if (index < m_announcedRows)
        Q_EMIT dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
}

void ListModel::appendColumn(QString heading)
{
    // The views always see at least one column, so the first heading fills that one.
    const int at = columnTotal();
    if (at == 0) {
        m_columns.push_back(Column{std::move(heading), 1440});
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
        return;
    }
    beginInsertColumns({}, at, at);
    m_columns.push_back(Column{std::move(heading), 1440});
    endInsertColumns();
}

void ListModel::setColumnWidthTwips(int index, int twips)
{
    m_columns[static_cast<std::size_t>(index)].widthTwips = twips;
    Q_EMIT columnWidthChanged(index, twips);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_announcedRows;
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(1, columnTotal());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_announcedRows ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    const Row& r = row(index.row());
    if (index.column() == 0)
        return r.text;
    const qsizetype sub = index.column() - 1;
    return sub < r.subItems.size() ? r.subItems[sub] : QString();
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnTotal())
        return {};
    return column(section).heading;
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    // Never editable: a double-click must not open an editor on an item.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

} // namespace velmora
