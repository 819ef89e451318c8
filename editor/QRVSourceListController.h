#pragma once

#include "menus/QRVAplication.h"

#include <QPointer>
#include <QStyledItemDelegate>

class QContextMenuEvent;
class QMenu;

namespace qrv {

class QRVApplicationsArrayController;
class QRVSourceListTableView;

// The source list's delegate: which rows may be selected (not the separator),
// how rows look (icon and name; the separator as a line), and that the list
// offers no drag and drop and no context menu.
class QRVSourceListController : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit QRVSourceListController(QObject* parent = nullptr);

    void setApplicationsArrayController(QRVApplicationsArrayController* controller);
    void setApplicationsTableView(QRVSourceListTableView* view);

    QRVAplicationPtr itemAtRow(int row) const; // null for a row outside the list
    // Only entries with a name: the separator is never selected.
    bool shouldSelectRow(int row) const;

    Qt::DropActions sourceOperationMask() const { return Qt::IgnoreAction; }
    bool acceptsDrops() const { return false; }
    QMenu* menuForEvent(QContextMenuEvent* event) const;

    // QStyledItemDelegate
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  private:
    bool isSeparator(const QModelIndex& index) const;

    QPointer<QRVApplicationsArrayController> m_applicationsArrayController;
    QPointer<QRVSourceListTableView> m_applicationsTableView;
};

} // namespace qrv
