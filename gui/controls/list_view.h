#pragma once

#include "core/model/list_items.h"
#include "core/model/list_model.h"
#include "gui/controls/flat_list_view.h"

#include <optional>

namespace velmora {

// The platform's virtual-key number of Delete, the one key a list's handler names.
inline constexpr int kDeleteKeyCode = 46;

// The list control: a report view over a ListModel, with the collections commands use.
class ListView : public FlatListView
{
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    ListItemCollection& items() { return m_items; }
    ColumnHeaderCollection& columns() { return m_columns; }
    std::optional<ListItem> selectedItem() const;
    // Sizes column `column` (from 1, as the collection numbers it; a column that does not
    // exist fails like its lookup).
    void setColumnWidthTwips(int column, int twips);

Q_SIGNALS:
    // A key went down: kDeleteKeyCode for Delete, 0 for any other key.
    void keyDown(int keyCode);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    ListModel* m_model;
    QWidget* m_frameOnTop; // the frame drawn again above the scroll bars
    ListItemCollection m_items;
    ColumnHeaderCollection m_columns;
};

} // namespace velmora
