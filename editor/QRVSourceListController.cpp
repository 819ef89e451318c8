#include "editor/QRVSourceListController.h"

#include "editor/QRVApplicationsArrayController.h"
#include "editor/QRVSourceListTableView.h"

#include <QPainter>

namespace qrv {

QRVSourceListController::QRVSourceListController(QObject* parent)
    : QStyledItemDelegate(parent) {}

void QRVSourceListController::setApplicationsArrayController(
    QRVApplicationsArrayController* controller) {
    m_applicationsArrayController = controller;
}

void QRVSourceListController::setApplicationsTableView(QRVSourceListTableView* view) {
    m_applicationsTableView = view;
}

QRVAplicationPtr QRVSourceListController::itemAtRow(int row) const {
    return m_applicationsArrayController ? m_applicationsArrayController->objectAtRow(row)
                                         : nullptr;
}

bool QRVSourceListController::shouldSelectRow(int row) const {
    const QRVAplicationPtr entry = itemAtRow(row);
    return entry && !entry->localizedName().isNull();
}

QMenu* QRVSourceListController::menuForEvent(QContextMenuEvent*) const {
    return nullptr;
}

bool QRVSourceListController::isSeparator(const QModelIndex& index) const {
    return index.isValid() && itemAtRow(index.row()) && !shouldSelectRow(index.row());
}

void QRVSourceListController::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    if (!isSeparator(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    QColor line = option.palette.color(QPalette::Mid);
    painter->setPen(QPen(line, 1));
    const int y = option.rect.center().y();
    painter->drawLine(option.rect.left() + 8, y, option.rect.right() - 8, y);
    painter->restore();
}

QSize QRVSourceListController::sizeHint(const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    if (isSeparator(index))
        return {option.rect.width(), 9};
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), 26));
    return size;
}

} // namespace qrv
