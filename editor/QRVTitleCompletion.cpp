#include "editor/QRVTitleCompletion.h"

#include "editor/QRVMenuItemLookup.h"

#include <QStringMatcher>
#include <algorithm>

namespace qrv {

namespace {
constexpr QChar kSeparator = QRVMenuItem::kPathSeparator;

void foldChildren(const QRVMenuItemList& items, QHash<const QRVMenuItem*, QList<QString>>& out) {
    for (const QRVMenuItemPtr& item : items) {
        if (item->children().isEmpty())
            continue;
        QList<QString>& folded = out[item.get()];
        folded.reserve(item->children().size());
        for (const QRVMenuItemPtr& child : item->children())
            folded << child->title().toCaseFolded();
        foldChildren(item->children(), out);
    }
}
} // namespace

QRVTitleCompletion::QRVTitleCompletion(const std::optional<QRVMenuItemList>& topLevel,
                                       const std::optional<QRVMenuItemList>& leaves)
    : m_hasMenus(topLevel.has_value() || leaves.has_value())
    , m_topLevelItems(topLevel.value_or(QRVMenuItemList{})) {
    for (const QRVMenuItemPtr& item : m_topLevelItems)
        m_topLevel.add(*item, false);
    for (const QRVMenuItemPtr& item : leaves.value_or(QRVMenuItemList{}))
        m_leaves.add(*item, true);
    m_topLevel.finish();
    m_leaves.finish();
    foldChildren(m_topLevelItems, m_foldedChildren);
    precomputeShortPrefixes();
}

// Titles that share their first letters are grouped in list order, and each
// group's candidates made now, as the beginning pass would make them.
void QRVTitleCompletion::precomputeShortPrefixes() {
    const auto group = [&](const Index& index, QList<int> PrefixGroup::*lists) {
        for (int entry : index.titled) {
            const QString& folded = index.folded.at(entry);
            for (qsizetype length = 1; length <= std::min(folded.size(), kPrecomputedPrefix);
                 ++length)
                (m_shortPrefixes[folded.first(length)].*lists).append(entry);
        }
    };
    group(m_topLevel, &PrefixGroup::topLevel);
    group(m_leaves, &PrefixGroup::leaves);
    for (auto it = m_shortPrefixes.begin(); it != m_shortPrefixes.end(); ++it)
        it->candidates = beginningCandidates(*it);
    m_beginningWithoutPrefix = beginningCandidates({m_topLevel.titled, m_leaves.titled, {}});
}

void QRVTitleCompletion::Index::add(const QRVMenuItem& item, bool withPaths) {
    entries.append(
        {item.title(), withPaths ? item.fullDisplayTitle() : QString(), item.prefersFullTitle()});
    folded.append(item.title().toCaseFolded());
}

void QRVTitleCompletion::Index::finish() {
    starts.reserve(entries.size() + 1);
    qsizetype length = 0;
    for (const QString& title : std::as_const(folded))
        length += title.size();
    haystack.reserve(length);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        starts.append(haystack.size());
        haystack += folded.at(i);
        if (!entries.at(i).title.isNull())
            titled.append(int(i));
    }
    starts.append(haystack.size());
}

QList<int> QRVTitleCompletion::Index::beginningWith(const QString& foldedPrefix,
                                                    const QList<int>& among) const {
    QList<int> found;
    for (int entry : among)
        if (folded.at(entry).startsWith(foldedPrefix))
            found.append(entry);
    return found;
}

// One scan of all titles laid end to end; a match that runs over the end of
// a title into the next is no match.
QList<int> QRVTitleCompletion::Index::containing(const QString& foldedPart) const {
    QList<int> found;
    if (foldedPart.isEmpty())
        return titled;
    const QStringMatcher matcher(foldedPart, Qt::CaseSensitive);
    qsizetype from = 0;
    while ((from = matcher.indexIn(haystack, from)) >= 0) {
        const auto next = std::upper_bound(starts.cbegin(), starts.cend(), from);
        const qsizetype entry = (next - starts.cbegin()) - 1;
        if (from + foldedPart.size() <= *next) {
            found.append(int(entry));
            from = *next;
        } else {
            ++from;
        }
    }
    return found;
}

QRVTextRange QRVTitleCompletion::rangeForUserCompletion(QStringView text, qsizetype end) {
    const qsizetype length = text.size();
    const qsizetype before =
        text.first(std::clamp<qsizetype>(end, 0, length)).lastIndexOf(kSeparator);
    const qsizetype start = before < 0 ? 0 : before + 1;
    const qsizetype after =
        end >= length ? -1 : text.indexOf(kSeparator, std::max<qsizetype>(end, 0));
    const qsizetype stop = after < 0 ? length : after;
    return {start, std::max<qsizetype>(stop - start, 0)};
}

std::optional<QStringList> QRVTitleCompletion::completionsForString(const QString& text,
                                                                    QRVTextRange range) const {
    const QString typed = range.length > 0 ? text.mid(range.location, range.length) : QString();
    const QString folded = typed.toCaseFolded();
    if (range.location == 0)
        return firstComponentCompletions(folded);
    return childCompletions(text.left(range.location), folded);
}

