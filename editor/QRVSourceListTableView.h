#pragma once

#include "editor/QRVSourceListController.h"

#include <QListView>
#include <QPointer>

namespace qrv {

// The application source list. Selection, drags and the context menu are
// decided by its delegate, the source-list controller: rows it refuses are
// neither selected by clicks nor landed on by the arrow keys.
class QRVSourceListTableView : public QListView {
    Q_OBJECT
  public:
    explicit QRVSourceListTableView(QWidget* parent = nullptr);

    void setSourceListController(QRVSourceListController* controller);
    QRVSourceListController* sourceListController() const { return m_controller; }

  protected:
    QItemSelectionModel::SelectionFlags
    selectionCommand(const QModelIndex& index, const QEvent* event = nullptr) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

  private:
    bool isSelectable(const QModelIndex& index) const;

    QPointer<QRVSourceListController> m_controller;
};

} // namespace qrv
