#pragma once

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QPersistentModelIndex>
#include <QString>

class QHeaderView;

namespace velmora {

// A report view of a flat list whose rows all have one height: a header over columns of
// rows, whole rows selected. It shows, scrolls, selects and moves the cursor the way
// QTreeView does with uniform row heights and no root decoration, and it numbers its
// entries for accessibility the same way, but it keeps nothing per row: where a row is
// follows from its number. (QTreeView lays out an entry of about 40 bytes per row and
// builds them again after every insertion or removal; at ten million rows that is 400 MB
// and over a second of the window's thread each time.)
class FlatListView : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit FlatListView(QWidget* parent = nullptr);
    ~FlatListView() override;

    QHeaderView* header() const { return m_header; }
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    // Every row's height: the first row's size hint, as QTreeView takes it.
    int rowHeight() const { return m_rowHeight; }
    // The number of a cell in the view's accessibility events, (row + 1) * columns +
    // column, the headings being row -1, as QTreeView numbers them.
    int accessibleEntry(int row, int column) const;

    void setModel(QAbstractItemModel* model) override;
    void setSelectionModel(QItemSelectionModel* selectionModel) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void keyboardSearch(const QString& search) override;
    void doItemsLayout() override;
    int sizeHintForColumn(int column) const override;

public Q_SLOTS:
    void resizeColumnToContents(int column);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& /*index*/) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    QSize viewportSizeHint() const override;

    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void timerEvent(QTimerEvent* event) override;

protected Q_SLOTS:
    void updateGeometries() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    int rowTotal() const;
    // The row at a viewport height, or -1 where there is none.
    int rowAt(int y) const;
    int rowTop(int row) const { return (row - firstVisibleRow()) * m_rowHeight; }
    int firstVisibleRow() const;
    int rowSizeHint(int row) const;
    void measureRowHeight();
    void updateScrollBars();
    void drawRow(QPainter& painter, const QStyleOptionViewItem& option, int row, int leftColumn,
                 int rightColumn) const;
    // The whole width of a row, for repainting it.
    QRect rowRect(int row) const;
    void columnResized(int column);
    void columnCountChanged();

    QHeaderView* m_header;
    int m_rowHeight = 0;
    QPersistentModelIndex m_hover; // the base class's hover index, which it keeps private
    QString m_keyboardInput;       // the keys typed in a row, for finding a line
    QElapsedTimer m_keyboardInputTime;
    QList<int> m_columnsToUpdate;
    int m_columnResizeTimer = 0;
    bool m_geometryRecursionBlock = false;
};

} // namespace velmora
