// The editing side of the controller, as far as the catalogue calls it: the
// selected application's records, loaded and saved through the store. The
// shortcut table builds on these.
#include "editor/QRVShortcutsViewController.h"
#include "platform/MainThread.h"

namespace qrv {

void QRVShortcutsViewController::setMenuShortcuts(
    const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts) {
    QRV_ASSERT_MAIN_THREAD();
    m_menuShortcuts = shortcuts;
    validateShortcuts();
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
    m_needsSaving = !QRVMenuShortcut::saveMenuShortcuts(m_services, *m_menuShortcuts,
                                                        entry->bundleIdentifier());
}

// Title validation (duplicate keys for one title, titles the menus do not
// name unambiguously) comes with the shortcut table; nothing is checked yet.
void QRVShortcutsViewController::validateShortcuts() {}

} // namespace qrv
