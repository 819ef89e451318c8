#include "model/LocalizedStandardCompare.h"
#include "model/QRVAplication.h"
#include "model/SupportDirectory.h"
#include "platform/Platform.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(LocalizedStandardCompare, IgnoresCaseAndComparesDigitRunsByValue) {
    QStringList titles{"item 10", "Item 2",   "item 1b", "Item 1a", "Zoom",
                       "apple",   "Item 02x", "Item 2x", "Item"};
    std::stable_sort(titles.begin(), titles.end(), LocalizedStandardLess());
    EXPECT_EQ(titles, QStringList({"apple", "Item", "Item 1a", "item 1b", "Item 2", "Item 02x",
                                   "Item 2x", "item 10", "Zoom"}));
    EXPECT_EQ(localizedStandardCompare("ABC", "abc"), 0);
    EXPECT_LT(localizedStandardCompare("file9", "file10"), 0);
    EXPECT_LT(localizedStandardCompare("a 99999999999999999999", "a 100000000000000000000"),
              0); // beyond 64 bits
    EXPECT_GT(localizedStandardCompare("b", "A"), 0);
}

// Whole strings are compared, so a digit meeting a space or a mark sorts as in
// the file browser, not run by run.
TEST(LocalizedStandardCompare, SpacesAndMarksComeBeforeDigits) {
    QStringList titles{"a1", "a-b", "a b", "Track1", "Track 2", "Track 10"};
    std::stable_sort(titles.begin(), titles.end(), LocalizedStandardLess());
    EXPECT_EQ(titles, QStringList({"a b", "a-b", "a1", "Track 2", "Track 10", "Track1"}));
}

TEST(LocalizedStandardCompare, SortKeysOrderExactlyAsTheComparison) {
    const QStringList titles{"item 10",
                             "Item 2",
                             "item 1b",
                             "Item 1a",
                             "Zoom",
                             "apple",
                             "Item 02x",
                             "Item 2x",
                             "Item",
                             "",
                             "10",
                             "9a",
                             "a9",
                             "a",
                             "Ä",
                             "\x1b"
                             "File\x1b"
                             "Save",
                             "file 007",
                             "file 7",
                             "99999999999999999999",
                             "x2y3",
                             "x2y03z",
                             "a1",
                             "a-b",
                             "a b",
                             "Track1",
                             "Track 2"};
    for (const QString& a : titles)
        for (const QString& b : titles)
            EXPECT_EQ(LocalizedStandardSortKey(a).compare(LocalizedStandardSortKey(b)),
                      localizedStandardCompare(a, b))
                << a.toStdString() << " vs " << b.toStdString();

    // Equal titles keep their order.
    QList<std::pair<QString, int>> items{{"b", 0}, {"A", 1}, {"a", 2}, {"B", 3}, {"a", 4}};
    sortByLocalizedStandard(items, [](const auto& item) { return item.first; });
    QList<int> order;
    for (const auto& item : items)
        order << item.second;
    EXPECT_EQ(order, (QList<int>{1, 2, 4, 0, 3}));
}

TEST(QRVAplication, EqualByBundleIdentifierAndNeverWithoutOne) {
    EXPECT_TRUE(QRVAplication("com.example.App", "One") ==
                QRVAplication("com.example.App", "Other"));
    EXPECT_FALSE(QRVAplication("com.example.App", "A") == QRVAplication("com.example.app", "A"));
    EXPECT_FALSE(QRVAplication(QString(), "All Applications") ==
                 QRVAplication(QString(), "All Applications"));
    EXPECT_FALSE(QRVAplication("com.example.App", "A").topLevelMenuItems().has_value());

    EXPECT_TRUE(QRVAplication(QString(), "All Applications").isAllApplications());
    EXPECT_FALSE(QRVAplication(QString(), QString()).isAllApplications()); // the separator
    EXPECT_FALSE(QRVAplication("com.example.App", "A").isAllApplications());
}

TEST(SupportDirectory, CreatedOnceWithLinksResolved) {
    qrv::testing::TempHome real;
    const QString link = real.file("link");
    ASSERT_TRUE(QFile::link(real.path(), link));
    PlatformServices services = platform();
    services.home = link;
    ScopedPlatform scoped(services);

    const auto directory = menuShortcutsSupportDirectory();
    ASSERT_TRUE(directory) << directory.error().toStdString();
    const QString expected = QFileInfo(real.path()).canonicalFilePath() +
                             "/Library/Application Support/com.brackwyn.Quorvane";
    EXPECT_EQ(*directory, expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    services.home = real.file("elsewhere");
    ScopedPlatform moved(services);
    EXPECT_EQ(*menuShortcutsSupportDirectory(), expected); // kept for the process
}

} // namespace
