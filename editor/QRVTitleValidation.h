#pragma once

#include "menus/QRVMenuItem.h"
#include "model/QRVMenuShortcut.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
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

    // A translated text taken apart at its placeholders %1 and %2 once, so
    // that filling it for each record of a pass does not parse it again.
    class Template {
      public:
        explicit Template(const QString& text);
        // As QString::arg(first, second) would fill it.
        QString filled(const QString& first, const QString& second = QString()) const;

      private:
        QStringList m_parts;    // one more than placeholders
        QList<int> m_arguments; // 0 for %1, 1 for %2, after each part but the last
    };
    // The texts as translated, looked up once for a whole pass.
    struct Texts {
        QString duplicate;
        Template pathOverlap, twoCandidates, oneCandidate, noLeaf;
        static Texts translated();
    };
    // The text the row shows; null for no warning.
    QString text(const Texts& texts) const;
    QString text() const { return text(Texts::translated()); }
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
    // The menu items in the controller's order, indexed by title. Published
    // menus never change, so this is built once per menu list and shared by
    // every pass over it.
    class Menus {
      public:
        struct Title {
            qsizetype candidates = 0;            // items with the title
            qsizetype leaves = 0;                // of those without submenu, counted up to 2
            qsizetype firstLeaves[2] = {-1, -1}; // indexes into items(), in menu order
        };
        explicit Menus(QList<MenuItem> items);
        const QList<MenuItem>& items() const { return m_items; }
        // The items of that title; null when none has it.
        const Title* title(const QString& title) const;

      private:
        QList<MenuItem> m_items;
        QHash<QString, Title> m_titles;
    };
    using MenuItems = std::shared_ptr<const Menus>;

    QList<Record> records; // in list order
    MenuItems menuItems;   // null while the menus are not loaded

    static QList<Record> recordsOf(const QList<QRVMenuShortcutPtr>& shortcuts);
    static MenuItems menuItemsOf(const std::optional<QRVMenuItemList>& items);
};

// The checks of one pass, one warning per record in list order. Each record
// is compared with the nearest earlier record of its title (a different key
// is a duplicate), then a plain title with the first menu path of the list
// that ends with it, then with the menu items of that title. With the list
// indexed here and the menus indexed once per menu list, a pass is linear in
// the number of records.
QList<QRVTitleWarning> titleWarnings(const QRVValidationSnapshot& snapshot);

} // namespace qrv
