#include "editor/QRVApplicationsArrayController.h"

namespace qrv {

QRVApplicationsArrayController::QRVApplicationsArrayController(QObject* parent)
    : QAbstractListModel(parent)
    , m_selection(this) {
    connect(&m_selection, &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_replacing)
            emit selectedObjectsChanged();
    });
}

void QRVApplicationsArrayController::setContent(const QRVAplicationList& applications) {
    const QRVAplicationList selected = selectedObjects();
    m_replacing = true;
    beginResetModel();
    m_content = applications;
    endResetModel();
    m_replacing = false;
    applySelection(selected);
    if (selectedObjects() != selected) // an entry left the list
        emit selectedObjectsChanged();
}

QRVAplicationPtr QRVApplicationsArrayController::objectAtRow(int row) const {
    return row >= 0 && row < m_content.size() ? m_content.at(row) : nullptr;
}

QRVAplicationList QRVApplicationsArrayController::selectedObjects() const {
    QRVAplicationList objects;
    QModelIndexList rows = m_selection.selectedRows();
    std::sort(rows.begin(), rows.end());
    for (const QModelIndex& index : std::as_const(rows))
        if (QRVAplicationPtr entry = objectAtRow(index.row()))
            objects << entry;
    return objects;
}

bool QRVApplicationsArrayController::setSelectedObjects(const QRVAplicationList& objects) {
    if (objects == selectedObjects())
        return false;
    applySelection(objects);
    emit selectedObjectsChanged();
    return true;
}

void QRVApplicationsArrayController::applySelection(const QRVAplicationList& objects) {
    QItemSelection selection;
    for (const QRVAplicationPtr& entry : objects)
        if (const qsizetype row = m_content.indexOf(entry); row >= 0)
            selection.select(index(int(row)), index(int(row)));
    m_replacing = true;
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty())
        m_selection.setCurrentIndex(selection.indexes().first(), QItemSelectionModel::NoUpdate);
    m_replacing = false;
}

int QRVApplicationsArrayController::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_content.size());
}

QVariant QRVApplicationsArrayController::data(const QModelIndex& index, int role) const {
    const QRVAplicationPtr entry = objectAtRow(index.row());
    if (!entry || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return entry->localizedName();
    case Qt::DecorationRole:
        return entry->icon();
    case Qt::AccessibleTextRole:
        // The separator is drawn as a line; a screen reader would meet a nameless row.
        return entry->localizedName().isNull() ? tr("Separator") : entry->localizedName();
    default:
        return {};
    }
}

} // namespace qrv
