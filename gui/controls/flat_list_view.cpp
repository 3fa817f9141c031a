// What the lists share with a tree view whose rows all have the first row's height, show no
// root decoration and are selected whole: the same look for the same rows (the style draws
// each cell's row panel, then the delegate the cell, then one focus frame across the row),
// the scroll bars (a row per step and a page of whole rows upright, the viewport's width per
// page and half of it per step sideways), the keys (Page Down moves by the rows that fit,
// Page Up by the rows that the viewport's height touches, Left and Right scroll sideways),
// clicks, typed search and the entry numbers screen readers hear. Unlike a tree view it
// keeps nothing per row: where a row is follows from its number.
#include "gui/controls/flat_list_view.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <optional>
#include <ranges>

namespace velmora {

namespace {

// Rounds towards minus infinity, so that a point just above the viewport is in the row above.
int floorDivide(int value, int divisor)
{
    const int quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

} // namespace

FlatListView::FlatListView(QWidget* parent)
    : QAbstractItemView(parent), m_header(new QHeaderView(Qt::Horizontal, this))
{
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerPixel);
    m_header->setDefaultAlignment(Qt::AlignLeading | Qt::AlignVCenter);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        viewport()->update();
        updateGeometries();
    });
    connect(m_header, &QHeaderView::sectionCountChanged, this, [this] {
        m_rowHeightKnown = false; // a new column may hold a taller first cell
        updateGeometries();
    });
    connect(m_header, &QHeaderView::geometriesChanged, this, &FlatListView::updateGeometries);
    connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this,
            &FlatListView::resizeColumnToContents);
}

// The header and the model outlive this part of the view while the base class is torn
// down, and may still signal then.
FlatListView::~FlatListView()
{
    m_header->disconnect(this);
    disconnect(m_rowsRemoved);
}

int FlatListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int FlatListView::rowHeight() const
{
    // Measured again once the first row may have changed; an emptied list keeps the height.
    if (m_rowHeightKnown || rowCount() == 0)
        return m_rowHeight;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int height = 0;
    for (int column = 0; column < m_header->count(); ++column) {
        const QModelIndex cell = model()->index(0, column, rootIndex());
        height = std::max(height, itemDelegateForIndex(cell)->sizeHint(option, cell).height());
    }
    m_rowHeight = height;
    m_rowHeightKnown = true;
    return height;
}

int FlatListView::topRow() const
{
    return verticalScrollBar()->value();
}

int FlatListView::wholeRowsShown() const
{
    // A page is at least one row, even when the viewport is lower than that.
    const int height = rowHeight();
    return height > 0 ? std::max(viewport()->height() / height, 1) : 0;
}

int FlatListView::rowAtY(int y) const
{
    return topRow() + floorDivide(y, std::max(rowHeight(), 1));
}

QRect FlatListView::rowRect(int row) const
{
    return QRect(0, (row - topRow()) * rowHeight(), viewport()->width(), rowHeight());
}

void FlatListView::updateRow(int row)
{
    if (row >= topRow() && row <= topRow() + wholeRowsShown())
        viewport()->update(rowRect(row));
}

QList<int> FlatListView::shownColumns() const
{
    QList<int> columns;
    for (const int place : std::views::iota(0, m_header->count())) {
        if (const int column = m_header->logicalIndex(place); !m_header->isSectionHidden(column))
            columns.append(column);
    }
    return columns;
}

int FlatListView::columnWidth(int column) const
{
    return m_header->sectionSize(column);
}

void FlatListView::setColumnWidth(int column, int width)
{
    m_header->resizeSection(column, width);
}

int FlatListView::sizeHintForColumn(int column) const
{
    if (!model())
        return -1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int width = 0;
    const int last = std::min(topRow() + wholeRowsShown(), rowCount() - 1);
    for (int row = topRow(); row <= last; ++row) { // only the rows in view: there may be millions
        const QModelIndex cell = model()->index(row, column, rootIndex());
        width = std::max(width, itemDelegateForIndex(cell)->sizeHint(option, cell).width());
    }
    return width;
}

