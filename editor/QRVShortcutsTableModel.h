#pragma once

#include "model/QRVMenuShortcut.h"

#include <QAbstractTableModel>
#include <QList>

namespace qrv {

// The shortcut table's rows: row n is element n of the editor's record list,
// in list order (no sorting, no filter). Column "title" shows and edits the
// record's title (a menu path is shown with "→" between its titles); column "shortcut"
// holds the row's recorder (a widget of the view) and answers the warning.
//
// A new list is reported as the rows that went or came, so an open title
// editor, the selection and the scroll position survive adds, removes,
// pastes and validation passes; only a list that shares no order with the
// old one (another application's) is a reset. Main thread only.
class QRVShortcutsTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { TitleColumn = 0, ShortcutColumn = 1, ColumnCount };
    // The record's warning (empty when none), for both columns.
    static constexpr int WarningRole = Qt::UserRole + 1;

    explicit QRVShortcutsTableModel(QObject* parent = nullptr);

    const QList<QRVMenuShortcutPtr>& shortcuts() const { return m_shortcuts; }
    void setShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts);
    // Null for a row outside the list.
    QRVMenuShortcutPtr itemAtRow(int row) const;
    // The record's fields changed in place (its key, its warning).
    void shortcutChanged(int row);
    void allShortcutsChanged();

    // The title as the table shows it at rest, "→" between a path's titles.
    // It is edited as the record's display title (ESC between the titles),
    // so an arrow that is part of a title stays one.
    static QString displayedTitle(const QRVMenuShortcut& shortcut);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    // A title edit ended with this text (the record already holds it).
    void titleEditEnded(const QRVMenuShortcutPtr& shortcut, const QString& text);

  private:
    bool reportRemovals(const QList<QRVMenuShortcutPtr>& shortcuts);
    bool reportInsertions(const QList<QRVMenuShortcutPtr>& shortcuts);

    QList<QRVMenuShortcutPtr> m_shortcuts;
};

} // namespace qrv
