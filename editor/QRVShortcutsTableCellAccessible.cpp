#include "editor/QRVShortcutsTableCellAccessible.h"

#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"

#include <QHeaderView>

namespace qrv {

QRVShortcutsTableCellAccessible::QRVShortcutsTableCellAccessible(QRVShortcutsTableView* view,
                                                                 const QModelIndex& index)
    : AccessibleWidgetPart(view)
    , m_index(index) {}

QRVShortcutsTableView* QRVShortcutsTableCellAccessible::view() const {
    return static_cast<QRVShortcutsTableView*>(owner());
}

bool QRVShortcutsTableCellAccessible::isValid() const {
    return view() && m_index.isValid() && m_index.model() == view()->model();
}

QWidget* QRVShortcutsTableCellAccessible::cellWidget() const {
    // The view keeps a cell's widget and the editor open in it alike.
    return isValid() ? view()->indexWidget(m_index) : nullptr;
}

QAccessibleInterface* QRVShortcutsTableCellAccessible::child(int index) const {
    QWidget* widget = index == 0 ? cellWidget() : nullptr;
    return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

int QRVShortcutsTableCellAccessible::childCount() const {
    return cellWidget() ? 1 : 0;
}

int QRVShortcutsTableCellAccessible::indexOfChild(const QAccessibleInterface* child) const {
    QWidget* widget = cellWidget();
    return widget && child && child->object() == widget ? 0 : -1;
}

QAccessibleInterface* QRVShortcutsTableCellAccessible::childAt(int x, int y) const {
    QAccessibleInterface* widget = child(0);
    return widget && widget->rect().contains(x, y) ? widget : nullptr;
}

QString QRVShortcutsTableCellAccessible::text(QAccessible::Text type) const {
    if (!isValid())
        return {};
    switch (type) {
    case QAccessible::Name: {
        const QVariant spoken = m_index.data(Qt::AccessibleTextRole);
        return spoken.isValid() ? spoken.toString() : m_index.data(Qt::DisplayRole).toString();
    }
    case QAccessible::Description:
        return m_index.data(QRVShortcutsTableModel::WarningRole).toString();
    default:
        return {};
    }
}

QRect QRVShortcutsTableCellAccessible::rect() const {
    if (!isValid())
        return {};
    return view()->visualRect(m_index).translated(view()->viewport()->mapToGlobal(QPoint(0, 0)));
}

QAccessible::State QRVShortcutsTableCellAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const Qt::ItemFlags flags = m_index.flags();
    state.disabled = !(flags & Qt::ItemIsEnabled);
    state.selectable = bool(flags & Qt::ItemIsSelectable);
    state.selected = isSelected();
    state.editable = bool(flags & Qt::ItemIsEditable);
    state.focusable = true;
    state.focused = view()->hasFocus() && view()->currentIndex() == m_index;
    state.invisible = !view()->isVisible();
    state.offscreen = !view()->viewport()->rect().intersects(view()->visualRect(m_index));
    return state;
}

void* QRVShortcutsTableCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool QRVShortcutsTableCellAccessible::isSelected() const {
    return isValid() && view()->selectionModel() &&
           view()->selectionModel()->isSelected(QModelIndex(m_index));
}

QList<QAccessibleInterface*> QRVShortcutsTableCellAccessible::columnHeaderCells() const {
    QAccessibleInterface* table = parent();
    if (!isValid() || !table || !view()->horizontalHeader()->isVisible())
        return {};
    // The column headers are the table's children after the corner.
    QAccessibleInterface* header = table->child(m_index.column() + 1);
    return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

QStringList QRVShortcutsTableCellAccessible::actionNames() const {
    return {toggleAction()};
}

void QRVShortcutsTableCellAccessible::doAction(const QString& actionName) {
    QAccessibleInterface* table = parent();
    if (actionName != toggleAction() || !isValid() || !table || !table->tableInterface())
        return;
    if (isSelected())
        table->tableInterface()->unselectRow(m_index.row());
    else
        table->tableInterface()->selectRow(m_index.row());
}

} // namespace qrv
