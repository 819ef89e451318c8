#pragma once

#include <QCollatorSortKey>
#include <QList>
#include <QString>
#include <algorithm>
#include <vector>

namespace qrv {

// The platform's localized standard comparison, the order a file browser
// shows names in: by the user's language, ignoring case, and comparing runs
// of digits by their value ("File 9" before "File 10"). In the C locale the
// order is that of English. Safe from any thread.
int localizedStandardCompare(const QString& a, const QString& b);

inline bool localizedStandardLessThan(const QString& a, const QString& b) {
    return localizedStandardCompare(a, b) < 0;
}

// The key that compares as localizedStandardCompare does, for sorting many items.
QCollatorSortKey localizedStandardSortKey(const QString& text);

// Sorts stably by the text of each element, making each collation key once.
template <typename T, typename TextOf> void localizedStandardSort(QList<T>& list, TextOf textOf) {
    std::vector<std::pair<QCollatorSortKey, T>> keyed;
    keyed.reserve(size_t(list.size()));
    for (const T& element : std::as_const(list))
        keyed.emplace_back(localizedStandardSortKey(textOf(element)), element);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i] = std::move(keyed[size_t(i)].second);
}

} // namespace qrv