void FlatListView::resizeColumnToContents(int column)
{
    if (column < 0 || column >= m_header->count())
        return;
    const int heading = m_header->isHidden() ? 0 : m_header->sectionSizeHint(column);
    m_header->resizeSection(column, std::max(heading, sizeHintForColumn(column)));
}

int FlatListView::accessibleEntry(int row, int column) const
{
    const int columns = model() ? model()->columnCount(rootIndex()) : 0;
    return (row + 1) * columns + column;
}

void FlatListView::setModel(QAbstractItemModel* model)
{
    disconnect(m_rowsRemoved);
    m_header->setModel(model); // first: the view's selection model is handed on to it
    QAbstractItemView::setModel(model);
    m_rowHeightKnown = false;
    m_hoveredRow = -1;
    if (model) {
        m_rowsRemoved = connect(model, &QAbstractItemModel::rowsRemoved, this,
                                [this](const QModelIndex& parent, int first) {
                                    if (parent != rootIndex())
                                        return;
                                    if (first == 0)
                                        m_rowHeightKnown = false;
                                    scheduleDelayedItemsLayout();
                                });
    }
}

void FlatListView::setSelectionModel(QItemSelectionModel* selectionModel)
{
    QAbstractItemView::setSelectionModel(selectionModel);
    if (selectionModel && m_header->model() == selectionModel->model())
        m_header->setSelectionModel(selectionModel);
}

void FlatListView::reset()
{
    m_rowHeightKnown = false;
    m_hoveredRow = -1;
    QAbstractItemView::reset();
    scheduleDelayedItemsLayout();
}

QRect FlatListView::visualRect(const QModelIndex& index) const
{
    if (index.parent() != rootIndex() || !index.isValid())
        return {};
    return QRect(m_header->sectionViewportPosition(index.column()),
                 (index.row() - topRow()) * rowHeight(), m_header->sectionSize(index.column()),
                 rowHeight());
}

QModelIndex FlatListView::indexAt(const QPoint& point) const
{
    if (rowHeight() <= 0)
        return {};
    const int row = rowAtY(point.y());
    const int column = m_header->logicalIndexAt(point.x());
    const bool onACell = column >= 0 && row >= 0 && row < rowCount();
    return onACell ? model()->index(row, column, rootIndex()) : QModelIndex();
}

void FlatListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || rowHeight() <= 0)
        return;
    const int row = index.row();
    const int rows = wholeRowsShown();
    int top = topRow();
    switch (hint) {
    case EnsureVisible:
        if (row < top)
            top = row;
        else if (row >= top + rows)
            top = row - rows + 1;
        break;
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - rows + 1;
        break;
    case PositionAtCenter: // above it, the rows that fit over the viewport's middle
        top = row - std::max(viewport()->height() / 2 - 1, 0) / rowHeight();
        break;
    }
    verticalScrollBar()->setValue(top);

    // Sideways the cell's left edge comes into view, and as much of the rest as fits.
    const int left = m_header->sectionPosition(index.column());
    const int right = left + m_header->sectionSize(index.column());
    const int shownFrom = horizontalScrollBar()->value();
    const int width = viewport()->width();
    if (left < shownFrom)
        horizontalScrollBar()->setValue(left);
    else if (right > shownFrom + width)
        horizontalScrollBar()->setValue(std::min(left, right - width));
}

void FlatListView::keyboardSearch(const QString& text)
{
    const int rows = rowCount();
    if (rows == 0 || text.isEmpty())
        return;
    const bool fresh =
        !m_typedClock.isValid() || m_typedClock.elapsed() > QApplication::keyboardInputInterval();
    m_typedClock.start();
    m_typed = fresh ? text : m_typed + text;

    // A new search starts below the current row, and so does the same character typed
    // again, which steps through the rows starting with it; a longer text first tries the
    // current row itself.
    const bool sameCharacter =
        std::all_of(m_typed.cbegin(), m_typed.cend(), [&](QChar c) { return c == m_typed[0]; });
    const QString wanted = sameCharacter ? m_typed.left(1) : m_typed;
    const QModelIndex current = currentIndex();
    int from = 0;
    if (current.isValid())
        from = fresh || sameCharacter ? current.row() + 1 : current.row();
    const int column = current.isValid() ? current.column() : 0;
    for (int step = 0; step < rows; ++step) {
        const QModelIndex cell = model()->index((from + step) % rows, column, rootIndex());
        if (cell.data().toString().startsWith(wanted, Qt::CaseInsensitive)) {
            setCurrentIndex(cell);
            return;
        }
    }
}

