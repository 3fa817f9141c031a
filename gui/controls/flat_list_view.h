#pragma once

#include <QAbstractItemView>
#include <QAccessible>
#include <QElapsedTimer>

#include <optional>

class QHeaderView;

namespace velmora {

// A list of rows under a column header. Every row is as tall as the first, so a row's place
// is its number times that height and the view keeps nothing per row; it scrolls whole
// rows up and down and pixels sideways, and always selects whole rows.
class FlatListView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit FlatListView(QWidget* parent = nullptr);
    ~FlatListView() override;

    QHeaderView* header() const { return m_header; }
    int rowHeight() const;
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    void resizeColumnToContents(int column);
    // The number screen readers know the cell by: the headings first, then row by row.
    int accessibleEntry(int row, int column) const;

    void setModel(QAbstractItemModel* model) override;
    void setSelectionModel(QItemSelectionModel* selectionModel) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int sizeHintForColumn(int column) const override;
    void keyboardSearch(const QString& text) override;
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& /*index*/) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;

    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    int rowCount() const;
    int topRow() const;
    int wholeRowsShown() const;
    int rowAtY(int y) const;
    QRect rowRect(int row) const;
    QList<int> shownColumns() const; // not hidden, left to right as shown
    void updateRow(int row);
    void setHoveredRow(int row);
    int rowUnder(QPoint point) const; // -1 where there is none
    // The row an event on the viewport leaves hovered, when it is one that says.
    std::optional<int> hoveredRowAfter(const QEvent& event) const;
    void paintRow(QPainter& painter, const QStyleOptionViewItem& base, int row) const;
    void sendAccessibleEvent(QAccessible::Event type, const QModelIndex& index);

    QHeaderView* m_header;
    QMetaObject::Connection m_rowsRemoved;
    mutable int m_rowHeight = 0; // the first row's height
    mutable bool m_rowHeightKnown = false;
    int m_hoveredRow = -1;
    QString m_typed; // typed search: the text so far and when its last key came
    QElapsedTimer m_typedClock;
};

} // namespace velmora
