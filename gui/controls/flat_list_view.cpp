#include "gui/controls/flat_list_view.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QHoverEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <utility>

// What QTreeView does with uniform row heights, one row scrolled at a time and no root
// decoration, computed from row numbers instead of a layout of rows. Each function below
// does what the tree view's function of the same name does in that case.

namespace velmora {

FlatListView::FlatListView(QWidget* parent)
    : QAbstractItemView(parent), m_header(new QHeaderView(Qt::Horizontal, this))
{
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setVerticalScrollMode(ScrollPerItem); // rows are numbers: the view scrolls whole rows
    setHorizontalScrollMode(ScrollPerPixel);
    setAttribute(Qt::WA_MacShowFocusRect);

    m_header->setSectionsMovable(true);
    m_header->setStretchLastSection(true);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_header->setFirstSectionMovable(false);
    connect(m_header, &QHeaderView::sectionResized, this,
            [this](int column, int /*oldSize*/, int /*newSize*/) { columnResized(column); });
    connect(m_header, &QHeaderView::sectionMoved, this, [this] {
        updateEditorGeometries();
        viewport()->update();
    });
    connect(m_header, &QHeaderView::sectionCountChanged, this, [this] { columnCountChanged(); });
    connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this,
            &FlatListView::resizeColumnToContents);
    connect(m_header, &QHeaderView::geometriesChanged, this, &FlatListView::updateGeometries);
}

FlatListView::~FlatListView()
{
    // A shown view hides its header as its widget part goes: the header's signals must not
    // reach the view's own part, gone by then.
    disconnect(m_header, nullptr, this, nullptr);
    if (QAbstractItemModel* model = this->model())
        disconnect(model, &QAbstractItemModel::rowsRemoved, this, nullptr);
}

void FlatListView::setModel(QAbstractItemModel* model)
{
    if (model == this->model())
        return;
    if (QAbstractItemModel* old = this->model())
        disconnect(old, &QAbstractItemModel::rowsRemoved, this, nullptr);
    m_geometryRecursionBlock = true; // the header's signals must not lay the view out yet
    m_header->setModel(model);
    m_geometryRecursionBlock = false;
    QAbstractItemView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::rowsRemoved, this,
                [this] { scheduleDelayedItemsLayout(); });
}

void FlatListView::setSelectionModel(QItemSelectionModel* selectionModel)
{
    m_header->setSelectionModel(selectionModel);
    QAbstractItemView::setSelectionModel(selectionModel);
}

int FlatListView::columnWidth(int column) const
{
    return m_header->sectionSize(column);
}

void FlatListView::setColumnWidth(int column, int width)
{
    m_header->resizeSection(column, width);
}

int FlatListView::rowTotal() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int FlatListView::firstVisibleRow() const
{
    const int value = verticalScrollBar()->value();
    return value < 0 || value >= rowTotal() ? -1 : value;
}

int FlatListView::rowAt(int y) const
{
    const int rows = rowTotal();
    if (rows == 0 || m_rowHeight <= 0)
        return -1;
    if (y < 0)
        y -= m_rowHeight - 1; // rounds towards the row above
    const int row = verticalScrollBar()->value() + y / m_rowHeight;
    return row >= rows || row < 0 ? -1 : row;
}

QRect FlatListView::rowRect(int row) const
{
    return {0, rowTop(row), viewport()->width(), m_rowHeight};
}

int FlatListView::rowSizeHint(int row) const
{
    int count = m_header->count();
    int start = -1;
    if (count && isVisible())
        start = m_header->visualIndexAt(0);
    else
        count = model()->columnCount(rootIndex());
    int end;
    if (isRightToLeft()) {
        start = start == -1 ? count - 1 : start;
        end = 0;
    } else {
        start = start == -1 ? 0 : start;
        end = count - 1;
    }
    if (end < start)
        std::swap(start, end);

    const bool emptyHeader = m_header->count() == 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect.setWidth(-1);
    int height = -1;
    for (int column = start; column <= end; ++column) {
        const int logical = emptyHeader ? column : m_header->logicalIndex(column);
        if (m_header->isSectionHidden(logical))
            continue;
        const QModelIndex index = model()->index(row, logical, rootIndex());
        if (index.isValid())
            height =
                std::max(height, itemDelegateForIndex(index)->sizeHint(option, index).height());
    }
    return height;
}

