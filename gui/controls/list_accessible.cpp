#include "gui/controls/list_accessible.h"

#include "gui/controls/list_view.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QPointer>

namespace velmora {

namespace {

// The lists are announced as lists whose entries read as their text. Entries are numbered
// as the view numbers them in the focus and selection events it sends
// (FlatListView::accessibleEntry), so an event's entry is the line that took the focus. An
// entry is a place in the list, not a particular line: after a deletion it reads as the
// line that moved up into it.

class ListEntryAccessible : public QAccessibleInterface
{
public:
    ListEntryAccessible(FlatListView* view, int row, int column)
        : m_view(view), m_row(row), m_column(column)
    {}

    bool isValid() const override
    {
        return m_view && m_row < m_view->model()->rowCount() &&
               m_column < m_view->model()->columnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_view.data());
    }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        if (isHeading())
            return m_view->model()->headerData(m_column, Qt::Horizontal).toString();
        return index().data(Qt::AccessibleTextRole).toString();
    }
    void setText(QAccessible::Text /*kind*/, const QString& /*text*/) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        if (isHeading()) {
            const QHeaderView* header = m_view->header();
            const QRect section(header->sectionViewportPosition(m_column), 0,
                                header->sectionSize(m_column), header->height());
            return section.translated(header->mapToGlobal(QPoint(0, 0)));
        }
        return m_view->visualRect(index()).translated(
            m_view->viewport()->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::Role role() const override
    {
        return isHeading() ? QAccessible::ColumnHeader : QAccessible::ListItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
        } else if (isHeading()) {
            state.invisible = m_view->header()->isHidden();
        } else {
            state.selectable = true;
            state.focusable = true;
            state.selected = m_view->selectionModel()->isRowSelected(m_row, QModelIndex());
            state.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row;
            state.offscreen = !m_view->viewport()->rect().intersects(m_view->visualRect(index()));
        }
        return state;
    }

    int entry() const { return m_view->accessibleEntry(m_row, m_column); }

private:
    bool isHeading() const { return m_row < 0; }
    QModelIndex index() const { return m_view->model()->index(m_row, m_column); }

    QPointer<FlatListView> m_view;
    int m_row;
    int m_column;
};

class ListAccessible : public QAccessibleWidget
{
public:
    explicit ListAccessible(FlatListView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~ListAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_entries))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override
    {
        const QAbstractItemModel* model = view()->model();
        return (model->rowCount() + 1) * model->columnCount();
    }

    QAccessibleInterface* child(int entry) const override
    {
        if (entry < 0 || entry >= childCount())
            return nullptr;
        if (const auto known = m_entries.constFind(entry); known != m_entries.cend())
            return QAccessible::accessibleInterface(*known);
        const int columns = view()->model()->columnCount();
        auto* made = new ListEntryAccessible(view(), entry / columns - 1, entry % columns);
        m_entries.insert(entry, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* entry = dynamic_cast<const ListEntryAccessible*>(child);
        return entry && entry->parent() == this ? entry->entry() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint inViewport = view()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex at = view()->indexAt(inViewport);
        if (!at.isValid())
            return nullptr;
        return child(view()->accessibleEntry(at.row(), at.column()));
    }

    QAccessibleInterface* focusChild() const override
    {
        const QModelIndex current = view()->currentIndex();
        if (!view()->hasFocus() || !current.isValid())
            return nullptr;
        return child(view()->accessibleEntry(current.row(), current.column()));
    }

private:
    FlatListView* view() const { return static_cast<FlatListView*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_entries;
};

QAccessibleInterface* listAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1StringView(ListView::staticMetaObject.className()))
        return nullptr;
    auto* list = qobject_cast<ListView*>(object);
    return list ? new ListAccessible(list) : nullptr;
}

} // namespace

void installListAccessible()
{
    // Before the first list is made: an interface made for a list before that would be the
    // one Qt makes for item views, and would stay in Qt's cache for the list's life.
    static const bool installed = [] {
        QAccessible::installFactory(listAccessible);
        return true;
    }();
    (void)installed;
}

} // namespace velmora
