#pragma once

#include "editor/AccessibleWidgetPart.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPersistentModelIndex>

namespace qrv {

class QRVShortcutsTableView;

// One cell of the shortcut table. It follows its row when rows come or go
// before it and becomes invalid when its row is removed. Its name is the
// row's title or shortcut, its description the record's warning. Its only
// child is the widget it holds, when it holds one: a "shortcut" cell the
// row's cell widget (warning mark and recorder), a "title" cell the open
// title editor. The action toggles the row's selection.
class QRVShortcutsTableCellAccessible final : public AccessibleWidgetPart,
                                              public QAccessibleTableCellInterface,
                                              public QAccessibleActionInterface {
  public:
    QRVShortcutsTableCellAccessible(QRVShortcutsTableView* view, const QModelIndex& index);

    const QPersistentModelIndex& index() const { return m_index; }

    bool isValid() const override;
    QAccessibleInterface* child(int index) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text type) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_index.column(); }
    int rowIndex() const override { return m_index.row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    // The widget the cell holds now, if any.
    QWidget* cellWidget() const;
    QRVShortcutsTableView* view() const;

    QPersistentModelIndex m_index;
};

} // namespace qrv