void FlatListView::measureRowHeight()
{
    // As the tree view does: measured on the first row, and kept while the list is empty.
    if (model() && rowTotal() > 0)
        m_rowHeight = rowSizeHint(0);
}

void FlatListView::doItemsLayout()
{
    measureRowHeight();
    QAbstractItemView::doItemsLayout();
    m_header->doItemsLayout();
}

void FlatListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    scheduleDelayedItemsLayout();
    QAbstractItemView::rowsInserted(parent, start, end);
}

void FlatListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles)
{
    if (topLeft.isValid() && topLeft.row() == 0) {
        const int height = rowSizeHint(0);
        if (height != m_rowHeight) {
            m_rowHeight = height;
            updateScrollBars();
            viewport()->update();
        }
    }
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void FlatListView::columnResized(int column)
{
    m_columnsToUpdate.append(column);
    if (m_columnResizeTimer == 0)
        m_columnResizeTimer = startTimer(0);
}

void FlatListView::columnCountChanged()
{
    if (isVisible())
        updateGeometries();
    viewport()->update();
}

void FlatListView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_columnResizeTimer) {
        updateGeometries();
        killTimer(m_columnResizeTimer);
        m_columnResizeTimer = 0;
        QRect rect;
        const int viewportHeight = viewport()->height();
        const int viewportWidth = viewport()->width();
        for (auto column = m_columnsToUpdate.crbegin(); column != m_columnsToUpdate.crend();
             ++column) {
            const int x = m_header->sectionViewportPosition(*column);
            if (isRightToLeft())
                rect |= QRect(0, 0, x + columnWidth(*column), viewportHeight);
            else
                rect |= QRect(x, 0, viewportWidth - x, viewportHeight);
        }
        viewport()->update(rect.normalized());
        m_columnsToUpdate.clear();
    }
    QAbstractItemView::timerEvent(event);
}

void FlatListView::updateGeometries()
{
    if (m_geometryRecursionBlock)
        return;
    m_geometryRecursionBlock = true;
    int height = 0;
    if (!m_header->isHidden()) {
        height = std::max(m_header->minimumHeight(), m_header->sizeHint().height());
        height = std::min(height, m_header->maximumHeight());
    }
    setViewportMargins(0, height, 0, 0);
    const QRect viewportGeometry = viewport()->geometry();
    m_header->setGeometry(viewportGeometry.left(), viewportGeometry.top() - height,
                          viewportGeometry.width(), height);
    QMetaObject::invokeMethod(m_header, "updateGeometries");
    updateScrollBars();
    m_geometryRecursionBlock = false;
    QAbstractItemView::updateGeometries();
}

void FlatListView::updateScrollBars()
{
    QSize viewportSize = viewport()->size();
    if (!viewportSize.isValid())
        viewportSize = QSize(0, 0);
    if (m_rowHeight <= 0)
        measureRowHeight();

    const int rows = rowTotal();
    int rowsInViewport = m_rowHeight <= 0 ? rows : viewportSize.height() / m_rowHeight;
    if (rows > 0)
        rowsInViewport = std::max(1, rowsInViewport);
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, rows - rowsInViewport);
    vertical->setPageStep(rowsInViewport);
    vertical->setSingleStep(1);

    const int columnCount = m_header->count();
    int columnsInViewport = 0;
    for (int width = 0, column = columnCount - 1; column >= 0; --column) {
        width += m_header->sectionSize(m_header->logicalIndex(column));
        if (width > viewportSize.width())
            break;
        ++columnsInViewport;
    }
    if (columnCount > 0)
        columnsInViewport = std::max(1, columnsInViewport);
    const int horizontalLength = m_header->length();
    const QSize maxSize = maximumViewportSize();
    if (maxSize.width() >= horizontalLength && vertical->maximum() <= 0)
        viewportSize = maxSize;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(viewportSize.width());
    horizontal->setRange(0, std::max(horizontalLength - viewportSize.width(), 0));
    horizontal->setSingleStep(std::max(viewportSize.width() / (columnsInViewport + 1), 2));
}

