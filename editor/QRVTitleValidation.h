#pragma once

#include "menus/QRVMenuItem.h"
#include "model/QRVMenuShortcut.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace qrv {

// A warning that title validation attaches to a record: a second key for one
// title, or a title that the list or the target's menus do not name
// unambiguously. `first` and `second` are the texts the warning names.
struct QRVTitleWarning {
    Q_DECLARE_TR_FUNCTIONS(QRVTitleWarning)
  public:
    enum class Kind {
        None,
        Duplicate,     // another key for the title of an earlier record
        PathOverlap,   // a menu path elsewhere in the list ends with this title (first: that path)
        TwoCandidates, // several items of the title, two or more of them leaves (first, second)
        OneCandidate,  // several items of the title, one of them a leaf (first)
        NoLeaf,        // several items of the title, all with submenus (first: the title)
    };
    Kind kind = Kind::None;
    QString first;
    QString second;

    bool operator==(const QRVTitleWarning&) const = default;
    // The text the row shows; null for no warning.
    QString text() const;
};

// What one validation pass reads, copied on the main thread when the pass
// starts: the pass never touches a record that the user may be editing.
struct QRVValidationSnapshot {
    struct Record {
        QString title;         // null: the record has none
        QString keyEquivalent; // null: the record has none (not the same as empty)
    };
    struct MenuItem {
        QString title;
        bool isLeaf = true;
        QString name; // how a warning names the item: its menu path with "→"
    };
    using MenuItems = std::shared_ptr<const QList<MenuItem>>;

    QList<Record> records; // in list order
    MenuItems menuItems;   // in the controller's order; null while the menus are not loaded

    static QList<Record> recordsOf(const QList<QRVMenuShortcutPtr>& shortcuts);
    // Published menu items are never changed, so this is built once per menu list.
    static MenuItems menuItemsOf(const std::optional<QRVMenuItemList>& items);
};

// The checks of one pass, one warning per record in list order. Each record
// is compared with the nearest earlier record of its title (a different key
// is a duplicate), then a plain title with the first menu path of the list
// that ends with it, then with the menu items of that title. Indexing the
// list and the titles the menus are asked for keeps the pass linear in the
// number of records plus menu items.
QList<QRVTitleWarning> titleWarnings(const QRVValidationSnapshot& snapshot);

} // namespace qrv
