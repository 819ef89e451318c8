#pragma once

#include "editor/QRVEditorServices.h"
#include "editor/QRVSaveErrorBar.h"
#include "editor/QRVShortcutsTableView.h"
#include "editor/QRVSourceListTableView.h"
#include "menus/QRVAplication.h"
#include "menus/QRVMenuItem.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Services.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace qrv {

class BWToolTipManager;
class KSCShortcutView;
class QRVApplicationsArrayController;
class QRVShortcutsCommands;
class QRVShortcutsTableModel;
class QRVShortcutsViewTableCellView;
class QRVShortcutView;
class QRVTitleCompletion;
class QRVTitleValidator;
class QRVSourceListController;

// The content of the main window: the source list of applications and, for
// the selected one, its shortcuts. This part holds the application catalogue:
// the list of entries, the selection, and the selected application's menus,
// read 0.5 s after they are asked for (requests coalesce), flattened on the
// background queue and published on the main thread unless the selection has
// moved on meanwhile. Every method runs on the main thread.
//
// The editing side: the shortcut table (row n is element n of
// menuShortcuts()), the commands that change the list, and the saving that
// follows every accepted edit. There is no save command and no undo.
class QRVShortcutsViewController : public QObject, public KSCShortcutViewDelegate {
    Q_OBJECT
    Q_INTERFACES(qrv::KSCShortcutViewDelegate)
  public:
    explicit QRVShortcutsViewController(QRVEditorServices services, QObject* parent = nullptr);
    ~QRVShortcutsViewController() override;

    // The view, loaded on first use (which builds the list and selects "All Applications").
    QWidget* view();
    bool isViewLoaded() const { return m_view != nullptr; }
    // Where the shortcut table goes, right of the source list.
    QWidget* shortcutsPane() const { return m_shortcutsPane; }

    QRVApplicationsArrayController* applicationsArrayController() const {
        return m_applicationsArrayController;
    }
    QRVSourceListController* applicationsSourceListController() const {
        return m_applicationsSourceListController;
    }
    QRVSourceListTableView* applicationsTableView() const { return m_applicationsTableView; }

    // ---- the catalogue
    const QRVAplicationList& applications() const { return m_applications; }
    void setApplications(const QRVAplicationList& applications);
    const QRVAplicationPtr& allApplicationsApplication() const {
        return m_allApplicationsApplication;
    }
    const QRVAplicationPtr& separatorApplication() const { return m_separatorApplication; }
    QRVAplicationPtr application() const; // the selected entry

    void loadStaticApplicationss();
    void loadApplications();
    // Null selects "All Applications"; the entry already selected changes nothing.
    void setApplication(QRVAplicationPtr application);
    // Selects the application of the bundle at path, adding it to the list;
    // beeps for a bundle without identifier.
    void selectApplicationWithPath(const QString& path);
    // Lets the user choose an application (.app bundle or .desktop file).
    void selectOtherApplication();

    // ---- the selected application's menus (nothing while not read)
    std::optional<QRVMenuItemList> topLevelMenuItems() const;
    std::optional<QRVMenuItemList> allMenuItems() const;
    std::optional<QRVMenuItemList> nodeMenuItems() const;
    std::optional<QRVMenuItemList> leafMenuItems() const;

    // Asks for the menus: read 0.5 s later (requests coalesce), then
    // flattened on the background queue and published here.
    void loadApplicationMenuItems();
    // What the delayed request runs: reads now, flattens in the background.
    void _loadApplicationMenuItems();
    // Reads, flattens and publishes before returning.
    void loadApplicationMenuItemsNow();

    // ---- notifications
    void applicationDidBecomeActiveNotification();
    void applicationWillResignActiveNotification();
    void applicationWillTerminateNotification();
    void workspaceDidLaunchApplicationNotification(const RunningApplication& launched);
    void workspaceDidActivateApplicationNotification(const RunningApplication& activated);

