#include "editor/QRVTitleValidation.h"

#include <QHash>
#include <QStringView>

namespace qrv {

namespace {

constexpr QChar kPathSeparator = QRVMenuShortcut::kPathSeparator;

// Absent keys are alike, and an absent key differs from every present one,
// the empty string included.
bool sameKeyEquivalent(const QString& a, const QString& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b;
}

// The menu items that share one title, counted once over the menus.
struct MenuMatches {
    qsizetype candidates = 0;
    qsizetype leaves = 0;
    qsizetype firstLeaves[2] = {-1, -1}; // indexes into the menu items
};

} // namespace

QString QRVTitleWarning::text() const {
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Duplicate:
        return tr("You have configured two different shortcuts for the same menu item. Only one "
                  "can be saved.");
    case Kind::PathOverlap:
        return tr("This menu item title is ambiguous. It may refer to the same menu item as '%1'")
            .arg(first);
    case Kind::TwoCandidates:
        // One pass over the text, so that a "%2" inside the first name stays as it is.
        return tr("This menu item title is ambiguous. Do you mean '%1' or '%2' ?").arg(first, second);
    case Kind::OneCandidate:
        return tr("This menu item title is ambiguous. Do you mean '%1' ?").arg(first);
    case Kind::NoLeaf:
        return tr("This menu item title is ambiguous. There is more than one menu item named '%1'")
            .arg(first);
    }
    return QString();
}

QList<QRVValidationSnapshot::Record>
QRVValidationSnapshot::recordsOf(const QList<QRVMenuShortcutPtr>& shortcuts) {
    QList<Record> records;
    records.reserve(shortcuts.size());
    for (const QRVMenuShortcutPtr& shortcut : shortcuts)
        records.append({shortcut->title(), shortcut->keyEquivalent()});
    return records;
}

QRVValidationSnapshot::MenuItems
QRVValidationSnapshot::menuItemsOf(const std::optional<QRVMenuItemList>& items) {
    if (!items)
        return nullptr;
    auto snapshot = std::make_shared<QList<MenuItem>>();
    snapshot->reserve(items->size());
    for (const QRVMenuItemPtr& item : *items)
        snapshot->append({item->title(), item->children().isEmpty(),
                          item->fullDisplayTitle().replace(kPathSeparator,
                                                           QRVMenuShortcut::kDisplayPathSeparator)});
    return snapshot;
}

QList<QRVTitleWarning> titleWarnings(const QRVValidationSnapshot& snapshot) {
    using Kind = QRVTitleWarning::Kind;
    const QList<QRVValidationSnapshot::Record>& records = snapshot.records;
    QList<QRVTitleWarning> warnings(records.size());

    // Titles with a separator by the text after their last one: a title ends
    // with separator + T (T without separator) exactly when that text is T.
    // Filled from the back, so the first record in list order wins.
    QHash<QStringView, qsizetype> firstPathEndingWith;
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        const QString& title = records.at(i).title;
        if (const qsizetype separator = title.lastIndexOf(kPathSeparator); separator >= 0)
            firstPathEndingWith.insert(QStringView(title).sliced(separator + 1), i);
    }

    QHash<QStringView, qsizetype> nearestWithTitle;
    QHash<QStringView, MenuMatches> menuMatches; // only the titles that get that far
    QList<qsizetype> askingMenus;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QRVValidationSnapshot::Record& record = records.at(i);
        if (record.title.isNull())
            continue;
        const QStringView title(record.title);
        std::optional<qsizetype> previous;
        if (auto nearest = nearestWithTitle.find(title); nearest != nearestWithTitle.end()) {
            previous = *nearest;
            *nearest = i;
        } else {
            nearestWithTitle.insert(title, i);
        }
        if (title.isEmpty())
            continue;
        if (previous &&
            !sameKeyEquivalent(records.at(*previous).keyEquivalent, record.keyEquivalent)) {
            warnings[i].kind = Kind::Duplicate;
            continue;
        }
        if (title.contains(kPathSeparator))
            continue;
        if (auto path = firstPathEndingWith.constFind(title); path != firstPathEndingWith.cend()) {
            warnings[i] = {Kind::PathOverlap,
                           QRVMenuShortcut::beautifiedTitle(records.at(*path).title), QString()};
            continue;
        }
        if (snapshot.menuItems) {
            menuMatches.insert(title, MenuMatches{});
            askingMenus.append(i);
        }
    }
    if (askingMenus.isEmpty())
        return warnings;

    const QList<QRVValidationSnapshot::MenuItem>& items = *snapshot.menuItems;
    for (qsizetype j = 0; j < items.size(); ++j) {
        const auto match = menuMatches.find(QStringView(items.at(j).title));
        if (match == menuMatches.end())
            continue;
        ++match->candidates;
        if (items.at(j).isLeaf && match->leaves < 2)
            match->firstLeaves[match->leaves++] = j;
    }
    for (qsizetype i : std::as_const(askingMenus)) {
        const QString& title = records.at(i).title;
        const MenuMatches match = menuMatches.value(QStringView(title));
        if (match.candidates < 2)
            continue;
        if (match.leaves >= 2)
            warnings[i] = {Kind::TwoCandidates, items.at(match.firstLeaves[0]).name,
                           items.at(match.firstLeaves[1]).name};
        else if (match.leaves == 1)
            warnings[i] = {Kind::OneCandidate, items.at(match.firstLeaves[0]).name, QString()};
        else
            warnings[i] = {Kind::NoLeaf, title, QString()};
    }
    return warnings;
}

} // namespace qrv
