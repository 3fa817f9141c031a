#pragma once

#include "app/controls/list_items.h"
#include "app/controls/list_model.h"

#include <QTreeView>

#include <optional>

namespace velmora {

// The list control: a report view over a ListModel, with the collections commands use.
class ListView : public QTreeView
{
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);

    ListItemCollection& ListItems() { return m_items; }
    ColumnHeaderCollection& ColumnHeaders() { return m_columns; }
    std::optional<ListItem> SelectedItem() const;
    ListModel* listModel() const { return m_model; }

Q_SIGNALS:
    // A key went down; keyCode uses the platform's virtual-key numbers (Delete is 46).
    void KeyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    ListModel* m_model;
    QWidget* m_frameOnTop; // the frame drawn again above the scroll bars
    ListItemCollection m_items;
    ColumnHeaderCollection m_columns;
};

// The virtual-key number of a Qt key (0 for keys the program never names).
int virtualKeyCode(int qtKey);

} // namespace velmora