int FlatListView::horizontalOffset() const
{
    return m_header->offset();
}

int FlatListView::verticalOffset() const
{
    return verticalScrollBar()->value() * m_rowHeight;
}

QRect FlatListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != model() || isIndexHidden(index))
        return {};
    const_cast<FlatListView*>(this)->executeDelayedItemsLayout();
    if (index.row() >= rowTotal())
        return {};
    return {m_header->sectionViewportPosition(index.column()), rowTop(index.row()),
            columnWidth(index.column()), m_rowHeight};
}

QModelIndex FlatListView::indexAt(const QPoint& point) const
{
    const_cast<FlatListView*>(this)->executeDelayedItemsLayout();
    const int row = rowAt(point.y());
    if (row < 0)
        return {};
    const int column = m_header->logicalIndexAt(point.x());
    if (column < 0)
        return {};
    return model()->index(row, column, rootIndex());
}

void FlatListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model())
        return;
    executeDelayedItemsLayout();
    updateScrollBars();

    const int row = index.row();
    const QRect area = viewport()->rect();
    QScrollBar* vertical = verticalScrollBar();
    const int top = vertical->value();
    const int bottom = top + vertical->pageStep();
    if (hint == EnsureVisible && row >= top && row < bottom) {
        // already in view
    } else if (hint == PositionAtTop || (hint == EnsureVisible && row < top)) {
        vertical->setValue(row);
    } else { // at the bottom, or in the middle with a preference for the row above
        const int space =
            hint == PositionAtCenter ? area.height() / 2 + m_rowHeight - 1 : area.height();
        int first = row;
        if (space > m_rowHeight) {
            const int fitting = space / m_rowHeight;
            first = row >= fitting ? row - fitting + 1 : -1;
        }
        vertical->setValue(first);
    }

    const int viewportWidth = viewport()->width();
    const int offset = m_header->offset();
    const int position = m_header->sectionPosition(index.column());
    const int cellWidth = m_header->sectionSize(index.column());
    if (hint == PositionAtCenter) {
        horizontalScrollBar()->setValue(position - ((viewportWidth - cellWidth) / 2));
    } else if (position - offset < 0 || cellWidth > viewportWidth) {
        horizontalScrollBar()->setValue(position);
    } else if (position - offset + cellWidth > viewportWidth) {
        horizontalScrollBar()->setValue(position - viewportWidth + cellWidth);
    }
}

void FlatListView::scrollContentsBy(int dx, int dy)
{
    dx = isRightToLeft() ? -dx : dx;
    if (dx)
        m_header->setOffset(horizontalScrollBar()->value());

    const int rowHeight = m_rowHeight <= 0 ? sizeHintForRow(0) : m_rowHeight;
    const int rows = rowTotal();
    if (rows == 0 || rowHeight == 0)
        return;
    // Scrolled further than the viewport holds: everything is painted again anyway.
    const int mostRowsShown = std::min(rows, viewport()->height() / rowHeight);
    if (std::abs(dy) > std::abs(mostRowsShown)) {
        verticalScrollBar()->update();
        viewport()->update();
        return;
    }
    QAbstractItemView::scrollContentsBy(dx, dy * rowHeight);
}

