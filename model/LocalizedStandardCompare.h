#pragma once

#include <QCollatorSortKey>
#include <QList>
#include <QString>
#include <algorithm>
#include <numeric>
#include <vector>

namespace qrv {

// The order of file names in the file browser, shared by every sorted list of
// the program: case ignored, runs of digits compared by their value ("Item 2"
// before "item 10"), spaces and marks before digits ("a b" before "a1"). The
// same under every locale setting of the process, including LC_ALL=C. Safe
// from any thread.
int localizedStandardCompare(const QString& a, const QString& b);

struct LocalizedStandardLess {
    bool operator()(const QString& a, const QString& b) const {
        return localizedStandardCompare(a, b) < 0;
    }
};

// The comparison made ahead of time: sorting n strings with keys costs n key
// builds instead of n log n collator calls, which matters for menus with
// tens of thousands of items. Orders exactly as localizedStandardCompare.
class LocalizedStandardSortKey {
  public:
    explicit LocalizedStandardSortKey(const QString& text);
    int compare(const LocalizedStandardSortKey& other) const;

  private:
    QCollatorSortKey m_key;
};

// Stable sort of a list by a string taken from each element.
template <typename T, typename TitleOf>
void sortByLocalizedStandard(QList<T>& list, TitleOf titleOf) {
    std::vector<LocalizedStandardSortKey> keys;
    keys.reserve(size_t(list.size()));
    for (const T& item : std::as_const(list))
        keys.emplace_back(titleOf(item));
    std::vector<qsizetype> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
    });
    QList<T> sorted;
    sorted.reserve(list.size());
    for (qsizetype index : order)
        sorted.append(std::move(list[index]));
    list = std::move(sorted);
}

} // namespace qrv
