#include "editor/QRVShortcutsTableAccessibility.h"

#include "editor/QRVShortcutsTableCellAccessible.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewTableCellView.h"

#include <QHeaderView>
#include <mutex>

namespace qrv {

namespace {

QAccessibleInterface* shortcutsTableFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(QRVShortcutsTableView::staticMetaObject.className())) {
        if (auto* view = qobject_cast<QRVShortcutsTableView*>(object))
            return new QRVShortcutsTableAccessible(view);
    } else if (className ==
               QLatin1String(QRVShortcutsViewTableCellView::staticMetaObject.className())) {
        if (auto* cell = qobject_cast<QRVShortcutsViewTableCellView*>(object))
            return new QRVShortcutsCellViewAccessible(cell);
    }
    return nullptr;
}

QRVShortcutsTableCellAccessible* asCell(QAccessibleInterface* interface) {
    return static_cast<QRVShortcutsTableCellAccessible*>(interface);
}

} // namespace

void installShortcutsTableAccessibility(QWidget* built) {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&shortcutsTableFactory); });
    // An accessibility event sent while the base classes were being built
    // makes (and keeps) an interface of the base class: let it go, so that
    // the next request makes ours.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(built);
    if (made && !dynamic_cast<QRVShortcutsTableAccessible*>(made) &&
        !dynamic_cast<QRVShortcutsCellViewAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

QRVShortcutsTableAccessible::QRVShortcutsTableAccessible(QRVShortcutsTableView* view)
    : QAccessibleWidget(view, QAccessible::Table) {}

QRVShortcutsTableAccessible::~QRVShortcutsTableAccessible() {
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    for (const QAccessible::Id id : std::as_const(m_headers))
        QAccessible::deleteAccessibleInterface(id);
}

QRVShortcutsTableView* QRVShortcutsTableAccessible::view() const {
    return static_cast<QRVShortcutsTableView*>(widget());
}

int QRVShortcutsTableAccessible::rowCount() const {
    return view()->model() ? view()->model()->rowCount() : 0;
}

int QRVShortcutsTableAccessible::columnCount() const {
    return view()->model() ? view()->model()->columnCount() : 0;
}

int QRVShortcutsTableAccessible::childIndex(int row, int column) const {
    return (row + 1) * (columnCount() + 1) + column + 1;
}

int QRVShortcutsTableAccessible::childCount() const {
    return view()->model() ? (rowCount() + 1) * (columnCount() + 1) : 0;
}

QAccessibleInterface* QRVShortcutsTableAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    const int stride = columnCount() + 1;
    const int row = index / stride - 1;
    const int column = index % stride - 1;
    if (row >= 0 && column >= 0)
        return cachedCell(index, row, column);
    // Headers are what stands at a number; one whose row has gone is made anew.
    if (const auto found = m_headers.constFind(index); found != m_headers.cend()) {
        if (QAccessibleInterface* header = QAccessible::accessibleInterface(*found);
            header && header->isValid())
            return header;
        QAccessible::deleteAccessibleInterface(*found);
    }
    auto* header = column < 0 && row >= 0
                       ? new QRVShortcutsTableHeaderAccessible(view(), Qt::Vertical, row)
                       : new QRVShortcutsTableHeaderAccessible(view(), Qt::Horizontal, column);
    m_headers.insert(index, QAccessible::registerAccessibleInterface(header));
    return header;
}

QAccessibleInterface* QRVShortcutsTableAccessible::cachedCell(int index, int row,
                                                              int column) const {
    followModel();
    if (const auto found = m_cells.constFind(index); found != m_cells.cend())
        if (auto* cell = asCell(QAccessible::accessibleInterface(*found));
            cell && cell->isValid() && cell->index().row() == row &&
            cell->index().column() == column)
            return cell;
    auto* cell = new QRVShortcutsTableCellAccessible(view(), view()->model()->index(row, column));
    if (const QAccessible::Id replaced = m_cells.value(index))
        QAccessible::deleteAccessibleInterface(replaced);
    m_cells.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

void QRVShortcutsTableAccessible::followModel() const {
    QAbstractItemModel* model = view()->model();
    if (model != m_watchedModel) {
        m_modelWatcher = std::make_unique<QObject>();
        m_watchedModel = model;
        m_cellsMoved = true;
        if (model) {
            const auto moved = [this] {
                m_cellsMoved = true;
            };
            QObject* watcher = m_modelWatcher.get();
            QObject::connect(model, &QAbstractItemModel::rowsInserted, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::rowsRemoved, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::rowsMoved, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::columnsInserted, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::columnsRemoved, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::columnsMoved, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::layoutChanged, watcher, moved);
            QObject::connect(model, &QAbstractItemModel::modelReset, watcher, moved);
        }
    }
    if (!m_cellsMoved)
        return;
    m_cellsMoved = false;
    QHash<int, QAccessible::Id> cells;
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        auto* cell = asCell(QAccessible::accessibleInterface(it.value()));
        if (cell && cell->isValid())
            cells.insert(childIndex(cell->index().row(), cell->index().column()), it.value());
        else
            QAccessible::deleteAccessibleInterface(it.value());
    }
    m_cells = std::move(cells);
}

int QRVShortcutsTableAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child || !child->isValid())
        return -1;
    if (auto* cell = dynamic_cast<const QRVShortcutsTableCellAccessible*>(child))
        return cell->parent() == this ? childIndex(cell->rowIndex(), cell->columnIndex()) : -1;
    if (auto* header = dynamic_cast<const QRVShortcutsTableHeaderAccessible*>(child)) {
        if (header->parent() != this)
            return -1;
        return header->orientation() == Qt::Vertical ? childIndex(header->section(), -1)
                                                     : childIndex(-1, header->section());
    }
    return -1;
}

QAccessibleInterface* QRVShortcutsTableAccessible::childAt(int x, int y) const {
    const QPoint global(x, y);
    QWidget* viewport = view()->viewport();
    if (const QPoint local = viewport->mapFromGlobal(global); viewport->rect().contains(local)) {
        const QModelIndex index = view()->indexAt(local);
        return index.isValid() ? cellAt(index.row(), index.column()) : nullptr;
    }
    QHeaderView* header = view()->horizontalHeader();
    if (const QPoint local = header->mapFromGlobal(global);
        header->isVisible() && header->rect().contains(local)) {
        const int section = header->logicalIndexAt(local);
        return section >= 0 ? child(childIndex(-1, section)) : nullptr;
    }
    return nullptr;
}

QAccessibleInterface* QRVShortcutsTableAccessible::focusChild() const {
    const QModelIndex current = view()->currentIndex();
    if (view()->hasFocus() && current.isValid())
        return cellAt(current.row(), current.column());
    return QAccessibleWidget::focusChild();
}

QAccessible::State QRVShortcutsTableAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    const QAbstractItemView::SelectionMode mode = view()->selectionMode();
    state.multiSelectable =
        mode == QAbstractItemView::MultiSelection || mode == QAbstractItemView::ExtendedSelection;
    state.extSelectable = mode == QAbstractItemView::ExtendedSelection;
    return state;
}

void* QRVShortcutsTableAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* QRVShortcutsTableAccessible::cellAt(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return nullptr;
    return cachedCell(childIndex(row, column), row, column);
}

int QRVShortcutsTableAccessible::selectedCellCount() const {
    return view()->selectionModel() ? int(view()->selectionModel()->selectedIndexes().size()) : 0;
}

QList<QAccessibleInterface*> QRVShortcutsTableAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    if (!view()->selectionModel())
        return cells;
    for (const QModelIndex& index : view()->selectionModel()->selectedIndexes())
        if (QAccessibleInterface* cell = cellAt(index.row(), index.column()))
            cells << cell;
    return cells;
}

QString QRVShortcutsTableAccessible::columnDescription(int column) const {
    return view()->model() ? view()->model()->headerData(column, Qt::Horizontal).toString()
                           : QString();
}

QString QRVShortcutsTableAccessible::rowDescription(int row) const {
    return view()->model() ? view()->model()->headerData(row, Qt::Vertical).toString() : QString();
}

QList<int> QRVShortcutsTableAccessible::selectedColumns() const {
    QList<int> columns;
    if (view()->selectionModel())
        for (const QModelIndex& index : view()->selectionModel()->selectedColumns())
            columns << index.column();
    return columns;
}

QList<int> QRVShortcutsTableAccessible::selectedRows() const {
    return view()->selectedRows();
}

bool QRVShortcutsTableAccessible::isColumnSelected(int column) const {
    return view()->selectionModel() && view()->selectionModel()->isColumnSelected(column);
}