QModelIndex FlatListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers /*modifiers*/)
{
    executeDelayedItemsLayout();
    const int rows = rowTotal();
    const QModelIndex current = currentIndex();
    const auto rowIndex = [this, rows](int row, int column) {
        return row < 0 || row >= rows ? QModelIndex() : model()->index(row, column, rootIndex());
    };
    if (!current.isValid()) {
        int column = 0;
        while (column < m_header->count() &&
               m_header->isSectionHidden(m_header->logicalIndex(column)))
            ++column;
        if (rows > 0 && column < m_header->count())
            return rowIndex(0, m_header->logicalIndex(column));
        return {};
    }
    const int row = std::max(0, current.row());
    if (isRightToLeft()) {
        if (cursorAction == MoveRight)
            cursorAction = MoveLeft;
        else if (cursorAction == MoveLeft)
            cursorAction = MoveRight;
    }
    // A page is the rows one viewport height away, as far as the list goes: up, the row
    // that height above the current one's top; down, the row that height below it.
    const int height = viewport()->height();
    const int pageUp = m_rowHeight > 0 ? (height + m_rowHeight - 1) / m_rowHeight : 0;
    const int pageDown = m_rowHeight > 0 ? height / m_rowHeight : 0;
    switch (cursorAction) {
    case MoveNext:
    case MoveDown:
        return rowIndex(row + 1 < rows ? row + 1 : row, current.column());
    case MovePrevious:
    case MoveUp:
        return rowIndex(row > 0 ? row - 1 : row, current.column());
    case MoveLeft:
    case MoveRight: {
        // Rows are selected whole, so the arrows scroll sideways.
        QScrollBar* bar = horizontalScrollBar();
        const int step = cursorAction == MoveLeft ? -bar->singleStep() : bar->singleStep();
        bar->setValue(bar->value() + step);
        updateGeometries();
        viewport()->update();
        break;
    }
    case MovePageUp:
        return rowIndex(std::max(0, row - pageUp), current.column());
    case MovePageDown:
        return rowIndex(std::min(rows - 1, row + pageDown), current.column());
    case MoveHome:
        return rowIndex(0, current.column());
    case MoveEnd:
        return rowIndex(rows - 1, current.column());
    }
    return current;
}

void FlatListView::keyPressEvent(QKeyEvent* event)
{
    // The arrows that scroll sideways take the key when they moved the view.
    const int before = horizontalScrollBar()->value();
    QAbstractItemView::keyPressEvent(event);
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
        horizontalScrollBar()->value() != before)
        event->accept();
}

void FlatListView::keyboardSearch(const QString& search)
{
    if (!model() || !rowTotal() || !model()->columnCount(rootIndex()))
        return;
    executeDelayedItemsLayout();

    QModelIndex start =
        currentIndex().isValid() ? currentIndex() : model()->index(0, 0, rootIndex());
    bool skipRow = false;
    const bool typedBefore = m_keyboardInputTime.isValid();
    const qint64 sinceLastKey = typedBefore ? m_keyboardInputTime.restart() : 0;
    if (!typedBefore)
        m_keyboardInputTime.start();
    if (search.isEmpty() || !typedBefore || sinceLastKey > QApplication::keyboardInputInterval()) {
        m_keyboardInput = search;
        skipRow = currentIndex().isValid();
    } else {
        m_keyboardInput += search;
    }
    // The same key again and again ("aaa") steps through the rows starting with it.
    bool sameKey = false;
    if (m_keyboardInput.size() > 1) {
        sameKey = m_keyboardInput.count(m_keyboardInput.back()) == m_keyboardInput.size();
        skipRow = skipRow || sameKey;
    }
    if (skipRow) {
        const int below = start.row() + 1;
        start = model()->index(below < rowTotal() ? below : 0, start.column(), rootIndex());
    }
    const QString searchString = sameKey ? QString(m_keyboardInput.front()) : m_keyboardInput;
    const QModelIndexList match = model()->match(start, Qt::DisplayRole, searchString);
    if (!match.isEmpty())
        setCurrentIndex(match.front());
}

void FlatListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel() || rect.isNull())
        return;
    executeDelayedItemsLayout();
    const int leftX =
        isRightToLeft() ? std::max(rect.left(), rect.right()) : std::min(rect.left(), rect.right());
    const int rightX =
        isRightToLeft() ? std::min(rect.left(), rect.right()) : std::max(rect.left(), rect.right());
    QModelIndex topLeft = indexAt({leftX, std::min(rect.top(), rect.bottom())});
    QModelIndex bottomRight = indexAt({rightX, std::max(rect.top(), rect.bottom())});
    if (!topLeft.isValid() && !bottomRight.isValid()) {
        if (command & QItemSelectionModel::Clear)
            selectionModel()->clear();
        return;
    }
    const int rows = rowTotal();
    if (!topLeft.isValid() && rows > 0)
        topLeft = model()->index(0, 0, rootIndex());
    if (!bottomRight.isValid() && rows > 0)
        bottomRight =
            model()->index(rows - 1, m_header->logicalIndex(m_header->count() - 1), rootIndex());
    const auto enabled = [this](const QModelIndex& index) {
        return (model()->flags(index) & Qt::ItemIsEnabled) != 0;
    };
    if (!enabled(topLeft) || !enabled(bottomRight))
        return;

    // The shown columns between the two corners, in runs of neighbouring columns.
    const int firstVisual = std::min(m_header->visualIndex(topLeft.column()),
                                     m_header->visualIndex(bottomRight.column()));
    const int lastVisual = std::max(m_header->visualIndex(topLeft.column()),
                                    m_header->visualIndex(bottomRight.column()));
    QList<int> columns;
    for (int visual = firstVisual; visual <= lastVisual; ++visual) {
        const int logical = m_header->logicalIndex(visual);
        if (!m_header->isSectionHidden(logical))
            columns.append(logical);
    }
    std::sort(columns.begin(), columns.end());
    QItemSelection selection;
    const int top = topLeft.row();
    const int bottom = bottomRight.row();
    for (qsizetype first = 0; first < columns.size();) {
        qsizetype last = first;
        while (last + 1 < columns.size() && columns[last + 1] == columns[last] + 1)
            ++last;
        if (top <= bottom)
            selection.append(
                QItemSelectionRange(model()->index(top, columns[first], rootIndex()),
                                    model()->index(bottom, columns[last], rootIndex())));
        first = last + 1;
    }
    selectionModel()->select(selection, command);
}

QRegion FlatListView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const QRect viewportRect = viewport()->rect();
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid())
            continue;
        int left = range.left();
        while (left <= range.right() && m_header->isSectionHidden(left))
            ++left;
        int right = range.right();
        while (right >= range.left() && m_header->isSectionHidden(right))
            --right;
        if (left > range.right() || right < range.left())
            continue;
        const QRect leftRect = visualRect(model()->index(range.top(), left, range.parent()));
        const QRect rightRect = visualRect(model()->index(range.bottom(), right, range.parent()));
        int top = leftRect.top();
        int bottom = rightRect.bottom();
        if (top > bottom)
            std::swap(top, bottom);
        const int height = bottom - top + 1;
        if (m_header->sectionsMoved()) {
            for (int column = range.left(); column <= range.right(); ++column) {
                const QRect columnRect(m_header->sectionViewportPosition(column), top,
                                       columnWidth(column), height);
                if (viewportRect.intersects(columnRect))
                    region += columnRect;
            }
        } else {
            QRect combined = leftRect | rightRect;
            combined.setX(
                m_header->sectionViewportPosition(isRightToLeft() ? range.right() : range.left()));
            if (viewportRect.intersects(combined))
                region += combined;
        }
    }
    return region;
}

