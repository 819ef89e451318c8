#pragma once

#include "editor/QRVSourceListTableView.h"
#include "menus/QRVMenuItem.h"
#include "model/QRVAplication.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace qrv {

class QRVApplicationsArrayController;
class QRVTitleValidator;
class QRVSourceListController;

// The content of the main window: the source list of applications and, for
// the selected one, its shortcuts. This part holds the application catalogue:
// the list of entries, the selection, and the selected application's menus,
// read 0.5 s after they are asked for (requests coalesce), flattened on the
// background queue and published on the main thread unless the selection has
// moved on meanwhile.
class QRVShortcutsViewController : public QObject {
    Q_OBJECT
  public:
    explicit QRVShortcutsViewController(QObject* parent = nullptr);
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

    void loadApplicationMenuItems();
    // Reads now; inPlace also flattens and publishes before returning.
    void _loadApplicationMenuItems(bool inPlace);

    // ---- notifications
    void applicationDidBecomeActiveNotification();
    void applicationWillResignActiveNotification();
    void applicationWillTerminateNotification();
    void workspaceDidLaunchApplicationNotification(const RunningApplication& launched);
    void workspaceDidActivateApplicationNotification(const RunningApplication& activated);

    // ---- the editing side, as far as the catalogue calls it
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
    // Writes the records; needsSaving stays set when a record was left out.
    void saveApplicationShortcuts();
    // Starts a title validation pass over the records; its warnings reach the
    // records on the main thread later, unless the list has moved on.
    void validateShortcuts();
    // The number of the latest validation pass.
    quint64 validationRequest() const;
    // The one leaf menu item of the title (none when several have it).
    QRVMenuItemPtr leafMenuItemMatchingTitle(const QString& title) const;
    // The menu item at the end of a full display title (ESC between the menus).
    QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QString& fullDisplayTitle) const;

    // Called on the flattening task's thread right after flattening, for
    // diagnostics and for tests of selections that change meanwhile.
    void setFlatteningObserver(std::function<void()> observer) {
        m_flatteningObserver = std::move(observer);
    }

  signals:
    void applicationChanged();
    void applicationsChanged();
    void menuItemsChanged();

  private:
    struct MenuLists {
        std::optional<QRVMenuItemList> topLevel, all, nodes, leaves;
    };
    struct MenuState; // shared with the flattening task

    void viewDidLoad();
    void setMenuLists(const MenuLists& lists);
    static MenuLists cachedMenuLists(const QRVAplication& application);
    static void setCachedMenuLists(QRVAplication& application, const MenuLists& lists);
    void publishMenuLists(const QRVAplicationPtr& noted, const MenuLists& lists);
    void scheduleLaunchRetry(const QString& bundleIdentifier, std::shared_ptr<int> attempts);

    QPointer<QWidget> m_view;
    QPointer<QWidget> m_shortcutsPane;
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
};

} // namespace qrv
