// The editing side of the controller: the selected application's records,
// the table that shows them, and their loading, validation and saving.
#include "editor/QRVMenuItemLookup.h"
#include "editor/QRVSaveErrorBar.h"
#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVTitleValidator.h"
#include "platform/MainThread.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace qrv {

namespace {
bool hasContent(const QRVMenuShortcut& shortcut) {
    return !shortcut.title().isEmpty() || !shortcut.keyEquivalent().isEmpty();
}
} // namespace

void QRVShortcutsViewController::loadShortcutsPane() {
    auto* layout = new QVBoxLayout(m_shortcutsPane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_saveErrorBar = new QRVSaveErrorBar(m_shortcutsPane);
    m_saveErrorBar->setMessage(m_saveError);
    m_menuShortcutsTableView = new QRVShortcutsTableView(m_shortcutsPane);
    m_menuShortcutsTableView->setCellProvider([this](int row) { return viewForRow(row); });
    m_menuShortcutsTableView->setEditGate([this](QAbstractItemView::EditTrigger trigger) {
        const bool byMouse = trigger == QAbstractItemView::DoubleClicked ||
                             trigger == QAbstractItemView::SelectedClicked;
        return (!byMouse || textFieldCanEdit()) && textFieldShouldSelect();
    });
    m_menuShortcutsTableView->setModel(m_shortcutsModel);
    loadTitleField();
    connect(m_menuShortcutsTableView->selectionModel(), &QItemSelectionModel::selectionChanged,
            this, &QRVShortcutsViewController::shortcutsSelectionDidChange);
    layout->addWidget(m_saveErrorBar);
    layout->addWidget(m_menuShortcutsTableView, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->setSpacing(0);
    for (const auto command : {QRVShortcutsCommands::Command::AddShortcut,
                               QRVShortcutsCommands::Command::RemoveShortcut}) {
        auto* button = new QToolButton(m_shortcutsPane);
        button->setDefaultAction(m_commands->action(command));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        const bool adds = command == QRVShortcutsCommands::Command::AddShortcut;
        button->setObjectName(adds ? QStringLiteral("addShortcutButton")
                                   : QStringLiteral("removeShortcutButton"));
        // The action's text stays the accessible name; the button shows a sign.
        button->setText(adds ? QStringLiteral("+") : QStringLiteral("\u2212"));
        button->setAccessibleName(m_commands->action(command)->text());
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void QRVShortcutsViewController::setMenuShortcuts(
    const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts) {
    QRV_ASSERT_MAIN_THREAD();
    m_menuShortcuts = shortcuts;
    menuShortcutsDidChange();
    validateShortcuts();
}

void QRVShortcutsViewController::menuShortcutsDidChange() {
    m_shortcutsModel->setShortcuts(m_menuShortcuts.value_or(QList<QRVMenuShortcutPtr>()));
    m_canExportAll =
        m_menuShortcuts && std::any_of(m_menuShortcuts->cbegin(), m_menuShortcuts->cend(),
                                       [](const auto& s) { return hasContent(*s); });
    if (!m_menuShortcuts) {
        m_canPaste = false;
        m_pasteBoardChangeCount = 0; // looked at again once a list is loaded
    } else if (m_pasteBoardChangeCount == 0) {
        windowDidUpdate();
    }
    shortcutsSelectionDidChange();
    emit menuShortcutsChanged();
}

void QRVShortcutsViewController::shortcutsSelectionDidChange() {
    const QList<QRVMenuShortcutPtr> selected = selectedObjects();
    m_canCopy = m_menuShortcuts && !selected.isEmpty();
    m_canExportSelected = std::any_of(selected.cbegin(), selected.cend(),
                                      [](const auto& s) { return hasContent(*s); });
    m_commands->updateEnabling();
}

void QRVShortcutsViewController::loadMenuShortcuts() {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr entry = application();
    if (!entry || !entry->hasPreferenceDomain())
        return;
    QVariant table;
    QList<QRVMenuShortcutPtr> shortcuts = QRVMenuShortcut::menuShortcutsWithApplication(
        m_services, entry->bundleIdentifier(), &table);
    if (shortcuts.isEmpty()) {
        // One empty row to type into.
        auto placeholder = QRVMenuShortcut::create(
            entry->isAllApplications() ? QString() : entry->bundleIdentifier(), QString(),
            QString());
        placeholder->setIsPlaceholder(true);
        shortcuts << placeholder;
    }
    // Unchanged preferences keep the rows, the selection and an edit in progress.
    if (m_menuShortcuts && m_userKeyEquivalents == table)
        return;
    setMenuShortcuts(shortcuts);
    m_userKeyEquivalents = table;
}

void QRVShortcutsViewController::saveApplicationShortcuts() {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr entry = application();
    // Without loaded records there is nothing to write, and writing an empty
    // list would erase the application's table.
    if (!entry || !entry->hasPreferenceDomain() || !m_menuShortcuts)
        return;
    QString problem;
    QString writeError;
    m_needsSaving = !QRVMenuShortcut::saveMenuShortcuts(
        m_services, *m_menuShortcuts, entry->bundleIdentifier(), &problem, &writeError);
    // What is stored now is our own doing: only another program's change
    // should replace the rows when this application becomes active again.
    if (writeError.isEmpty())
        m_userKeyEquivalents = QRVMenuShortcut::userKeyEquivalentsForApplication(
            m_services, entry->bundleIdentifier());
    updateSaveError(writeError.isEmpty() ? QString()
                                         : tr("The shortcuts of “%1” could not be saved. %2")
                                               .arg(entry->localizedName(), writeError));
}

void QRVShortcutsViewController::updateSaveError(const QString& problem) {
    m_saveError = problem;
    if (m_saveErrorBar)
        m_saveErrorBar->setMessage(problem);
}

void QRVShortcutsViewController::validateShortcuts() {
    QRV_ASSERT_MAIN_THREAD();
    if (!m_menuShortcuts)
        return;
    m_titleValidator->validateShortcuts(
        *m_menuShortcuts, allMenuItems(), [this](const QRVTitleValidator::Result& result) {
            const auto outcome = result.applyTo(m_menuShortcuts);
            if (outcome.withoutPlaceholder)
                setMenuShortcuts(*outcome.withoutPlaceholder); // validates the shorter list
            else if (outcome.applied)
                m_shortcutsModel->allShortcutsChanged(); // the rows show the warnings
        });
}

quint64 QRVShortcutsViewController::validationRequest() const {
    return m_titleValidator->validationRequest();
}

QRVMenuItemPtr QRVShortcutsViewController::leafMenuItemMatchingTitle(const QString& title) const {
    return QRVMenuItemLookup::leafMenuItemMatchingTitle(leafMenuItems().value_or(QRVMenuItemList{}),
                                                        title);
}

QRVMenuItemPtr QRVShortcutsViewController::menuItemMatchingFullDisplayTitle(
    const QString& fullDisplayTitle) const {
    return QRVMenuItemLookup::menuItemMatchingFullDisplayTitle(
        topLevelMenuItems().value_or(QRVMenuItemList{}), fullDisplayTitle);
}

QRVMenuShortcutPtr QRVShortcutsViewController::itemAtRow(int row) const {
    return m_shortcutsModel->itemAtRow(row);
}

QList<int> QRVShortcutsViewController::selectionIndexes() const {
    return m_menuShortcutsTableView ? m_menuShortcutsTableView->selectedRows() : QList<int>();
}

QList<QRVMenuShortcutPtr> QRVShortcutsViewController::selectedObjects() const {
    QList<QRVMenuShortcutPtr> selected;
    for (int row : selectionIndexes())
        if (QRVMenuShortcutPtr shortcut = itemAtRow(row))
            selected << shortcut;
    return selected;
}

void QRVShortcutsViewController::setSelectionIndexes(const QList<int>& rows) {
    if (!m_menuShortcutsTableView)
        return;
    QItemSelection selection;
    for (int row : rows)
        if (itemAtRow(row))
            selection.select(m_shortcutsModel->index(row, 0),
                             m_shortcutsModel->index(row, QRVShortcutsTableModel::ColumnCount - 1));
    QItemSelectionModel* model = m_menuShortcutsTableView->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty() && itemAtRow(rows.first()))
        model->setCurrentIndex(m_shortcutsModel->index(rows.first(), 0),
                               QItemSelectionModel::NoUpdate);
}

} // namespace qrv
