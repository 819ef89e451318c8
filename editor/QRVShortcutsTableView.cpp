#include "editor/QRVShortcutsTableView.h"

#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsTableAccessibility.h"
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsViewTableCellView.h"

#include <QHeaderView>

namespace qrv {

namespace {
// Rows beyond those in sight that keep (or get) their cells, so that a
// little scrolling shows ready rows.
constexpr int kRowsBeyondSight = 8;
} // namespace

QRVShortcutsTableView::QRVShortcutsTableView(QWidget* parent)
    : QTableView(parent) {
    installShortcutsTableAccessibility(this);
    setObjectName(QStringLiteral("menuShortcutsTableView"));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(26);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    setAccessibleName(tr("Shortcuts"));
}

void QRVShortcutsTableView::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    if (!model)
        return;
    // Connected after the view's own handlers, so the rows are laid out when these run.
    connect(model, &QAbstractItemModel::rowsInserted, this, &QRVShortcutsTableView::updateCells);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &QRVShortcutsTableView::updateCells);
    connect(model, &QAbstractItemModel::modelReset, this, &QRVShortcutsTableView::updateCells);
    setColumnWidth(QRVShortcutsTableModel::TitleColumn, 320);
    updateCells();
}

QRVShortcutsViewTableCellView* QRVShortcutsTableView::cellAtRow(int row) const {
    if (!model() || row < 0 || row >= model()->rowCount())
        return nullptr;
    return qobject_cast<QRVShortcutsViewTableCellView*>(
        indexWidget(model()->index(row, QRVShortcutsTableModel::ShortcutColumn)));
}

QModelIndex QRVShortcutsTableView::indexOfCell(const QWidget* cell) const {
    if (!model() || !cell || cell->parentWidget() != viewport())
        return {};
    for (int row = 0, count = model()->rowCount(); row < count; ++row) {
        const QModelIndex index = model()->index(row, QRVShortcutsTableModel::ShortcutColumn);
        if (indexWidget(index) == cell)
            return index;
    }
    return {};
}

void QRVShortcutsTableView::updateCells() {
    QAbstractItemModel* rows = model();
    if (!rows || !m_cellProvider)
        return;
    const int count = rows->rowCount();
    if (count == 0)
        return;
    int first = rowAt(0);
    int last = rowAt(viewport()->height() - 1);
    if (first < 0)
        first = 0;
    if (last < 0)
        last = count - 1;
    first = std::max(0, first - kRowsBeyondSight);
    last = std::min(count - 1, last + kRowsBeyondSight);
    for (int row = 0; row < count; ++row) {
        const QModelIndex index = rows->index(row, QRVShortcutsTableModel::ShortcutColumn);
        auto* cell = qobject_cast<QRVShortcutsViewTableCellView*>(indexWidget(index));
        const bool wanted = row >= first && row <= last;
        if (wanted && !cell) {
            setIndexWidget(index, m_cellProvider(row));
        } else if (!wanted && cell && !cell->shortcutView()->isRecording()) {
            cell->prepareForReuse();
            setIndexWidget(index, nullptr); // deletes the cell
        }
    }
}

QList<int> QRVShortcutsTableView::selectedRows() const {
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void QRVShortcutsTableView::endEditing() {
    if (state() != EditingState || !model())
        return;
    for (int row = 0; row < model()->rowCount(); ++row) {
        // A delegate's open editor is the index widget of the cell it edits.
        if (QWidget* editor =
                indexWidget(model()->index(row, QRVShortcutsTableModel::TitleColumn))) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            return;
        }
    }
}

bool QRVShortcutsTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // Every press and release asks too (with no trigger or one we do not
    // use); only a request that would open the editor goes to the gate, so a
    // plain click never explains a permission.
    const bool opensEditor = trigger == AllEditTriggers || (editTriggers() & trigger);
    if (index.column() == QRVShortcutsTableModel::TitleColumn && state() != EditingState &&
        opensEditor && m_editGate && !m_editGate(trigger))
        return false;
    return QTableView::edit(index, trigger, event);
}

void QRVShortcutsTableView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    updateCells();
}

void QRVShortcutsTableView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        updateCells();
}

} // namespace qrv
