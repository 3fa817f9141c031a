#include "core/model/list_model.h"

#include "core/threads/background_release.h"

#include <QMetaObject>

#include <new>

#include <algorithm>

namespace velmora {

namespace {
// Below this many rows a list is freed at once: it takes well under a millisecond.
constexpr qsizetype kReleasedInBackgroundFrom = 1 << 16;
} // namespace

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListModel::setText(int row, QStringView text)
{
    m_texts.replace(row, text);
    rowChanged(row);
}

const QString& ListModel::subItem(int row, int k) const
{
    static const QString kNeverSet;
    if (m_subItems.empty())
        return kNeverSet;
    const QStringList& subItems = m_subItems[at(row)];
    return k <= subItems.size() ? subItems[k - 1] : kNeverSet;
}

void ListModel::setSubItem(int row, int k, const QString& text)
{
    if (m_subItems.empty())
        m_subItems.resize(m_texts.size());
    QStringList& subItems = m_subItems[at(row)];
    while (subItems.size() < k)
        subItems.append(QString());
    subItems[k - 1] = text;
    rowChanged(row);
}

void ListModel::setChecked(int row, bool checked)
{
    m_unchecked[at(row)] = !checked;
    rowChanged(row);
}

void ListModel::reserveRows(int count)
{
    m_texts.reserve(count);
    m_unchecked.reserve(at(count));
}

void ListModel::appendRow(QStringView text)
{
    m_texts.append(text);
    m_unchecked.push_back(false);
    if (!m_subItems.empty())
        m_subItems.emplace_back();
    queueAnnouncement();
}

bool ListModel::adoptRows(TextColumn& texts)
{
    const std::size_t total = m_unchecked.size() + static_cast<std::size_t>(texts.size());
    try {
        m_unchecked.resize(total, false);
        if (!m_subItems.empty())
            m_subItems.resize(total);
        m_texts.append(std::move(texts));
    } catch (const std::bad_alloc&) {
        m_unchecked.resize(static_cast<std::size_t>(m_texts.size()));
        if (!m_subItems.empty())
            m_subItems.resize(static_cast<std::size_t>(m_texts.size()));
        return false;
    }
    queueAnnouncement();
    return true;
}

void ListModel::queueAnnouncement()
{
    if (!m_announcementQueued) {
        m_announcementQueued = true;
        QMetaObject::invokeMethod(this, &ListModel::announcePendingRows, Qt::QueuedConnection);
    }
}

void ListModel::announcePendingRows()
{
    m_announcementQueued = false;
    const int total = rowCountWithPending();
    if (total <= m_announcedRows)
        return;
    beginInsertRows({}, m_announcedRows, total - 1);
    m_announcedRows = total;
    endInsertRows();
}

bool ListModel::swapInSameTexts(const TextColumn& before, TextColumn& same)
{
    if (!m_texts.isSameCopyAs(before) || same.size() != m_texts.size())
        return false;
    std::swap(m_texts, same);
    return true;
}

void ListModel::removeRowAt(int row)
{
    announcePendingRows();
    beginRemoveRows({}, row, row);
    m_texts.removeAt(row);
    m_unchecked.erase(m_unchecked.begin() + row);
    if (!m_subItems.empty())
        m_subItems.erase(m_subItems.begin() + row);
    m_announcedRows = rowCountWithPending();
    endRemoveRows();
}

void ListModel::clearRows()
{
    beginResetModel();
    // The memory goes too, not just the rows; giving back hundreds of megabytes takes a
    // while, so a big list is freed off the window's thread.
    TextColumn texts = std::move(m_texts);
    std::vector<bool> unchecked;
    std::vector<QStringList> subItems;
    unchecked.swap(m_unchecked);
    subItems.swap(m_subItems);
    m_announcedRows = 0;
    endResetModel();
    if (texts.size() >= kReleasedInBackgroundFrom) {
        releaseInBackground([texts = std::move(texts), unchecked = std::move(unchecked),
                             subItems = std::move(subItems)] {});
    }
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
        m_headings.push_back(std::move(heading));
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
        return;
    }
    beginInsertColumns({}, at, at);
    m_headings.push_back(std::move(heading));
    endInsertColumns();
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
    if (index.column() == 0)
        return text(index.row()).toString();
    return subItem(index.row(), index.column());
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnTotal())
        return {};
    return heading(section);
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    // Never editable: a double-click must not open an editor on an item.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

} // namespace velmora
