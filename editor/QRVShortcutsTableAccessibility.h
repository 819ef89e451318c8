#pragma once

#include "editor/AccessibleWidgetPart.h"

#include <QAbstractItemModel>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <memory>

namespace qrv {

class QRVShortcutsTableView;
class QRVShortcutsTableCellAccessible;
class QRVShortcutsViewTableCellView;

// Makes the shortcut table reachable by assistive technology down to each
// row's recorder: Qt's own table interface stops at the cells and never lists
// the widgets a cell holds. Called first thing by the constructors of the
// table and of its cells with the widget being built.
void installShortcutsTableAccessibility(QWidget* built);

// The shortcut table as assistive technology sees it. The children are laid
// out as Qt lays out a table view's (the corner, the column headers, then per
// row its row header and its cells), because the view announces focus and
// selection by those child numbers. A "shortcut" cell lists the row's cell
// widget (warning mark and recorder) as its child.
class QRVShortcutsTableAccessible final : public QAccessibleWidget,
                                          public QAccessibleTableInterface {
  public:
    explicit QRVShortcutsTableAccessible(QRVShortcutsTableView* view);
    ~QRVShortcutsTableAccessible() override;

    QRVShortcutsTableView* view() const;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The child number of a cell, a column header (row -1), a row header
    // (column -1) or the corner (both -1).
    int childIndex(int row, int column) const;

  private:
    QAccessibleInterface* cachedCell(int index, int row, int column) const;
    // After rows came, went or moved: files the cells under their new numbers
    // and lets go of those whose rows are gone.
    void followModel() const;
    bool select(int row, int column, bool on);

    // Child number -> interface. Cells follow their rows (they hold
    // persistent indexes), so a screen reader's cell stays the same object.
    mutable QHash<int, QAccessible::Id> m_cells;
    mutable QHash<int, QAccessible::Id> m_headers;
    mutable QPointer<QAbstractItemModel> m_watchedModel;
    mutable std::unique_ptr<QObject> m_modelWatcher; // ends the connections with us
    mutable bool m_cellsMoved = false;
};

// A column header, a row header (hidden, listed for the numbering) or the
// corner of the shortcut table.
class QRVShortcutsTableHeaderAccessible final : public AccessibleWidgetPart {
  public:
    // section -1 is the corner.
    QRVShortcutsTableHeaderAccessible(QRVShortcutsTableView* view, Qt::Orientation orientation,
                                      int section);

    bool isValid() const override;
    QString text(QAccessible::Text type) const override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

    Qt::Orientation orientation() const { return m_orientation; }
    int section() const { return m_section; }

  private:
    QRVShortcutsTableView* view() const;

    Qt::Orientation m_orientation;
    int m_section;
};

// A row's cell widget (warning mark and recorder). Its parent is the table
// cell that lists it, not the view's viewport, so that walking up from a
// recorder comes back the way walking down went.
class QRVShortcutsCellViewAccessible final : public QAccessibleWidget {
  public:
    explicit QRVShortcutsCellViewAccessible(QRVShortcutsViewTableCellView* cell);
    QAccessibleInterface* parent() const override;
};

} // namespace qrv