int FlatListView::sizeHintForColumn(int column) const
{
    const_cast<FlatListView*>(this)->executeDelayedItemsLayout();
    const int rows = rowTotal();
    if (rows == 0)
        return -1;
    ensurePolished();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const auto widthOf = [&](int row) {
        const QModelIndex index = model()->index(row, column, rootIndex());
        return itemDelegateForIndex(index)->sizeHint(option, index).width();
    };

    // The rows in view first, then alternately the rows above and below them, up to the
    // header's precision (0: the rows in view only; below 0: all).
    const int precision = m_header->resizeContentsPrecision();
    int start = firstVisibleRow();
    int end = start < 0 || m_rowHeight <= 0
                  ? -1
                  : std::min(rows - 1, start + viewport()->height() / m_rowHeight);
    if (start < 0 || end < 0 || end == rows - 1) {
        end = rows - 1;
        if (precision < 0) {
            start = 0;
        } else if (precision == 0) {
            start = std::max(0, end - 1);
            for (int remaining = viewport()->height(); start > 0 && remaining > 0; --start)
                remaining -= m_rowHeight;
        } else {
            start = std::max(0, end - precision);
        }
    }
    int width = 0;
    int processed = 0;
    for (int row = start; row <= end; ++row) {
        width = std::max(width, widthOf(row));
        if (++processed == precision)
            break;
    }
    --end;
    const int lastRow = rows - 1;
    if (precision == 0)
        processed = 0;
    while (processed != precision && (start > 0 || end < lastRow)) {
        int row = -1;
        if (((processed % 2) != 0 && start > 0) || end == lastRow) {
            if (start > 0)
                row = --start;
        } else if (end < lastRow) {
            row = ++end;
        }
        if (row < 0)
            continue;
        width = std::max(width, widthOf(row));
        ++processed;
    }
    return width;
}

void FlatListView::resizeColumnToContents(int column)
{
    executeDelayedItemsLayout();
    if (column < 0 || column >= m_header->count())
        return;
    const int contents = sizeHintForColumn(column);
    const int heading = m_header->isHidden() ? 0 : m_header->sectionSizeHint(column);
    m_header->resizeSection(column, std::max(contents, heading));
}

QSize FlatListView::viewportSizeHint() const
{
    const_cast<FlatListView*>(this)->executeDelayedItemsLayout();
    const int rows = rowTotal();
    if (rows == 0)
        return QAbstractItemView::viewportSizeHint();
    const QRect last = visualRect(model()->index(rows - 1, 0, rootIndex()));
    if (!last.isValid())
        return QAbstractItemView::viewportSizeHint();
    return QSize(m_header->length(), last.bottom() + 1) +
           QSize(0, m_header->isHidden() ? 0 : m_header->height());
}

bool FlatListView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove: {
        const QModelIndex hovered = indexAt(static_cast<QHoverEvent*>(event)->position().toPoint());
        if (m_hover != hovered) {
            // The whole row under the pointer; the one it left repaints in the base class.
            QRect rect = visualRect(hovered);
            rect.setX(0);
            rect.setWidth(viewport()->width());
            viewport()->update(rect);
        }
        m_hover = hovered;
        break;
    }
    case QEvent::HoverLeave:
    case QEvent::Leave:
        m_hover = QPersistentModelIndex();
        break;
    default:
        break;
    }
    return QAbstractItemView::viewportEvent(event);
}

void FlatListView::mouseMoveEvent(QMouseEvent* event)
{
    m_hover = indexAt(event->position().toPoint());
    QAbstractItemView::mouseMoveEvent(event);
}

void FlatListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click below the last row does nothing, as in the tree view.
    if (state() != NoState || !viewport()->rect().contains(event->position().toPoint()) ||
        rowAt(event->position().toPoint().y()) < 0)
        return;
    QAbstractItemView::mouseDoubleClickEvent(event);
}

