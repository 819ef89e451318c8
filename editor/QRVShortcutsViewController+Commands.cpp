// The editing commands and the recorder cells of the shortcut table. Every
// command runs on the main thread, from a menu item, a key or a button.
#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVShortcutsViewTableCellView.h"
#include "platform/MainThread.h"
#include "platform/Pasteboard.h"

#include <QEvent>
#include <QScopedValueRollback>

namespace qrv {

namespace {
QString bundleIdentifierOf(const QRVAplication& application) {
    return application.isAllApplications() ? QString() : application.bundleIdentifier();
}
} // namespace

void QRVShortcutsViewController::addShortcutAction() {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr entry = application();
    if (!m_menuShortcuts || !entry || !checkFullDiskAccess())
        return;
    // An empty application's one empty row is typed into rather than joined by another.
    for (qsizetype row = 0; row < m_menuShortcuts->size(); ++row) {
        if (m_menuShortcuts->at(row)->isPlaceholder()) {
            setSelectionIndexes({int(row)});
            beginEditingTitle(int(row));
            return;
        }
    }
    // Empty, not absent: an added row is a record without a title yet.
    const QRVMenuShortcutPtr added =
        QRVMenuShortcut::create(bundleIdentifierOf(*entry), QStringLiteral(""), QStringLiteral(""));
    setMenuShortcuts(*m_menuShortcuts + QList<QRVMenuShortcutPtr>{added});
    const int row = int(m_menuShortcuts->indexOf(added));
    setSelectionIndexes({row});
    beginEditingTitle(selectionIndexes().value(0, row));
}

void QRVShortcutsViewController::beginEditingTitle(int row) {
    if (!m_menuShortcutsTableView || !itemAtRow(row))
        return;
    const QModelIndex title = m_shortcutsModel->index(row, QRVShortcutsTableModel::TitleColumn);
    m_menuShortcutsTableView->scrollTo(title);
    m_menuShortcutsTableView->setFocus(Qt::OtherFocusReason);
    m_menuShortcutsTableView->edit(title);
}

void QRVShortcutsViewController::endTitleEditing() {
    if (m_menuShortcutsTableView)
        m_menuShortcutsTableView->endEditing();
}

void QRVShortcutsViewController::editRequestedShortcut(const QRVMenuShortcutPtr& shortcut,
                                                       bool recordKey) {
    QRV_ASSERT_MAIN_THREAD();
    const int row = m_menuShortcuts ? int(m_menuShortcuts->indexOf(shortcut)) : -1;
    if (row >= 0)
        setSelectionIndexes({row});
    // Nothing keeps the keyboard: a title being typed ends (and is kept) here.
    endTitleEditing();
    if (m_view)
        if (QWidget* focus = m_view->window()->focusWidget())
            focus->clearFocus();
    if (m_menuShortcutsTableView)
        for (int other = 0; other < m_shortcutsModel->rowCount(); ++other)
            if (auto* cell = m_menuShortcutsTableView->cellAtRow(other))
                cell->shortcutView()->setRecording(false);
    // It may explain what is missing; the request goes on either way, so the
    // user still sees the row that was asked for.
    checkFullDiskAccess();
    if (row < 0 || !itemAtRow(row) || !m_menuShortcutsTableView)
        return;
    if (!recordKey) {
        beginEditingTitle(row);
        return;
    }
    const QModelIndex index = m_shortcutsModel->index(row, QRVShortcutsTableModel::ShortcutColumn);
    m_menuShortcutsTableView->scrollTo(index);
    QRVShortcutsViewTableCellView* cell = m_menuShortcutsTableView->cellAtRow(row);
    if (!cell) {
        cell = viewForRow(row);
        m_menuShortcutsTableView->setIndexWidget(index, cell);
    }
    if (QRVShortcutView* recorder = prepareShortcutsViewTableCellView(cell, row)) {
        m_currentShortcutRecorder = recorder;
        recorder->setFocus(Qt::OtherFocusReason);
        recorder->setRecording(true);
    }
}

void QRVShortcutsViewController::removeShortcutAction() {
    QRV_ASSERT_MAIN_THREAD();
    if (!m_menuShortcuts || !checkFullDiskAccess())
        return;
    const QList<int> rows = selectionIndexes();
    const QList<QRVMenuShortcutPtr> selected = selectedObjects();
    if (selected.isEmpty())
        return;
    QList<QRVMenuShortcutPtr> remaining = *m_menuShortcuts;
    remaining.removeIf([&](const QRVMenuShortcutPtr& s) { return selected.contains(s); });
    setMenuShortcuts(remaining);
    const int count = m_shortcutsModel->rowCount();
    if (count > 0)
        setSelectionIndexes({std::min(rows.first(), count - 1)});
    saveApplicationShortcuts();
}

void QRVShortcutsViewController::copy() {
    QRV_ASSERT_MAIN_THREAD();
    QRVMenuShortcut::writeToPasteboard(m_services.pasteboard, selectedObjects());
    windowDidUpdate();
}

void QRVShortcutsViewController::paste() {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr entry = application();
    if (!entry || !m_menuShortcuts || !checkFullDiskAccess())
        return;
    const QList<QRVMenuShortcutPtr> pasted =
        QRVMenuShortcut::readFromPasteboard(m_services.pasteboard);
    if (pasted.isEmpty())
        return;
    // Pasted records belong to this application, wherever they were copied.
    for (const QRVMenuShortcutPtr& shortcut : pasted)
        shortcut->setBundleIdentifier(bundleIdentifierOf(*entry));
    setMenuShortcuts(*m_menuShortcuts + pasted);
    saveApplicationShortcuts();
    const int n = int(m_menuShortcuts->size());
    const int p = int(pasted.size());
    if (m_shortcutsModel->rowCount() == n && n >= p) {
        QList<int> rows;
        for (int row = n - p; row < n; ++row)
            rows << row;
        setSelectionIndexes(rows);
    }
}

void QRVShortcutsViewController::windowDidUpdate() {
    QRV_ASSERT_MAIN_THREAD();
    const quint64 changeCount = m_services.pasteboard.changeCount();
    if (changeCount == m_pasteBoardChangeCount)
        return;
    m_pasteBoardChangeCount = changeCount;
    m_canPaste =
        m_menuShortcuts && !QRVMenuShortcut::readFromPasteboard(m_services.pasteboard).isEmpty();
    m_commands->updateEnabling();
}

bool QRVShortcutsViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::WindowActivate)
        windowDidUpdate();
    return QObject::eventFilter(watched, event);
}

