#include "model/LocalizedStandardCompare.h"
#include "model/SupportDirectory.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

// Case is ignored, digit runs compare by value (beyond 64 bits too), and whole
// strings are compared, so a digit meeting a space or a mark sorts as in the
// file browser, not run by run.
TEST(LocalizedStandardCompare, SortsAsTheFileBrowser) {
    QStringList titles{"item 10", "Item 2",   "item 1b", "Item 1a", "Zoom",
                       "apple",   "Item 02x", "Item 2x", "Item",    "a1",
                       "a-b",     "a b",      "Track1",  "Track 2", "Track 10"};
    std::stable_sort(titles.begin(), titles.end(), LocalizedStandardLess());
    EXPECT_EQ(titles, QStringList({"a b", "a-b", "a1", "apple", "Item", "Item 1a", "item 1b",
                                   "Item 2", "Item 02x", "Item 2x", "item 10", "Track 2",
                                   "Track 10", "Track1", "Zoom"}));
    EXPECT_EQ(localizedStandardCompare("ABC", "abc"), 0);
    EXPECT_LT(localizedStandardCompare("a 99999999999999999999", "a 100000000000000000000"), 0);
}

TEST(LocalizedStandardCompare, SortKeysOrderExactlyAsTheComparisonAndKeepEqualsInPlace) {
    QStringList titles{"item 10",  "Item 2",   "item 1b", "Item 1a", "Zoom",
                       "apple",    "Item 02x", "Item 2x", "Item",    "",
                       "10",       "9a",       "a9",      "a",       "Ä",
                       "file 007", "file 7",   "x2y3",    "x2y03z",  "a1",
                       "a-b",      "a b",      "Track1",  "Track 2", "99999999999999999999"};
    titles << QStringLiteral(u"\u001BFile\u001BSave");
    for (const QString& a : titles)
        for (const QString& b : titles)
            EXPECT_EQ(LocalizedStandardSortKey(a).compare(LocalizedStandardSortKey(b)),
                      localizedStandardCompare(a, b))
                << a.toStdString() << " vs " << b.toStdString();

    QList<std::pair<QString, int>> items{{"b", 0}, {"A", 1}, {"a", 2}, {"B", 3}, {"a", 4}};
    sortByLocalizedStandard(items, [](const auto& item) { return item.first; });
    QList<int> order;
    for (const auto& item : items)
        order << item.second;
    EXPECT_EQ(order, (QList<int>{1, 2, 4, 0, 3}));
}

TEST(SupportDirectory, CreatedOnceWithLinksResolved) {
    qrv::testing::TempHome real;
    const QString link = real.file("link");
    ASSERT_TRUE(QFile::link(real.path(), link));
    const auto directory = menuShortcutsSupportDirectory(link);
    ASSERT_TRUE(directory) << directory.error().toStdString();
    const QString expected = QFileInfo(real.path()).canonicalFilePath() +
                             "/Library/Application Support/com.brackwyn.Quorvane";
    EXPECT_EQ(*directory, expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    ASSERT_TRUE(QDir(expected).removeRecursively());
    EXPECT_EQ(*menuShortcutsSupportDirectory(link), expected); // kept for the process
    EXPECT_FALSE(QFileInfo(expected).exists());
    EXPECT_NE(*menuShortcutsSupportDirectory(real.file("elsewhere")), expected);
}

} // namespace