void FlatListView::paintEvent(QPaintEvent* event)
{
    executeDelayedItemsLayout();
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State state = option.state;
    const int rows = rowTotal();
    const int first = firstVisibleRow();
    if (rows == 0 || m_header->count() == 0 || !itemDelegate() || first < 0 || m_rowHeight <= 0)
        return;

    const int viewportWidth = viewport()->width();
    const QRegion region = event->region();
    const bool multipleRects = region.rectCount() > 1;
    QList<int> drawn;
    for (const QRect& part : region) {
        const QRect area = multipleRects ? QRect(0, part.y(), viewportWidth, part.height()) : part;
        int left = m_header->visualIndexAt(area.left());
        int right = m_header->visualIndexAt(area.right());
        if (isRightToLeft()) {
            left = left == -1 ? m_header->count() - 1 : left;
            right = right == -1 ? 0 : right;
        } else {
            left = left == -1 ? 0 : left;
            right = right == -1 ? m_header->count() - 1 : right;
        }
        if (left > right)
            std::swap(left, right);

        // The first row reaching into the area, then each row down to its bottom.
        int row = first + std::min(rows - first, area.top() > 0 ? area.top() / m_rowHeight : 0);
        for (int y = (row - first) * m_rowHeight; row < rows && y <= area.bottom();
             ++row, y += m_rowHeight) {
            option.rect.setRect(0, y, viewportWidth, m_rowHeight);
            option.state = state | (row + 1 < rows ? QStyle::State_Sibling : QStyle::State_None);
            if (!multipleRects || !drawn.contains(row)) {
                drawRow(painter, option, row, left, right);
                if (multipleRects)
                    drawn.append(row);
            }
        }
    }
}

