#pragma once

#include <QTableView>
#include <functional>

namespace qrv {

class QRVShortcutsViewTableCellView;

// The shortcut table. The recorder cells of the "shortcut" column are made
// for the rows in sight (and a few beyond) and dropped when scrolled far
// away, so a list of thousands opens as fast as a short one; a cell that is
// recording is kept. The title editor opens only when the edit gate allows.
class QRVShortcutsTableView : public QTableView {
    Q_OBJECT
  public:
    explicit QRVShortcutsTableView(QWidget* parent = nullptr);

    // Makes (and fills) the cell of a row.
    using CellProvider = std::function<QRVShortcutsViewTableCellView*(int row)>;
    void setCellProvider(CellProvider provider) { m_cellProvider = std::move(provider); }
    // Asked before a title editor opens, with what opens it.
    using EditGate = std::function<bool(EditTrigger)>;
    void setEditGate(EditGate gate) { m_editGate = std::move(gate); }

    // The cell of a row, when it has one now.
    QRVShortcutsViewTableCellView* cellAtRow(int row) const;
    // Where a cell stands now; invalid for a widget that is no cell of this table.
    QModelIndex indexOfCell(const QWidget* cell) const;
    // Makes the cells of the rows in sight; drops those far from it.
    void updateCells();
    // The selected rows, ascending.
    QList<int> selectedRows() const;
    // Ends an open title editor, keeping what was typed.
    void endEditing();

    void setModel(QAbstractItemModel* model) override;
    using QTableView::edit;

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    CellProvider m_cellProvider;
    EditGate m_editGate;
};

} // namespace qrv
