#include "shell/UPDAppcast.h"
#include "shell/UPDVersionComparator.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

QByteArray feed(const QByteArray& items) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<rss version=\"2.0\" xmlns:upd=\"https://www.brackwyn.com/xml-namespaces/updates\">"
           "<channel><title>Quorvane</title>" +
           items + "</channel></rss>";
}

QByteArray item(const QByteArray& version, const QByteArray& extra = {}) {
    return "<item><title>Quorvane " + version + "</title><upd:version>" + version +
           "</upd:version>" + extra + "<enclosure url=\"https://downloads.example/Quorvane-" +
           version + ".tar.gz\" length=\"1234\" type=\"application/octet-stream\"/></item>";
}

TEST(VersionComparator, ComparesNumbersByValueAndPreReleasesBeforeTheirRelease) {
    struct Row {
        const char* a;
        const char* b;
        int expected;
    };
    const Row rows[] = {
        {"2.10", "2.9", 1},      {"1.0", "1.0.0", 0},
        {"123", "124", -1},      {"2.0b1", "2.0", -1},
        {"2.0b2", "2.0b10", -1}, {"2.0.1", "2.0b1", 1},
        {"010", "9", 1},         {"99999999999999999999", "99999999999999999998", 1},
        {"", "1", -1},           {" 2.1 ", "2.1", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        EXPECT_EQ(UPDVersionComparator::compareVersions(row.a, row.b), row.expected);
        EXPECT_EQ(UPDVersionComparator::compareVersions(row.b, row.a), -row.expected);
    }
}

TEST(Appcast, ReadsTheItemsAndFindsTheNewest) {
    const auto appcast = UPDAppcast::parse(feed(
        item("130", "<upd:shortVersionString>2.2</upd:shortVersionString>"
                    "<upd:releaseNotesLink>https://notes.example/2.2.html</upd:releaseNotesLink>"
                    "<description><![CDATA[<p>Faster.</p>]]></description>") +
        item("99") + "<item><unknown/></item>" /* no version: left out */));
    ASSERT_TRUE(appcast.ok()) << appcast.error().toStdString();
    ASSERT_EQ(appcast->items.size(), 2);
    const UPDAppcastItem* newest = appcast->newestItem();
    ASSERT_NE(newest, nullptr);
    EXPECT_EQ(newest->version, "130");
    EXPECT_EQ(newest->displayVersion(), "2.2");
    EXPECT_EQ(newest->releaseNotesLink, QUrl("https://notes.example/2.2.html"));
    EXPECT_EQ(newest->itemDescription, "<p>Faster.</p>");
    EXPECT_EQ(newest->enclosureUrl, QUrl("https://downloads.example/Quorvane-130.tar.gz"));
    EXPECT_EQ(newest->enclosureLength, 1234);
    EXPECT_EQ(appcast->items[1].displayVersion(), "99");

    const auto empty = UPDAppcast::parse(feed(""));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->newestItem(), nullptr);
}

TEST(Appcast, HostileFeedsEndInAClearMessage) {
    struct Row {
        const char* name;
        QByteArray document;
        const char* message;
    };
    QByteArray huge = feed(item("1"));
    huge.append(QByteArray(UPDAppcast::kMaximumBytes, ' '));
    QByteArray manyItems;
    for (int i = 0; i <= UPDAppcast::kMaximumItems; ++i)
        manyItems += item(QByteArray::number(i));
    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e "
        "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]><rss><channel><item><title>&f;</title>"
        "</item></channel></rss>";
    const Row rows[] = {
        {"empty", "", "The update feed is empty."},
        {"huge", huge, "The update feed is too large"},
        {"not XML", "{\"version\": 2}", "The update feed is not valid XML"},
        {"cut off", feed(item("1")).left(150), "The update feed is not valid XML"},
        {"other document", "<html><body>Maintenance</body></html>", "not an RSS document"},
        {"length not a number", feed(item("5").replace("1234", "lots")),
         "gives \"lots\" as its download size"},
        {"download not a web address", feed(item("5").replace("https://", "file:///")),
         "has no valid download address"},
        {"download over plain HTTP", feed(item("5").replace("https://", "http://")),
         "has no valid download address"},
        {"too many items", feed(manyItems), "more than 1000 entries"},
        {"entity expansion", laughs, "The update feed is not valid XML"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto appcast = UPDAppcast::parse(row.document);
        ASSERT_FALSE(appcast.ok());
        EXPECT_TRUE(appcast.error().contains(QLatin1String(row.message)))
            << appcast.error().toStdString();
    }
}

} // namespace
