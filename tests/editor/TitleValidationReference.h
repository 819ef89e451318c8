#pragma once

// The title checks written the plain way, step by step: the list scanned for
// every record and the menu items scanned for every record. The real pass
// must give exactly these warnings; the tests and the benchmark compare them.
#include "editor/QRVTitleValidation.h"

#include <QHash>

namespace qrv::testing {

inline QList<QRVTitleWarning> referenceTitleWarnings(const QRVValidationSnapshot& snapshot) {
    using Kind = QRVTitleWarning::Kind;
    const QChar esc = QRVMenuShortcut::kPathSeparator;
    const auto& records = snapshot.records;
    QList<QRVTitleWarning> result(records.size());
    QHash<QString, qsizetype> titleMap;
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QString& t = records.at(r).title;
        std::optional<qsizetype> p;
        if (!t.isNull()) {
            if (titleMap.contains(t))
                p = titleMap.value(t);
            titleMap.insert(t, r);
        }
        if (t.isEmpty())
            continue;
        if (p) {
            const QString& a = records.at(*p).keyEquivalent;
            const QString& b = records.at(r).keyEquivalent;
            const bool same = (a.isNull() && b.isNull()) || (!a.isNull() && !b.isNull() && a == b);
            if (!same) {
                result[r].kind = Kind::Duplicate;
                continue;
            }
        }
        if (t.contains(esc))
            continue;
        const QString s = esc + t;
        bool overlapped = false;
        for (const auto& q : records) {
            if (!q.title.isNull() && q.title.endsWith(s)) {
                result[r] = {Kind::PathOverlap, QRVMenuShortcut::beautifiedTitle(q.title), {}};
                overlapped = true;
                break;
            }
        }
        if (overlapped || !snapshot.menuItems)
            continue;
        QList<const QRVValidationSnapshot::MenuItem*> candidates;
        QList<const QRVValidationSnapshot::MenuItem*> leaves;
        for (const auto& item : snapshot.menuItems->items()) {
            if (item.title == t) {
                candidates << &item;
                if (item.isLeaf)
                    leaves << &item;
            }
        }
        if (candidates.size() < 2)
            continue;
        if (leaves.size() >= 2)
            result[r] = {Kind::TwoCandidates, leaves.at(0)->name, leaves.at(1)->name};
        else if (leaves.size() == 1)
            result[r] = {Kind::OneCandidate, leaves.at(0)->name, {}};
        else
            result[r] = {Kind::NoLeaf, t, {}};
    }
    return result;
}

} // namespace qrv::testing