QModelIndex FlatListView::moveCursor(CursorAction action, Qt::KeyboardModifiers /*modifiers*/)
{
    const int rows = rowCount();
    if (rows == 0 || rowHeight() <= 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    const int height = viewport()->height();
    int row = current.row();
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= (height + rowHeight() - 1) / rowHeight();
        break;
    case MovePageDown:
        row += height / rowHeight();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows - 1;
        break;
    case MoveLeft:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return current;
    case MoveRight:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return current;
    }
    return model()->index(std::clamp(row, 0, rows - 1), current.column(), rootIndex());
}

int FlatListView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int FlatListView::verticalOffset() const
{
    return topRow() * rowHeight();
}

void FlatListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    QItemSelection rows;
    const int count = rowCount();
    if (count > 0 && rowHeight() > 0) {
        const QRect area = rect.normalized();
        const int first = std::max(rowAtY(area.top()), 0);
        const int last = std::min(rowAtY(area.bottom()), count - 1);
        const int lastColumn = model()->columnCount(rootIndex()) - 1;
        if (first <= last && lastColumn >= 0) {
            rows.select(model()->index(first, 0, rootIndex()),
                        model()->index(last, lastColumn, rootIndex()));
        }
    }
    selectionModel()->select(rows, command);
}

QRegion FlatListView::visualRegionForSelection(const QItemSelection& selection) const
{
    // Only the rows in view: a range may cover millions of them.
    const int firstShown = topRow();
    const int lastShown = firstShown + wholeRowsShown();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int first = std::max(range.top(), firstShown);
        const int last = std::min(range.bottom(), lastShown);
        if (first <= last)
            region += rowRect(first).united(rowRect(last));
    }
    return region;
}

void FlatListView::updateGeometries()
{
    const int headerHeight = m_header->isHidden() ? 0 : m_header->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(
        QRect(area.topLeft() - QPoint(0, headerHeight), QSize(area.width(), headerHeight)));

    const int rows = wholeRowsShown();
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setRange(0, std::max(rowCount() - rows, 0));

    // Sideways a step is the viewport's width over one more than the columns that fit in it
    // together, counted from the last one (which always counts).
    const QList<int> columns = shownColumns();
    int fitting = 0;
    int fittingWidth = 0;
    for (const int column : columns | std::views::reverse) {
        fittingWidth += m_header->sectionSize(column);
        if (fitting > 0 && fittingWidth > area.width())
            break;
        ++fitting;
    }
    horizontalScrollBar()->setSingleStep(area.width() / (fitting + 1));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setRange(0, std::max(m_header->length() - area.width(), 0));
    m_header->setOffset(horizontalScrollBar()->value());

    QAbstractItemView::updateGeometries();
}

void FlatListView::scrollContentsBy(int dx, int dy)
{
    m_header->setOffset(horizontalScrollBar()->value());
    QAbstractItemView::scrollContentsBy(dx, dy * rowHeight()); // dy counts rows
}

void FlatListView::paintEvent(QPaintEvent* event)
{
    const int height = rowHeight();
    if (height <= 0)
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int first = std::max(rowAtY(event->rect().top()), 0);
    const int last = std::min(rowAtY(event->rect().bottom()), rowCount() - 1);
    for (int row = first; row <= last; ++row)
        paintRow(painter, option, row);
}