// The top-level menus but the first (the application's own, never offered by
// its beginning), then the leaves.
QStringList QRVTitleCompletion::beginningCandidates(const PrefixGroup& group) const {
    QStringList out;
    appendTitles(out, m_topLevel,
                 !group.topLevel.isEmpty() && group.topLevel.first() == 0 ? group.topLevel.sliced(1)
                                                                          : group.topLevel);
    appendLeaves(out, m_leaves, group.leaves);
    return out;
}

QStringList QRVTitleCompletion::firstComponentCompletions(const QString& folded) const {
    QStringList out;
    if (folded.isEmpty()) {
        out = m_beginningWithoutPrefix;
    } else if (folded.size() <= kPrecomputedPrefix) {
        out = m_shortPrefixes.value(folded).candidates;
    } else {
        const PrefixGroup group = m_shortPrefixes.value(folded.first(kPrecomputedPrefix));
        out = beginningCandidates({m_topLevel.beginningWith(folded, group.topLevel),
                                   m_leaves.beginningWith(folded, group.leaves),
                                   {}});
    }
    if (!out.isEmpty())
        return out;
    appendTitles(out, m_topLevel, m_topLevel.containing(folded));
    if (!out.isEmpty())
        return out;
    appendLeaves(out, m_leaves, m_leaves.containing(folded));
    return out;
}

void QRVTitleCompletion::appendTitles(QStringList& out, const Index& index,
                                      const QList<int>& taken) {
    for (int entry : taken)
        out << index.entries.at(entry).title;
}

// A title that several leaves share names none of them; each is offered by its path.
void QRVTitleCompletion::appendLeaves(QStringList& out, const Index& leaves,
                                      const QList<int>& taken) {
    out.reserve(out.size() + taken.size());
    const Entry* previous = nullptr;
    for (int index : taken) {
        const Entry& leaf = leaves.entries.at(index);
        if (leaf.prefersFullTitle) {
            out << leaf.fullDisplayTitle;
        } else if (previous && leaf.title == previous->title) {
            if (!out.isEmpty() && out.last() == leaf.title)
                out.last() = previous->fullDisplayTitle;
            if (out.isEmpty() || out.last() != leaf.fullDisplayTitle)
                out << leaf.fullDisplayTitle;
        } else {
            out << leaf.title;
        }
        previous = &leaf;
    }
}

std::optional<QStringList> QRVTitleCompletion::childCompletions(const QString& pathBefore,
                                                                const QString& folded) const {
    const QRVMenuItemPtr menu = menuItemMatchingFullDisplayTitle(pathBefore);
    if (!menu || menu->children().isEmpty())
        return std::nullopt;
    const QRVMenuItemList& children = menu->children();
    const QList<QString> foldedTitles = m_foldedChildren.value(menu.get());
    QStringList out;
    for (const bool beginning : {true, false}) {
        for (qsizetype i = 0; i < children.size(); ++i) {
            const QString& title = children.at(i)->title();
            const QString& candidate = foldedTitles.value(i);
            if (title.isNull() || (!out.isEmpty() && out.last() == title))
                continue;
            if (beginning ? candidate.startsWith(folded) : candidate.contains(folded))
                out << title;
        }
        if (!out.isEmpty())
            break;
    }
    return out;
}

int QRVTitleCompletion::indexOfSelectedItem(const QStringList& completions, QStringView typed) {
    if (typed.isEmpty() || completions.isEmpty())
        return -1;
    return completions.first().startsWith(typed) ? 0 : -1;
}

QString QRVTitleCompletion::finalCompletionForCompletion(QStringView text, QRVTextRange range,
                                                         const QString& completion) const {
    if (completion.endsWith(kSeparator))
        return completion;
    const QStringView before = text.first(std::clamp<qsizetype>(range.location, 0, text.size()));
    if (!before.isEmpty() && !before.endsWith(kSeparator))
        return completion;
    if (text.sliced(std::clamp<qsizetype>(range.end(), 0, text.size())).startsWith(kSeparator))
        return completion;
    const QRVMenuItemPtr item = menuItemMatchingFullDisplayTitle(before.toString() + completion);
    return item && !item->children().isEmpty() ? completion + kSeparator : completion;
}

QRVTitleCompletion::TabAction QRVTitleCompletion::tabAction(QStringView textBeforeSelection) const {
    if (textBeforeSelection.isEmpty())
        return TabAction::MoveOn;
    if (textBeforeSelection.endsWith(kSeparator))
        return TabAction::OpenList;
    const QRVMenuItemPtr item = menuItemMatchingFullDisplayTitle(textBeforeSelection.toString());
    return item && item->children().isEmpty() ? TabAction::MoveOn : TabAction::InsertSeparator;
}

QRVMenuItemPtr QRVTitleCompletion::menuItemMatchingFullDisplayTitle(const QString& title) const {
    return QRVMenuItemLookup::menuItemMatchingFullDisplayTitle(m_topLevelItems, title);
}

} // namespace qrv
