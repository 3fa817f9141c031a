#include "gui/controls/list_view.h"

#include "gui/controls/list_accessible.h"
#include "gui/controls/twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include <functional>

namespace velmora {

namespace {

// A see-through layer over the whole list that only draws its frame.
class FrameOnTop : public QWidget
{
public:
    FrameOnTop(QWidget* list, std::function<void(QPainter&)> drawFrame)
        : QWidget(list), m_drawFrame(std::move(drawFrame))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        m_drawFrame(painter);
    }

private:
    std::function<void(QPainter&)> m_drawFrame;
};

} // namespace

ListView::ListView(QWidget* parent)
    : FlatListView(parent), m_model(new ListModel(this)), m_items(m_model), m_columns(m_model)
{
    installListAccessible();
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    // The list fills its own background rather than letting the viewport do it: at a
    // fractional screen scale such as 150 % the viewport's rectangle rounds outward to whole
    // device pixels, and filled it paints over the right and bottom lines of the frame.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    viewport()->setAutoFillBackground(false);
    // At such a scale a scroll bar's rectangle rounds outward too and covers the frame's
    // right line, so the frame is drawn once more, above the scroll bars.
    m_frameOnTop = new FrameOnTop(this, [this](QPainter& painter) { drawFrame(&painter); });
}

bool ListView::event(QEvent* event)
{
    const bool handled = FlatListView::event(event);
    // The scroll area lays out (and raises) its scroll bars on these; the frame goes on top.
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest) {
        m_frameOnTop->setGeometry(rect());
        m_frameOnTop->raise();
    }
    return handled;
}

void ListView::setColumnWidthTwips(int column, int twips)
{
    m_columns.item(column);
    setColumnWidth(column - 1, twipsToPixels(twips));
}

std::optional<ListItem> ListView::selectedItem() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return ListItem(m_model, rows.front().row() + 1);
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyDown(event->key() == Qt::Key_Delete ? kDeleteKeyCode : 0);
    FlatListView::keyPressEvent(event); // the control's own handling of the key goes on
}

} // namespace velmora
