#pragma once

#include "menus/QRVAplication.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>

namespace qrv {

// Arranges the application list for the source list: one row per entry (its
// name and icon), and the selection as entries. Replacing the content keeps
// the selected entries selected (they are compared by identity).
class QRVApplicationsArrayController : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit QRVApplicationsArrayController(QObject* parent = nullptr);

    void setContent(const QRVAplicationList& applications);
    const QRVAplicationList& arrangedObjects() const { return m_content; }
    QRVAplicationPtr objectAtRow(int row) const; // null outside the rows

    QItemSelectionModel* selectionModel() { return &m_selection; }
    QRVAplicationList selectedObjects() const;
    // Answers whether the selection changed.
    bool setSelectedObjects(const QRVAplicationList& objects);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  signals:
    // The selected entries changed (by the user or by setSelectedObjects).
    void selectedObjectsChanged();

  private:
    void applySelection(const QRVAplicationList& objects); // without signalling

    QRVAplicationList m_content;
    QItemSelectionModel m_selection;
    bool m_replacing = false;
};

} // namespace qrv
