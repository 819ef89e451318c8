// The title fields of the shortcut table: completion from the selected
// application's menus, and what the end of a title edit does.
#include "editor/QRVShortcutsTableModel.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVTitleCompletion.h"
#include "editor/QRVTitleTextFieldCell.h"
#include "platform/MainThread.h"
#include "platform/Scheduler.h"

namespace qrv {

void QRVShortcutsViewController::loadTitleField() {
    QPointer<QRVShortcutsViewController> self(this);
    m_menuShortcutsTableView->setItemDelegateForColumn(
        QRVShortcutsTableModel::TitleColumn,
        new QRVTitleTextFieldCell([self] { return self ? self->titleCompletion() : nullptr; },
                                  m_menuShortcutsTableView));
}

std::shared_ptr<const QRVTitleCompletion> QRVShortcutsViewController::titleCompletion() {
    QRV_ASSERT_MAIN_THREAD();
    if (!m_titleCompletion)
        m_titleCompletion =
            std::make_shared<const QRVTitleCompletion>(topLevelMenuItems(), leafMenuItems());
    return m_titleCompletion;
}

// Folding and indexing the titles of a big application takes a moment: it is
// done off the main thread as soon as the menus are there, so that typing
// never waits for it. The items do not change once published.
void QRVShortcutsViewController::indexMenusForCompletion() {
    m_titleCompletion.reset();
    const quint64 generation = ++m_titleCompletionGeneration;
    const auto topLevel = topLevelMenuItems();
    if (!topLevel)
        return; // nothing to index: asking builds the empty completion at once
    Scheduler* scheduler = &m_services.scheduler;
    QPointer<QRVShortcutsViewController> self(this);
    scheduler->asyncGlobal([self, scheduler, generation, topLevel, leaves = leafMenuItems()] {
        auto built = std::make_shared<const QRVTitleCompletion>(topLevel, leaves);
        scheduler->asyncMain([self, generation, built = std::move(built)] {
            if (self && self->m_titleCompletionGeneration == generation && !self->m_titleCompletion)
                self->m_titleCompletion = built;
        });
    });
}

void QRVShortcutsViewController::controlTextDidEndEditing(const QRVMenuShortcutPtr& shortcut,
                                                          const QString& text) {
    QRV_ASSERT_MAIN_THREAD();
    m_needsSaving = true;
    menuShortcutsDidChange(); // a title may make a row exportable
    if (text.isEmpty() || !shortcut)
        return;
    if (shortcut->keyEquivalent().isEmpty()) {
        // A path is looked up as the menus name it, without its leading ESC.
        const QString& title = shortcut->title();
        QRVMenuItemPtr item;
        if (!title.contains(QRVMenuShortcut::kPathSeparator)) {
            item = leafMenuItemMatchingTitle(title);
            if (!item)
                item = menuItemMatchingFullDisplayTitle(title);
        } else {
            item = menuItemMatchingFullDisplayTitle(shortcut->displayTitle());
        }
        if (item && !item->keyEquivalent().isEmpty()) {
            shortcut->setKeyEquivalent(item->keyEquivalent());
            // The row's recorder shows it: its cell is filled again, not replaced.
            m_shortcutsModel->shortcutChanged(int(m_shortcutsModel->shortcuts().indexOf(shortcut)));
        }
    }
    validateShortcuts();
    saveApplicationShortcuts();
}

} // namespace qrv
