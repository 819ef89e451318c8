#pragma once

#include "menus/QRVMenuItem.h"
#include "model/QRVAplication.h"
#include "platform/Workspace.h"

#include <optional>

namespace qrv {

// The catalogue's class operations: the entries of the application list, the
// names and icons of bundles, and reading and flattening an application's
// menus. The editor's controller keeps the list and the selection; the
// command-line tool lists the same entries.
class QRVApplicationCatalogue {
  public:
    // The "All Applications" entry: no identifier, the generic application icon.
    static QRVAplicationPtr makeAllApplicationsApplication();
    // The separator entry: no identifier, no name, no icon.
    static QRVAplicationPtr makeSeparatorApplication();

    // The rebuilt list (loadApplications): the entries known so far, the
    // running regular applications (whose names and icons win), and the
    // applications registered as having user key equivalents that are
    // installed; then the selected entry if it is missing; sorted by name
    // behind "All Applications" and the separator. Entries are kept by
    // identity; none is ever dropped.
    static QRVAplicationList rebuiltApplications(const QRVAplicationList& current,
                                                 const QRVAplicationPtr& selected,
                                                 const QRVAplicationPtr& allApplications,
                                                 const QRVAplicationPtr& separator);

    // The bundle's name: CFBundleDisplayName, then CFBundleName, localized
    // first; else the file manager's name of the bundle without its extension.
    static QString localizedNameForApplicationBundle(const ApplicationBundle& bundle);
    static QIcon iconForApplicationBundle(const ApplicationBundle& bundle);
    // The entry for a bundle chosen by path (named by CFBundleDisplayName, else
    // the file manager's name); nothing when the bundle names no identifier.
    static QRVAplicationPtr applicationForBundle(const ApplicationBundle& bundle);

    // The top-level menus of a running application, sorted by title; for an
    // entry without identifier, the first menu of this program. Nothing when
    // the application does not run or its menus cannot be read.
    static std::optional<QRVMenuItemList> menuItemsForApplication(const QRVAplication& application);
    // The same from the menu bar's items as read (in menu-bar order, nothing
    // left out): the first menu alone for "All Applications", the system-menu
    // and Services adjustments for other programs, sorted by title. Changes
    // the items it keeps.
    static QRVMenuItemList topLevelMenuItemsForMenuBar(QRVMenuItemList menuBar,
                                                       const QRVAplication& application);
    // Every item below the top level, sorted by title; nothing for nothing.
    static std::optional<QRVMenuItemList>
    allMenuItemsForTopLevelMenuItems(const std::optional<QRVMenuItemList>& items);
    // Items with children and items without, each in the given order.
    static std::pair<QRVMenuItemList, QRVMenuItemList>
    splitNodesAndLeaves(const QRVMenuItemList& items);

    static void sortByTitle(QRVMenuItemList& items);
    static void sortByName(QRVAplicationList& applications);
};

} // namespace qrv
