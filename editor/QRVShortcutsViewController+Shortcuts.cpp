// The editing side of the controller, as far as the catalogue calls it: the
// selected application's records, loaded and saved through the store. The
// shortcut table builds on these.
#include "editor/QRVMenuItemLookup.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVTitleValidator.h"
#include "platform/Platform.h"

namespace qrv {

void QRVShortcutsViewController::setMenuShortcuts(
    const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts) {
    m_menuShortcuts = shortcuts;
    validateShortcuts();
}

void QRVShortcutsViewController::loadMenuShortcuts() {
    const QRVAplicationPtr entry = application();
    if (!entry)
        return;
    QVariant table;
    QList<QRVMenuShortcutPtr> shortcuts =
        QRVMenuShortcut::menuShortcutsWithApplication(*entry, &table);
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
    const QRVAplicationPtr entry = application();
    // Without loaded records there is nothing to write, and writing an empty
    // list would erase the application's table.
    if (!entry || !m_menuShortcuts)
        return;
    m_needsSaving = !QRVMenuShortcut::saveMenuShortcuts(*m_menuShortcuts, *entry);
}

void QRVShortcutsViewController::validateShortcuts() {
    if (!m_menuShortcuts)
        return;
    if (!m_titleValidator)
        m_titleValidator = std::make_unique<QRVTitleValidator>(*platform().scheduler);
    m_titleValidator->validateShortcuts(
        *m_menuShortcuts, allMenuItems(), [this](const QRVTitleValidator::Result& result) {
            const auto outcome = result.applyTo(m_menuShortcuts);
            if (outcome.withoutPlaceholder)
                setMenuShortcuts(*outcome.withoutPlaceholder); // validates the shorter list
        });
}

quint64 QRVShortcutsViewController::validationRequest() const {
    return m_titleValidator ? m_titleValidator->validationRequest() : 0;
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

} // namespace qrv
