#include "editor/QRVSourceListTableView.h"

#include "editor/QRVSourceListController.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace qrv {

QRVSourceListTableView::QRVSourceListTableView(QWidget* parent)
    : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setIconSize(QSize(18, 18));
    setUniformItemSizes(false);
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

void QRVSourceListTableView::setSourceListController(QRVSourceListController* controller) {
    m_controller = controller;
    setItemDelegate(controller);
    setDragEnabled(controller && controller->sourceOperationMask() != Qt::IgnoreAction);
    setAcceptDrops(controller && controller->acceptsDrops());
}

bool QRVSourceListTableView::isSelectable(const QModelIndex& index) const {
    return index.isValid() && (!m_controller || m_controller->shouldSelectRow(index.row()));
}

QItemSelectionModel::SelectionFlags
QRVSourceListTableView::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    if (index.isValid() && !isSelectable(index))
        return QItemSelectionModel::NoUpdate;
    return QListView::selectionCommand(index, event);
}

QModelIndex QRVSourceListTableView::moveCursor(CursorAction action,
                                               Qt::KeyboardModifiers modifiers) {
    const QModelIndex start = currentIndex();
    QModelIndex next = QListView::moveCursor(action, modifiers);
    // Step over refused rows in the direction of travel; stay put at the ends.
    while (next.isValid() && !isSelectable(next)) {
        const QModelIndex previous = next;
        setCurrentIndex(next);
        next = QListView::moveCursor(action, modifiers);
        if (next == previous) {
            setCurrentIndex(start);
            return start;
        }
    }
    return next;
}

void QRVSourceListTableView::contextMenuEvent(QContextMenuEvent* event) {
    if (QMenu* menu = m_controller ? m_controller->menuForEvent(event) : nullptr)
        menu->exec(event->globalPos());
}

void QRVSourceListTableView::startDrag(Qt::DropActions supportedActions) {
    const Qt::DropActions allowed =
        m_controller ? m_controller->sourceOperationMask() : supportedActions;
    if (allowed != Qt::IgnoreAction)
        QListView::startDrag(allowed);
}

} // namespace qrv