void FlatListView::drawRow(QPainter& painter, const QStyleOptionViewItem& option, int row,
                           int leftColumn, int rightColumn) const
{
    QStyleOptionViewItem opt = option;
    const int y = option.rect.y();
    const int height = option.rect.height();
    const QModelIndex rowIndex = model()->index(row, 0, rootIndex());
    const QModelIndex current = currentIndex();
    const QStyle::State state = opt.state;
    const bool enabled = (state & QStyle::State_Enabled) != 0;
    const bool widgetHasFocus = hasFocus();
    const int columnCount = m_header->count();

    // The focus shows on the whole row, also when the current column is out of the area.
    bool currentRowHasFocus = false;
    if (widgetHasFocus && current.isValid()) {
        for (int c = 0; c < leftColumn && !currentRowHasFocus; ++c)
            currentRowHasFocus = model()->index(row, c, rootIndex()) == current;
        for (int c = rightColumn; c < columnCount && !currentRowHasFocus; ++c)
            currentRowHasFocus = model()->index(row, c, rootIndex()) == current;
    }
    opt.showDecorationSelected = true; // rows are selected whole
    const bool hoverRow =
        m_hover.isValid() && m_hover.parent() == rootIndex() && m_hover.row() == row;

    // The shown columns in the area, and where each sits in the row (for the style).
    int columnBeforeLeft = -1;
    for (int visual = leftColumn - 1; visual >= 0; --visual) {
        if (!m_header->isSectionHidden(m_header->logicalIndex(visual))) {
            columnBeforeLeft = m_header->logicalIndex(visual);
            break;
        }
    }
    int columnAfterRight = -1;
    QList<int> columns;
    for (int visual = leftColumn; visual < columnCount; ++visual) {
        const int logical = m_header->logicalIndex(visual);
        if (m_header->isSectionHidden(logical))
            continue;
        if (visual > rightColumn) {
            columnAfterRight = logical;
            break;
        }
        columns.append(logical);
    }

    for (qsizetype i = 0; i < columns.size(); ++i) {
        const int column = columns[i];
        const int next = i + 1 < columns.size() ? columns[i + 1] : columnAfterRight;
        const int previous = i > 0 ? columns[i - 1] : columnBeforeLeft;
        if (columnCount == 1 || (next == 0 && previous == -1) || (column == 0 && next == -1))
            opt.viewItemPosition = QStyleOptionViewItem::OnlyOne;
        else if (column == 0 || (next != 0 && previous == -1))
            opt.viewItemPosition = QStyleOptionViewItem::Beginning;
        else if (next == 0 || next == -1)
            opt.viewItemPosition = QStyleOptionViewItem::End;
        else
            opt.viewItemPosition = QStyleOptionViewItem::Middle;

        const QModelIndex index = model()->index(row, column, rootIndex());
        if (!index.isValid())
            continue;
        const int position = m_header->sectionViewportPosition(column);
        const int width = m_header->sectionSize(column);
        opt.state = state;
        if (selectionModel()->isSelected(index))
            opt.state |= QStyle::State_Selected;
        if (widgetHasFocus && current == index)
            currentRowHasFocus = true;
        opt.state.setFlag(QStyle::State_MouseOver, hoverRow || index == m_hover);
        if (enabled) {
            QPalette::ColorGroup group;
            if ((model()->flags(index) & Qt::ItemIsEnabled) == 0) {
                opt.state &= ~QStyle::State_Enabled;
                group = QPalette::Disabled;
            } else if (opt.state & QStyle::State_Active) {
                group = QPalette::Active;
            } else {
                group = QPalette::Inactive;
            }
            opt.palette.setCurrentColorGroup(group);
        }

        if (column == 0) {
            // The first column's branch area has no width (no root decoration), but the
            // style is still asked to fill it, with the style's own selection hint.
            opt.rect.setRect(position, y, 0, height);
            opt.showDecorationSelected =
                style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, &opt, this);
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &opt, &painter, this);
            opt.showDecorationSelected = true;
        }
        // The row's background behind the cell; the delegate draws the selection.
        const QStyle::State cellState = opt.state;
        opt.state &= ~QStyle::State_Selected;
        opt.rect.setRect(position, y, width, height);
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &opt, &painter, this);
        opt.state = cellState;

        itemDelegateForIndex(index)->paint(&painter, opt, index);
    }

    if (currentRowHasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.state |= QStyle::State_KeyboardFocusChange;
        const QPalette::ColorGroup group =
            (option.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        focus.backgroundColor = option.palette.color(
            group, selectionModel()->isSelected(rowIndex) ? QPalette::Highlight : QPalette::Window);
        int x = 0;
        if (!option.showDecorationSelected)
            x = m_header->sectionPosition(0);
        const QRect focusRect(x - m_header->offset(), y, m_header->length() - x, height);
        focus.rect = style()->visualRect(layoutDirection(), viewport()->rect(), focusRect);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter);
        if (!option.showDecorationSelected && m_header->sectionsMoved() &&
            m_header->visualIndex(0) != 0) {
            const QRect sectionRect(0, y, m_header->sectionPosition(0), height);
            focus.rect = style()->visualRect(layoutDirection(), viewport()->rect(), sectionRect);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter);
        }
    }
}

int FlatListView::accessibleEntry(int row, int column) const
{
    return (row + 1) * model()->columnCount(rootIndex()) + column;
}

void FlatListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    if (previous.isValid())
        viewport()->update(rowRect(previous.row()));
    if (current.isValid())
        viewport()->update(rowRect(current.row()));
    if (QAccessible::isActive() && current.isValid()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(accessibleEntry(current.row(), current.column()));
        QAccessible::updateAccessibility(&focus);
    }
}

void FlatListView::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!QAccessible::isActive())
        return;
    if (const QModelIndex added = selected.indexes().value(0); added.isValid()) {
        QAccessibleEvent event(this, QAccessible::SelectionAdd);
        event.setChild(accessibleEntry(added.row(), added.column()));
        QAccessible::updateAccessibility(&event);
    }
    if (const QModelIndex removed = deselected.indexes().value(0); removed.isValid()) {
        QAccessibleEvent event(this, QAccessible::SelectionRemove);
        event.setChild(accessibleEntry(removed.row(), removed.column()));
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace velmora
