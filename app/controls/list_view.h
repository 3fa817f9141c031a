#pragma once

#include "app/controls/list_model.h"

#include <QTreeView>

#include <optional>

namespace velmora {

class ListView;

// One row of a list, addressed by its 1-based position. Every access looks the row up
// again, so a row that has gone raises "Index out of bounds" like the list control does.
class ListItem
{
public:
    ListItem(ListModel* model, int index) : m_model(model), m_index(index) {}
    int Index() const { return m_index; }
    const QString& Text() const;
    void setText(const QString& text);
    // The text of column k + 1 (k from 1); empty when the row has no such sub-item yet.
    QString SubItems(int k) const;
    void setSubItems(int k, const QString& text);
    bool Checked() const;
    void setChecked(bool checked);

private:
    int row() const; // the 0-based row, or a failure when it has gone
    ListModel* m_model;
    int m_index;
};

// The rows of a list, numbered from 1.
class ListItemCollection
{
public:
    explicit ListItemCollection(ListModel* model) : m_model(model) {}
    int Count() const { return m_model->rowTotal(); }
    ListItem Item(int index) const; // throws when there is no such row
    ListItem Add(const QString& text);
    void Remove(int index); // throws when there is no such row
    void Clear() { m_model->clearRows(); }

private:
    ListModel* m_model;
};

class ColumnHeader
{
public:
    ColumnHeader(ListModel* model, int index) : m_model(model), m_index(index) {}
    QString Text() const;
    int Width() const; // twips
    void setWidth(int twips);

private:
    ListModel* m_model;
    int m_index;
};

// The columns of a list, numbered from 1.
class ColumnHeaderCollection
{
public:
    explicit ColumnHeaderCollection(ListModel* model) : m_model(model) {}
    int Count() const { return m_model->columnTotal(); }
    ColumnHeader Item(int index) const; // throws when there is no such column
    ColumnHeader Add(const QString& heading);

private:
    ListModel* m_model;
};

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

private:
    ListModel* m_model;
    ListItemCollection m_items;
    ColumnHeaderCollection m_columns;
};

// The virtual-key number of a Qt key (0 for keys the program never names).
int virtualKeyCode(int qtKey);

} // namespace velmora