    // ---- the records and their saving
    // The last save left a record unstored, or a title edit has ended since.
    bool needsSaving() const { return m_needsSaving; }
    void setNeedsSaving(bool needsSaving) { m_needsSaving = needsSaving; }
    // The selected application's records; nothing while none are loaded.
    const std::optional<QList<QRVMenuShortcutPtr>>& menuShortcuts() const {
        return m_menuShortcuts;
    }
    // Replaces the records, then validates them.
    void setMenuShortcuts(const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts);
    // The stored table as last read for the selected application.
    const QVariant& userKeyEquivalents() const { return m_userKeyEquivalents; }
    // Reads the records (one placeholder when there are none); keeps the
    // current ones when the stored table has not changed since.
    void loadMenuShortcuts();
    // Writes the records; needsSaving stays set when a record was left out
    // or a file could not be written (the error bar then says which).
    void saveApplicationShortcuts();
    // Starts a title validation pass over the records; its warnings reach the
    // records (and the rows) on the main thread later, unless the list has
    // moved on. The one entry point after every change of the list.
    void validateShortcuts();
    // The number of the latest validation pass.
    quint64 validationRequest() const;
    // The one leaf menu item of the title (none when several have it).
    QRVMenuItemPtr leafMenuItemMatchingTitle(const QString& title) const;
    // The menu item at the end of a full display title (ESC between the menus).
    QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QString& fullDisplayTitle) const;
    // The save problem shown above the table; empty when the last save reached the files.
    QString saveError() const { return m_saveError; }

    // ---- the shortcut table
    QRVShortcutsTableModel* menuShortcutsArrayController() const { return m_shortcutsModel; }
    QRVShortcutsTableView* menuShortcutsTableView() const { return m_menuShortcutsTableView; }
    // The record at a row of the table; null outside it.
    QRVMenuShortcutPtr itemAtRow(int row) const;
    // The selected rows, ascending, and their records.
    QList<int> selectionIndexes() const;
    QList<QRVMenuShortcutPtr> selectedObjects() const;
    void setSelectionIndexes(const QList<int>& rows);
    // Fills a row's cell: the recorder's settings, its value and, last, the
    // change handler, so that filling a row never counts as an edit.
    QRVShortcutView* prepareShortcutsViewTableCellView(QRVShortcutsViewTableCellView* cell,
                                                       int row);
    // The recorder that last asked to begin recording.
    KSCShortcutView* currentShortcutRecorder() const { return m_currentShortcutRecorder; }
    // Ends a title being typed, keeping what was typed (and saving it).
    void endTitleEditing();
    // Puts the user to work on the row of `shortcut` (an edit request): selects
    // it, ends any title edit, stops every recorder, checks full disk access,
    // then starts recording the row's key (recordKey) or editing its title.
    void editRequestedShortcut(const QRVMenuShortcutPtr& shortcut, bool recordKey);
    bool shortcutViewShouldBeginRecording(KSCShortcutView* view) override;

    // ---- the editor's commands (the window's menus and buttons; see QRVShortcutsCommands)
    QRVShortcutsCommands* commands() const { return m_commands; }
    void addShortcutAction();
    void removeShortcutAction();
    void copy();
    void paste();
    // The warning reaches the user through the mark's tool tip; nothing more to do.
    void showWarningMessage() {}
    bool canImport() const { return false; } // importing never consults it
    bool canExportAll() const { return m_canExportAll; }
    bool canExportSelected() const { return m_canExportSelected; }
    bool canCopy() const { return m_canCopy; }
    bool canPaste() const { return m_canPaste; }
    // Recomputes canPaste when the pasteboard changed since it was last
    // looked at (the window calls it as it updates; the real clipboard's
    // change signal too).
    void windowDidUpdate();

    // ---- permission gates (QRVShortcutsViewController+Permissions.cpp)
    // Every editing action asks first. Yes when full disk access is granted;
    // otherwise explains it (offering the instructions) and answers no, also
    // when the user then grants it: the action is dropped, not queued.
    bool checkFullDiskAccess();
    // A click into a title field: with accessibility granted, the full disk
    // access check (which explains); without it, silently whether full disk
    // access is granted.
    bool textFieldCanEdit();
    // A title field about to be selected for editing (tabbing into it, too):
    // the permissions, then, once per selected application, the offers that
    // make completion work (accessibility, once per controller; starting the
    // application); a recording in progress ends.
    bool textFieldShouldSelect();
    bool didRequestAccessibility() const { return m_didRequestAccessibility; }
    // The application the title-field check last ran to the end for.
    QRVAplicationPtr lastCheckedApplication() const { return m_lastCheckedApplication.lock(); }

    // ---- title completion (QRVShortcutsViewController+TitleCompletion.cpp)
    // Completion over the selected application's menus: indexed in the
    // background when the menus arrive, or at once when asked before that.
    std::shared_ptr<const QRVTitleCompletion> titleCompletion();
    // A title edit ended, the record holding the text. A record without a key
    // takes the key of the menu item its title names; then the list is
    // validated and saved (an empty title only marks it as needing a save).
    void controlTextDidEndEditing(const QRVMenuShortcutPtr& shortcut, const QString& text);

    // Called on the flattening task's thread right after flattening, for
    // diagnostics and for tests of selections that change meanwhile.
    void setFlatteningObserver(std::function<void()> observer) {
        m_flatteningObserver = std::move(observer);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  signals:
    // The view has loaded: the catalogue is built and "All Applications" selected.
    void viewLoaded();
    void applicationChanged();
    // The records were replaced (added, removed, pasted, reloaded).
    void menuShortcutsChanged();
    void applicationsChanged();
    void menuItemsChanged();

  private:
    struct MenuLists {
        std::optional<QRVMenuItemList> topLevel, all, nodes, leaves;
    };
    struct MenuState; // shared with the flattening task
    struct MenuRead {
        QRVAplicationPtr noted; // the selection the menus were read for
        std::optional<QRVMenuItemList> topLevel;
    };

    void viewDidLoad();
    void loadShortcutsPane();
    // After every replacement of the list: the table follows, then the flags.
    void menuShortcutsDidChange();
    void shortcutsSelectionDidChange();
    void updateSaveError(const QString& problem);
    QRVShortcutsViewTableCellView* viewForRow(int row);
    void shortcutValueDidChange(QRVMenuShortcutPtr shortcut, QPersistentModelIndex index,
                                KSCShortcutView* view);
    void beginEditingTitle(int row);
    // Offers to start the selected application when accessibility is granted
    // and it is installed but not running, so its menus can be read.
    void offerToRunApplication(const QRVAplication& selected);
    void loadTitleField();
    void indexMenusForCompletion();
    void setMenuLists(const MenuLists& lists);
    static MenuLists cachedMenuLists(const QRVAplication& application);
    static void setCachedMenuLists(QRVAplication& application, const MenuLists& lists);
    std::optional<MenuRead> readSelectedApplicationMenus();
    static std::optional<MenuLists> flattenMenus(const MenuState& state, const MenuRead& read,
                                                 const std::function<void()>& observer);
    void publishMenuLists(const QRVAplicationPtr& noted, const MenuLists& lists);
    void scheduleLaunchRetry(const QString& bundleIdentifier, std::shared_ptr<int> attempts);

    QPointer<QWidget> m_view;
    QPointer<QWidget> m_shortcutsPane;
    QRVEditorServices m_services;
    BWToolTipManager* m_toolTips = nullptr;
    QRVShortcutsCommands* m_commands = nullptr;
    QRVShortcutsTableModel* m_shortcutsModel = nullptr;
    QPointer<QRVShortcutsTableView> m_menuShortcutsTableView;
    QPointer<QRVSaveErrorBar> m_saveErrorBar;
    QPointer<KSCShortcutView> m_currentShortcutRecorder;
    KSCShortcutView* m_reportingRecorder = nullptr; // while its change is handled
    QString m_saveError;
    bool m_didRequestAccessibility = false;
    std::weak_ptr<QRVAplication> m_lastCheckedApplication;
    bool m_canExportAll = false;
    bool m_canExportSelected = false;
    bool m_canCopy = false;
    bool m_canPaste = false;
    quint64 m_pasteBoardChangeCount = 0;
    QRVApplicationsArrayController* m_applicationsArrayController = nullptr;
    QRVSourceListController* m_applicationsSourceListController = nullptr;
    QPointer<QRVSourceListTableView> m_applicationsTableView;

    QRVAplicationList m_applications;
    QRVAplicationPtr m_allApplicationsApplication;
    QRVAplicationPtr m_separatorApplication;
    std::shared_ptr<MenuState> m_menus;
    bool m_needsSaving = false;
    std::optional<QList<QRVMenuShortcutPtr>> m_menuShortcuts;
    QVariant m_userKeyEquivalents;
    std::function<void()> m_flatteningObserver;
    std::unique_ptr<QRVTitleValidator> m_titleValidator;
    std::shared_ptr<const QRVTitleCompletion> m_titleCompletion; // null until indexed
    quint64 m_titleCompletionGeneration = 0;
};

} // namespace qrv
