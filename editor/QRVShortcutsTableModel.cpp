#include "editor/QRVShortcutsTableModel.h"

#include "platform/MainThread.h"

namespace qrv {

QRVShortcutsTableModel::QRVShortcutsTableModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void QRVShortcutsTableModel::setShortcuts(const QList<QRVMenuShortcutPtr>& shortcuts) {
    if (shortcuts == m_shortcuts)
        return;
    if (reportRemovals(shortcuts) || reportInsertions(shortcuts))
        return;
    beginResetModel();
    m_shortcuts = shortcuts;
    endResetModel();
}

// The new list is the old one less some records: report each run of removed
// rows, from the end so that the earlier row numbers stay right.
bool QRVShortcutsTableModel::reportRemovals(const QList<QRVMenuShortcutPtr>& shortcuts) {
    if (shortcuts.size() >= m_shortcuts.size())
        return false;
    QList<bool> kept(m_shortcuts.size(), false);
    qsizetype next = 0;
    for (qsizetype row = 0; row < m_shortcuts.size() && next < shortcuts.size(); ++row)
        if (m_shortcuts[row] == shortcuts[next]) {
            kept[row] = true;
            ++next;
        }
    if (next != shortcuts.size())
        return false;
    for (qsizetype last = m_shortcuts.size() - 1; last >= 0;) {
        if (kept[last]) {
            --last;
            continue;
        }
        qsizetype first = last;
        while (first > 0 && !kept[first - 1])
            --first;
        beginRemoveRows({}, int(first), int(last));
        m_shortcuts.remove(first, last - first + 1);
        endRemoveRows();
        last = first - 1;
    }
    return true;
}

// The new list is the old one with records added: report each run of new rows.
bool QRVShortcutsTableModel::reportInsertions(const QList<QRVMenuShortcutPtr>& shortcuts) {
    if (shortcuts.size() <= m_shortcuts.size())
        return false;
    qsizetype old = 0;
    for (qsizetype row = 0; row < shortcuts.size() && old < m_shortcuts.size(); ++row)
        if (shortcuts[row] == m_shortcuts[old])
            ++old;
    if (old != m_shortcuts.size())
        return false;
    for (qsizetype row = 0; row < shortcuts.size();) {
        if (row < m_shortcuts.size() && m_shortcuts[row] == shortcuts[row]) {
            ++row;
            continue;
        }
        qsizetype end = row;
        const QRVMenuShortcutPtr resume = row < m_shortcuts.size() ? m_shortcuts[row] : nullptr;
        while (end < shortcuts.size() && shortcuts[end] != resume)
            ++end;
        beginInsertRows({}, int(row), int(end - 1));
        m_shortcuts.insert(row, end - row, nullptr);
        for (qsizetype i = row; i < end; ++i)
            m_shortcuts[i] = shortcuts[i];
        endInsertRows();
        row = end;
    }
    return true;
}

QRVMenuShortcutPtr QRVShortcutsTableModel::itemAtRow(int row) const {
    return row >= 0 && row < m_shortcuts.size() ? m_shortcuts[row] : nullptr;
}

void QRVShortcutsTableModel::shortcutChanged(int row) {
    if (row >= 0 && row < m_shortcuts.size())
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void QRVShortcutsTableModel::allShortcutsChanged() {
    if (!m_shortcuts.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_shortcuts.size()) - 1, ColumnCount - 1));
}

QString QRVShortcutsTableModel::displayedTitle(const QRVMenuShortcut& shortcut) {
    QString title = shortcut.displayTitle();
    return title.replace(QRVMenuShortcut::kPathSeparator, QRVMenuShortcut::kDisplayPathSeparator);
}

int QRVShortcutsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_shortcuts.size());
}

int QRVShortcutsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant QRVShortcutsTableModel::data(const QModelIndex& index, int role) const {
    const QRVMenuShortcutPtr shortcut = itemAtRow(index.row());
    if (!shortcut)
        return {};
    if (role == WarningRole)
        return shortcut->warningMessage();
    if (index.column() == TitleColumn) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return displayedTitle(*shortcut);
        case Qt::EditRole: // the title field shows the separators as it edits
            return shortcut->displayTitle();
        case Qt::ToolTipRole:
            return shortcut->warningMessage().isEmpty() ? QVariant() : shortcut->warningMessage();
        default:
            return {};
        }
    }
    if (role == Qt::AccessibleTextRole) {
        const KSCShortcutPtr key = shortcut->shortcut();
        return key ? key->description() : tr("No shortcut");
    }
    return {};
}

bool QRVShortcutsTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    QRV_ASSERT_MAIN_THREAD();
    const QRVMenuShortcutPtr shortcut = itemAtRow(index.row());
    if (!shortcut || index.column() != TitleColumn || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    // Text that was not changed keeps the stored title exactly as it was.
    if (text != shortcut->displayTitle()) {
        shortcut->setDisplayTitle(text);
        emit dataChanged(index, index);
    }
    emit titleEditEnded(shortcut, text);
    return true;
}

Qt::ItemFlags QRVShortcutsTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == TitleColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant QRVShortcutsTableModel::headerData(int section, Qt::Orientation orientation,
                                            int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TitleColumn ? tr("Menu Title") : tr("Shortcut");
}

} // namespace qrv
