#pragma once

#include "menus/QRVMenuItem.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace qrv {

// A span of a title's text, in UTF-16 code units.
struct QRVTextRange {
    qsizetype location = 0;
    qsizetype length = 0;
    qsizetype end() const { return location + length; }
    bool operator==(const QRVTextRange&) const = default;
};

// What the title field proposes while the user types: the candidates for the
// path component being typed, which one is preselected, and what choosing
// one or pressing Tab adds. Titles hold ESC between the menus of a path (no
// leading ESC, as a menu item's full display title); the field shows "→".
//
// Built once per menu list: the titles are case-folded and indexed here, so a
// keystroke only searches. The first letters typed match the most titles, so
// the answers for every prefix of up to kPrecomputedPrefix letters (and for
// none) are made with the index; a longer prefix filters the titles of its
// first letters, a substring is one scan of all folded titles end to end.
// Immutable once built, so it can be shared and built on any thread; the
// menu items must not change meanwhile.
class QRVTitleCompletion {
  public:
    // No menus known: the first component has no candidates, later ones none at all.
    QRVTitleCompletion() = default;
    // The application's top-level menus and its leaf items, each sorted by title.
    QRVTitleCompletion(const std::optional<QRVMenuItemList>& topLevel,
                       const std::optional<QRVMenuItemList>& leaves);

    bool hasMenus() const { return m_hasMenus; }

    // The whole path component (between separators) in which `end`, the end
    // of the word at the cursor, lies.
    static QRVTextRange rangeForUserCompletion(QStringView text, qsizetype end);

    // The candidates for the component `range` of `text`, case ignored. In the
    // first component: the top-level menus (but the first) and the leaves
    // whose titles begin with the typed text, else those that contain it;
    // a leaf is offered by its path when its title is shared or it prefers
    // it. In a later one: the children of the item the path before names, in
    // menu order; nothing when that names no item or one without children.
    std::optional<QStringList> completionsForString(const QString& text, QRVTextRange range) const;

    // The candidate to preselect: the first when it begins with the typed
    // text exactly (case counts); -1 for none.
    static int indexOfSelectedItem(const QStringList& completions, QStringView typed);

    // The text that choosing `completion` for `range` inserts: the completion,
    // followed by a separator when it completes a whole path so far that
    // names a menu with items (and none follows already).
    QString finalCompletionForCompletion(QStringView text, QRVTextRange range,
                                         const QString& completion) const;

    // What Tab does with the text before the selection.
    enum class TabAction {
        MoveOn,          // to the next field: at the start, or after a whole item
        OpenList,        // after a separator: the list of the next level
        InsertSeparator, // after a menu's name, or text that names nothing
    };
    TabAction tabAction(QStringView textBeforeSelection) const;

    // The item a full display title names (see QRVMenuItemLookup); null without menus.
    QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QString& fullDisplayTitle) const;

  private:
    struct Entry {
        QString title;
        QString fullDisplayTitle;
        bool prefersFullTitle = false;
    };
    // Titles in list order, with their folded forms indexed for both searches.
    struct Index {
        QList<Entry> entries;
        QList<QString> folded;
        QList<int> titled;       // entries with a title (a null one is never offered)
        QList<int> byFolded;     // the same in folded code-unit order
        QString haystack;        // the folded titles end to end
        QList<qsizetype> starts; // where each entry's folded title starts in it
        void add(const QRVMenuItem& item, bool withPaths);
        void finish();
        QList<int> beginningWith(const QString& foldedPrefix, const QList<int>& among) const;
        QList<int> containing(const QString& foldedPart) const;
    };
    // The titles whose folded forms begin alike, in list order, and their candidates.
    struct PrefixGroup {
        QList<int> topLevel, leaves;
        QStringList candidates;
    };
    static void appendLeaves(QStringList& out, const Index& leaves, const QList<int>& taken);
    static void appendTitles(QStringList& out, const Index& index, const QList<int>& taken);
    QStringList beginningCandidates(const PrefixGroup& group) const;
    QStringList firstComponentCompletions(const QString& folded) const;
    void precomputeShortPrefixes();
    std::optional<QStringList> childCompletions(const QString& pathBefore,
                                                const QString& folded) const;

    bool m_hasMenus = false;
    QRVMenuItemList m_topLevelItems;
    Index m_topLevel;
    Index m_leaves;
    static constexpr qsizetype kPrecomputedPrefix = 3;
    QHash<QString, PrefixGroup> m_shortPrefixes;
    QStringList m_beginningWithoutPrefix;
    // Folded titles of each menu's items, in menu order.
    QHash<const QRVMenuItem*, QList<QString>> m_foldedChildren;
};

} // namespace qrv