void FlatListView::paintRow(QPainter& painter, const QStyleOptionViewItem& base, int row) const
{
    QStyleOptionViewItem rowOption = base;
    rowOption.rect = rowRect(row);
    if (row < rowCount() - 1) // styles may draw rows as they would a tree's siblings
        rowOption.state |= QStyle::State_Sibling;
    if (row == m_hoveredRow)
        rowOption.state |= QStyle::State_MouseOver;

    // The span the shown columns cover together.
    const QList<int> columns = shownColumns();
    int left = 0;
    int right = 0;
    bool selected = false;
    for (qsizetype place = 0; place < columns.size(); ++place) {
        const int column = columns[place];
        const QModelIndex cell = model()->index(row, column, rootIndex());
        QStyleOptionViewItem cellOption = rowOption;
        cellOption.rect.setLeft(m_header->sectionViewportPosition(column));
        cellOption.rect.setWidth(m_header->sectionSize(column));
        if (place == 0)
            left = cellOption.rect.left();
        right = cellOption.rect.right();
        if (columns.size() == 1)
            cellOption.viewItemPosition = QStyleOptionViewItem::OnlyOne;
        else if (place == 0)
            cellOption.viewItemPosition = QStyleOptionViewItem::Beginning;
        else if (place == columns.size() - 1)
            cellOption.viewItemPosition = QStyleOptionViewItem::End;
        else
            cellOption.viewItemPosition = QStyleOptionViewItem::Middle;
        // The row's panel under the cell is drawn unselected; the delegate shows the selection.
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &cellOption, &painter, this);
        if (selectionModel()->isSelected(cell)) {
            cellOption.state |= QStyle::State_Selected;
            selected = selected || place == 0;
        }
        itemDelegateForIndex(cell)->paint(&painter, cellOption, cell);
    }

    if (hasFocus() && currentIndex().row() == row && !columns.isEmpty()) {
        QStyleOptionFocusRect focus;
        static_cast<QStyleOption&>(focus) = rowOption; // the row's state, palette and font
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.rect.setLeft(left);
        focus.rect.setRight(right);
        focus.backgroundColor =
            rowOption.palette.color(selected ? QPalette::Highlight : QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter);
    }
}

void FlatListView::changeEvent(QEvent* event)
{
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeightKnown = false;
        updateGeometries();
    }
}

void FlatListView::setHoveredRow(int row)
{
    if (row == m_hoveredRow)
        return;
    updateRow(m_hoveredRow);
    m_hoveredRow = row;
    updateRow(m_hoveredRow);
}

int FlatListView::rowUnder(QPoint point) const
{
    const QModelIndex at = indexAt(point);
    return at.isValid() ? at.row() : -1;
}

// The row under the pointer is hovered: on mouse moves (with a button down, or with mouse
// tracking on) and on hover events (which come when a skin styles :hover).
void FlatListView::mouseMoveEvent(QMouseEvent* event)
{
    setHoveredRow(rowUnder(event->position().toPoint()));
    QAbstractItemView::mouseMoveEvent(event);
}

std::optional<int> FlatListView::hoveredRowAfter(const QEvent& event) const
{
    switch (event.type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        return rowUnder(static_cast<const QHoverEvent&>(event).position().toPoint());
    case QEvent::HoverLeave:
    case QEvent::Leave:
        return -1;
    default:
        return std::nullopt;
    }
}

bool FlatListView::viewportEvent(QEvent* event)
{
    if (const std::optional<int> row = hoveredRowAfter(*event))
        setHoveredRow(*row);
    return QAbstractItemView::viewportEvent(event);
}

void FlatListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles)
{
    if (topLeft.row() == 0)
        m_rowHeightKnown = false;
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void FlatListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    if (parent != rootIndex())
        return;
    if (start == 0)
        m_rowHeightKnown = false;
    scheduleDelayedItemsLayout();
}

void FlatListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // The focus frame spans the row, not only the current cell.
    updateRow(previous.row());
    updateRow(current.row());
    QAbstractItemView::currentChanged(current, previous);
    sendAccessibleEvent(QAccessible::Focus, current);
}

void FlatListView::selectionChanged(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    for (const QItemSelectionRange& range : selected)
        sendAccessibleEvent(QAccessible::SelectionAdd, range.topLeft());
    for (const QItemSelectionRange& range : deselected)
        sendAccessibleEvent(QAccessible::SelectionRemove, range.topLeft());
    QAbstractItemView::selectionChanged(selected, deselected);
}

void FlatListView::sendAccessibleEvent(QAccessible::Event type, const QModelIndex& index)
{
    if (!QAccessible::isActive() || !index.isValid())
        return;
    QAccessibleEvent event(this, type);
    event.setChild(accessibleEntry(index.row(), index.column()));
    QAccessible::updateAccessibility(&event);
}

} // namespace velmora