// ---- recorder cells

QRVShortcutsViewTableCellView* QRVShortcutsViewController::viewForRow(int row) {
    auto* cell = new QRVShortcutsViewTableCellView(m_services.recorderServices(), *m_toolTips);
    prepareShortcutsViewTableCellView(cell, row);
    return cell;
}

QRVShortcutView*
QRVShortcutsViewController::prepareShortcutsViewTableCellView(QRVShortcutsViewTableCellView* cell,
                                                              int row) {
    if (!cell)
        return nullptr;
    QRVShortcutView* recorder = cell->shortcutView();
    const QRVMenuShortcutPtr shortcut = itemAtRow(row);
    recorder->setAppearance(1);
    recorder->setShouldCheckForConflicts(false);
    recorder->setShouldCheckMenuForConflicts(false);
    recorder->setCanClear(true);
    recorder->shortcutValueChange = nullptr;
    recorder->setShortcutValue(shortcut ? shortcut->shortcut() : nullptr);
    recorder->setDelegate(this);
    cell->setWarningMessage(shortcut ? shortcut->warningMessage() : QString());
    if (!shortcut)
        return recorder;
    // Installed last, so that filling the row does not count as an edit. The
    // row is followed as rows come and go above it.
    const QPersistentModelIndex index(m_shortcutsModel->index(row, 0));
    QPointer<QRVShortcutsViewController> self(this);
    recorder->shortcutValueChange = [self, record = std::weak_ptr<QRVMenuShortcut>(shortcut),
                                     index](KSCShortcutView* view) {
        // By value: refilling the cell replaces this very function.
        if (self)
            self->shortcutValueDidChange(record.lock(), index, view);
    };
    return recorder;
}

void QRVShortcutsViewController::shortcutValueDidChange(QRVMenuShortcutPtr shortcut,
                                                        QPersistentModelIndex index,
                                                        KSCShortcutView* view) {
    // A row that now shows another record (or none) reports nothing.
    if (!shortcut || !index.isValid() || itemAtRow(index.row()) != shortcut)
        return;
    const KSCShortcutPtr before = shortcut->shortcut();
    const KSCShortcutPtr after = view->shortcutValue();
    if (before == after)
        return;
    const auto keyCode = [](const KSCShortcutPtr& s) {
        return s ? s->keyCode() : 0;
    };
    const auto flags = [](const KSCShortcutPtr& s) {
        return s ? s->modifierFlags() : 0;
    };
    if (keyCode(before) == keyCode(after) && flags(before) == flags(after))
        return;
    shortcut->setShortcut(after.get());
    {
        const QScopedValueRollback reporting(m_reportingRecorder, view);
        m_shortcutsModel->shortcutChanged(index.row());
    }
    menuShortcutsDidChange();
    validateShortcuts();
    saveApplicationShortcuts();
}

bool QRVShortcutsViewController::shortcutViewShouldBeginRecording(KSCShortcutView* view) {
    view->setFocus(Qt::MouseFocusReason);
    m_currentShortcutRecorder = view;
    return checkFullDiskAccess();
}

} // namespace qrv
