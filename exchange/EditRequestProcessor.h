#pragma once

#include "exchange/EditRequest.h"
#include "menus/QRVAplication.h"
#include "menus/QRVMenuItem.h"
#include "model/QRVMenuShortcut.h"

#include <QJsonObject>
#include <optional>

namespace qrv {

class AlertPresenter;
class Workspace;

// What processing a request needs of the editor controller: its catalogue and
// selection, its records, the selected application's menus with the title
// look-ups of validation, and at the end putting the user to work on a row.
class EditRequestTarget {
  public:
    virtual ~EditRequestTarget() = default;

    virtual const QRVAplicationList& applications() const = 0;
    virtual QRVAplicationPtr application() const = 0; // the selected entry
    virtual const QRVAplicationPtr& allApplicationsApplication() const = 0;
    virtual void setApplication(QRVAplicationPtr application) = 0;
    // Adds the application bundle at the path to the list when needed and selects it.
    virtual void selectApplicationWithPath(const QString& path) = 0;

    virtual const std::optional<QList<QRVMenuShortcutPtr>>& menuShortcuts() const = 0;
    virtual void setMenuShortcuts(const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts) = 0;
    virtual void validateShortcuts() = 0;

    virtual std::optional<QRVMenuItemList> topLevelMenuItems() const = 0;
    virtual std::optional<QRVMenuItemList> allMenuItems() const = 0;
    // Reads, flattens and publishes the menus before returning.
    virtual void loadApplicationMenuItemsNow() = 0;
    virtual QRVMenuItemPtr leafMenuItemMatchingTitle(const QString& title) const = 0;
    // `title` is a path without its leading ESC, as fullDisplayTitle has it.
    virtual QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QString& title) const = 0;

    // Ends a title being typed, keeping what was typed, so that the row it
    // belongs to is no longer taken for an empty one.
    virtual void endEditing() = 0;
    // Selects the row of `shortcut`, ends any editing and stops every
    // recorder, checks full disk access, then starts recording the row's key
    // (recordKey) or editing its title.
    virtual void editRequestedShortcut(const QRVMenuShortcutPtr& shortcut, bool recordKey) = 0;
};

// processRequest of the editor controller: takes the request the mailbox
// delivered to the requested application and its row. Main thread.
class EditRequestProcessor {
  public:
    EditRequestProcessor(EditRequestTarget& target, AlertPresenter& alerts, Workspace& workspace);

    // menuShortcutRequestNotification: keeps the request, then processes it.
    void menuShortcutRequestNotification(const QJsonObject& userInfo);
    // Processes the kept request once the catalogue has loaded; until then it
    // waits (the controller calls this again when its view has loaded).
    void processRequest();
    const std::optional<QJsonObject>& request() const { return m_request; }

  private:
    bool chooseApplication(const EditRequest& request);
    // The title the row will carry (absent: the request names no item).
    std::optional<QString> resolvedTitle(const EditRequest& request,
                                         const QList<QRVMenuShortcutPtr>& matching);
    void loadMenusOnce();
    QString menuKeyFor(const std::optional<QString>& title);

    EditRequestTarget& m_target;
    AlertPresenter& m_alerts;
    Workspace& m_workspace;
    std::optional<QJsonObject> m_request;
    bool m_menusLoaded = false;
};

} // namespace qrv
