#pragma once

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
    struct Row
    {
        QString text;
        QStringList subItems;
        bool checked = true; // every row reads as checked unless a caller clears the mark
    };
    struct Column
    {
        QString heading;
        int widthTwips = 1440;
    };

    explicit ListModel(QObject* parent = nullptr);

    // Rows, 0-based here; the 1-based collection view is ListItems.
    int rowTotal() const { return static_cast<int>(m_rows.size()); }
    const Row& row(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
    Row& row(int index) { return m_rows[static_cast<std::size_t>(index)]; }
    void appendRow(QString text);
    void removeRowAt(int index);
    void clearRows();
    void reserveRows(int count) { m_rows.reserve(static_cast<std::size_t>(count)); }
    void rowChanged(int index);

    int columnTotal() const { return static_cast<int>(m_columns.size()); }
    const Column& column(int index) const { return m_columns[static_cast<std::size_t>(index)]; }
    void appendColumn(QString heading);
    void setColumnWidthTwips(int index, int twips);

    // Tells the views about rows appended since the last announcement.
    void announcePendingRows();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void columnWidthChanged(int column, int twips);

private:
    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    int m_announcedRows = 0;
    bool m_announcementQueued = false;
};

} // namespace velmora
