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

} // namespace

QRVTitleWarning::Template::Template(const QString& text) {
    qsizetype partStart = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        const QChar digit = text.at(i + 1);
        // "%12" would be placeholder twelve, which these texts never have.
        if (text.at(i) != u'%' || (digit != u'1' && digit != u'2') ||
            (i + 2 < text.size() && text.at(i + 2).isDigit()))
            continue;
        m_parts << text.mid(partStart, i - partStart);
        m_arguments << (digit == u'1' ? 0 : 1);
        partStart = i + 2;
        ++i;
    }
    m_parts << text.mid(partStart);
}

QString QRVTitleWarning::Template::filled(const QString& first, const QString& second) const {
    QString text = m_parts.first();
    for (qsizetype i = 0; i < m_arguments.size(); ++i)
        text += (m_arguments.at(i) == 0 ? first : second) + m_parts.at(i + 1);
    return text;
}

QRVTitleWarning::Texts QRVTitleWarning::Texts::translated() {
    return {
        tr("You have configured two different shortcuts for the same menu item. Only one can be "
           "saved."),
        Template(
            tr("This menu item title is ambiguous. It may refer to the same menu item as '%1'")),
        Template(tr("This menu item title is ambiguous. Do you mean '%1' or '%2' ?")),
        Template(tr("This menu item title is ambiguous. Do you mean '%1' ?")),
        Template(
            tr("This menu item title is ambiguous. There is more than one menu item named '%1'")),
    };
}

QString QRVTitleWarning::text(const Texts& texts) const {
    switch (kind) {
    case Kind::None:
        return QString();
    case Kind::Duplicate:
        return texts.duplicate;
    case Kind::PathOverlap:
        return texts.pathOverlap.filled(first);
    case Kind::TwoCandidates:
        return texts.twoCandidates.filled(first, second);
    case Kind::OneCandidate:
        return texts.oneCandidate.filled(first);
    case Kind::NoLeaf:
        return texts.noLeaf.filled(first);
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

QRVValidationSnapshot::Menus::Menus(QList<MenuItem> items)
    : m_items(std::move(items)) {
    for (qsizetype j = 0; j < m_items.size(); ++j) {
        Title& title = m_titles[m_items.at(j).title];
        ++title.candidates;
        if (m_items.at(j).isLeaf && title.leaves < 2)
            title.firstLeaves[title.leaves++] = j;
    }
}

const QRVValidationSnapshot::Menus::Title*
QRVValidationSnapshot::Menus::title(const QString& title) const {
    const auto found = m_titles.constFind(title);
    return found == m_titles.cend() ? nullptr : &*found;
}

QRVValidationSnapshot::MenuItems
QRVValidationSnapshot::menuItemsOf(const std::optional<QRVMenuItemList>& items) {
    if (!items)
        return nullptr;
    QList<MenuItem> snapshot;
    snapshot.reserve(items->size());
    for (const QRVMenuItemPtr& item : *items)
        snapshot.append({item->title(), item->children().isEmpty(),
                         item->fullDisplayTitle().replace(kPathSeparator,
                                                          QRVMenuShortcut::kDisplayPathSeparator)});
    return std::make_shared<const Menus>(std::move(snapshot));
}

QList<QRVTitleWarning> titleWarnings(const QRVValidationSnapshot& snapshot) {
    using Kind = QRVTitleWarning::Kind;
    const QList<QRVValidationSnapshot::Record>& records = snapshot.records;
    QList<QRVTitleWarning> warnings(records.size());

    // Titles with a separator by the text after their last one: a title ends
    // with separator + T (T without separator) exactly when that text is T.
    // Filled from the back, so the first record in list order wins.
    QHash<QStringView, qsizetype> firstPathEndingWith;
    firstPathEndingWith.reserve(records.size());
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        const QString& title = records.at(i).title;
        if (const qsizetype separator = title.lastIndexOf(kPathSeparator); separator >= 0)
            firstPathEndingWith.insert(QStringView(title).sliced(separator + 1), i);
    }

    QHash<QStringView, qsizetype> nearestWithTitle;
    nearestWithTitle.reserve(records.size());
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
        const auto* menuTitle =
            snapshot.menuItems ? snapshot.menuItems->title(record.title) : nullptr;
        if (!menuTitle || menuTitle->candidates < 2)
            continue;
        const QList<QRVValidationSnapshot::MenuItem>& items = snapshot.menuItems->items();
        if (menuTitle->leaves >= 2)
            warnings[i] = {Kind::TwoCandidates, items.at(menuTitle->firstLeaves[0]).name,
                           items.at(menuTitle->firstLeaves[1]).name};
        else if (menuTitle->leaves == 1)
            warnings[i] = {Kind::OneCandidate, items.at(menuTitle->firstLeaves[0]).name, QString()};
        else
            warnings[i] = {Kind::NoLeaf, record.title, QString()};
    }
    return warnings;
}

} // namespace qrv