bool QRVShortcutsTableAccessible::isRowSelected(int row) const {
    return view()->selectionModel() && view()->selectionModel()->isRowSelected(row);
}

bool QRVShortcutsTableAccessible::select(int row, int column, bool on) {
    QItemSelectionModel* selection = view()->selectionModel();
    if (!selection || view()->selectionMode() == QAbstractItemView::NoSelection)
        return false;
    const QModelIndex index = view()->model()->index(std::max(row, 0), std::max(column, 0));
    if (!index.isValid())
        return false;
    // The table selects whole rows; a column is never selected by itself.
    if (row < 0 && view()->selectionBehavior() == QAbstractItemView::SelectRows)
        return false;
    if (on && view()->selectionMode() == QAbstractItemView::SingleSelection)
        selection->clearSelection();
    const auto span = row < 0 ? QItemSelectionModel::Columns : QItemSelectionModel::Rows;
    selection->select(index,
                      (on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | span);
    return true;
}

bool QRVShortcutsTableAccessible::selectRow(int row) {
    return select(row, 0, true);
}

bool QRVShortcutsTableAccessible::selectColumn(int column) {
    return select(-1, column, true);
}

bool QRVShortcutsTableAccessible::unselectRow(int row) {
    return select(row, 0, false);
}

bool QRVShortcutsTableAccessible::unselectColumn(int column) {
    return select(-1, column, false);
}

void QRVShortcutsTableAccessible::modelChange(QAccessibleTableModelChangeEvent*) {
    // The model's own signals said it already; file the cells before the
    // platform asks for the children the event names.
    followModel();
}

QRVShortcutsTableHeaderAccessible::QRVShortcutsTableHeaderAccessible(QRVShortcutsTableView* view,
                                                                     Qt::Orientation orientation,
                                                                     int section)
    : AccessibleWidgetPart(view)
    , m_orientation(orientation)
    , m_section(section) {}

QRVShortcutsTableView* QRVShortcutsTableHeaderAccessible::view() const {
    return static_cast<QRVShortcutsTableView*>(owner());
}

bool QRVShortcutsTableHeaderAccessible::isValid() const {
    if (!view() || !view()->model())
        return false;
    const int count = m_orientation == Qt::Horizontal ? view()->model()->columnCount()
                                                      : view()->model()->rowCount();
    return m_section < count;
}

QString QRVShortcutsTableHeaderAccessible::text(QAccessible::Text type) const {
    if (type != QAccessible::Name || !isValid() || m_section < 0)
        return {};
    return view()->model()->headerData(m_section, m_orientation).toString();
}

QRect QRVShortcutsTableHeaderAccessible::rect() const {
    if (!isValid() || m_section < 0)
        return {};
    QHeaderView* header =
        m_orientation == Qt::Horizontal ? view()->horizontalHeader() : view()->verticalHeader();
    if (header->isHidden())
        return {};
    const int position = header->sectionViewportPosition(m_section);
    const int size = header->sectionSize(m_section);
    const QRect local = m_orientation == Qt::Horizontal ? QRect(position, 0, size, header->height())
                                                        : QRect(0, position, header->width(), size);
    return local.translated(header->viewport()->mapToGlobal(QPoint(0, 0)));
}

QAccessible::Role QRVShortcutsTableHeaderAccessible::role() const {
    if (m_section < 0)
        return QAccessible::Pane;
    return m_orientation == Qt::Horizontal ? QAccessible::ColumnHeader : QAccessible::RowHeader;
}

QAccessible::State QRVShortcutsTableHeaderAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.invisible = rect().isEmpty();
    return state;
}

QRVShortcutsCellViewAccessible::QRVShortcutsCellViewAccessible(QRVShortcutsViewTableCellView* cell)
    : QAccessibleWidget(cell, QAccessible::Client) {}

QAccessibleInterface* QRVShortcutsCellViewAccessible::parent() const {
    for (QWidget* ancestor = widget()->parentWidget(); ancestor;
         ancestor = ancestor->parentWidget()) {
        auto* view = qobject_cast<QRVShortcutsTableView*>(ancestor);
        if (!view)
            continue;
        const QModelIndex index = view->indexOfCell(widget());
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
        if (index.isValid() && table && table->tableInterface())
            return table->tableInterface()->cellAt(index.row(), index.column());
        break;
    }
    return QAccessibleWidget::parent();
}

} // namespace qrv
