#include "ShellFixture.h"
#include "platform/plist/PlistCodec.h"
#include "shell/UPDAppcast.h"
#include "shell/UPDApplicationInfo.h"
#include "shell/UPDUpdateAlert.h"
#include "shell/UPDVersionComparator.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrlQuery>
#include <QUuid>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing;

namespace {

QByteArray feedWith(const QByteArray& version, const QByteArray& extra = {}) {
    return "<rss version=\"2.0\" xmlns:upd=\"https://www.brackwyn.com/xml-namespaces/updates\">"
           "<channel><item><upd:version>" +
           version + "</upd:version><upd:shortVersionString>3.0</upd:shortVersionString>" + extra +
           "<enclosure url=\"https://downloads.example/q.tar.gz\" length=\"10\"/></item>"
           "</channel></rss>";
}

struct Updates : ::testing::Test {
    SupportFixture f;
    std::unique_ptr<QRVAppSupport> support = f.makeSupport();
    bool optionHeld = false;
    bool insidePeriod = true;

    void SetUp() override {
        support->setOptionKeyCheck([this] { return optionHeld; });
        support->setTelemetryPeriodCheck([this] { return insidePeriod; });
        support->loadUpdater();
    }
    QString feedPath() {
        return QUrl(support->feedURLStringForUpdater(support->sharedUpdater()))
            .toString(QUrl::RemoveQuery);
    }
};

TEST_F(Updates, TheFeedFollowsOptionAtTheLastManualCheckAndTheTelemetryPeriod) {
    struct Row {
        bool option;
        bool inside;
        const char* feed;
    };
    const Row rows[] = {
        {true, true,
         "https://telemetry.example/v0.1/public/updates/apps/6f1c9a2e-4b7d-4e35-9a0c-3d58b21f7e64"},
        {true, false, "https://updates.example/menuShortcuts/updates/cast.php"},
        {false, true, "https://updates.example/menuShortcuts/updates/cast.php"},
        {false, false, "https://updates.example/menuShortcuts/updates/cast.php"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("option ") + (row.option ? "held" : "up") + ", " +
                     (row.inside ? "inside" : "outside") + " the period");
        optionHeld = row.option;
        insidePeriod = row.inside;
        support->checkForUpdates();
        ASSERT_EQ(f.http.requests.size(), 1);
        EXPECT_EQ(f.http.requests.takeFirst().url.toString(QUrl::RemoveQuery), row.feed);
        // Later automatic checks keep the choice, until the next manual check.
        optionHeld = !row.option;
        EXPECT_EQ(feedPath(), row.feed);
        f.http.answer(500);
        f.alerts.shown.clear();
    }
}

TEST_F(Updates, ParametersAndHeadersCarryOneIdentifierAndTheLanguage) {
    AppSupportIdentity german = SupportFixture::identity(f.home.path());
    german.preferredLocalizations = {QStringLiteral("de-CH"), QStringLiteral("en")};
    support = f.makeSupport(german);
    support->loadUpdater();

    support->checkForUpdates();
    ASSERT_EQ(f.http.requests.size(), 1);
    const QString identifier = f.defaults.stringForKey(QRVAppSupport::kUpdateUUIDKey);
    EXPECT_FALSE(QUuid::fromString(identifier).isNull()); // created by the first check
    const HttpRequest first = f.http.requests.first();
    EXPECT_EQ(first.header("brackwyn-uuid"), identifier.toUtf8());
    EXPECT_EQ(first.header("accept-language"), "DE");
    EXPECT_EQ(QUrlQuery(first.url).queryItemValue("uuid"), identifier);
    EXPECT_EQ(first.header("User-Agent"),
              "Quorvane/2.1 (Macintosh; Intel Mac OS X 14_5_0) Updater/2000 (KHTML, like Gecko) "
              "Version/2.1 Quorvane/123");
    f.http.answer(200, feedWith("100"));
    f.alerts.shown.clear();

    // The next check: the same identifier, and headers not repeated.
    support->checkForUpdates();
    ASSERT_EQ(f.http.requests.size(), 2);
    const HttpRequest second = f.http.requests.last();
    EXPECT_EQ(second.header("brackwyn-uuid"), identifier.toUtf8());
    int identifierHeaders = 0;
    for (const auto& [name, value] : second.headers)
        identifierHeaders += name == "brackwyn-uuid";
    EXPECT_EQ(identifierHeaders, 1);
    const auto parameters = support->feedParametersForUpdater(support->sharedUpdater(), false);
    ASSERT_EQ(parameters.size(), 1);
    EXPECT_EQ(parameters[0].key, "uuid");
    EXPECT_EQ(parameters[0].displayKey, "Update ID");
    EXPECT_EQ(parameters[0].value, identifier);
    EXPECT_EQ(parameters[0].displayValue, identifier);
}

TEST_F(Updates, AMajorSystemUpgradeOffersASkippedVersionAgain) {
    struct Row {
        QVariant stored;
        QRVSystemVersion system;
        QVariant storedAfter;
        bool skipKept;
    };
    const Row rows[] = {
        {QStringLiteral("10.15"), {13, 4, 0}, QStringLiteral("13"), false},
        {QStringLiteral("13"), {13, 6, 1}, QStringLiteral("13"), true},
        {QVariant(), {13, 0, 0}, QVariant(), true}, // nothing stored: nothing stored now
        {QStringLiteral("13"), {10, 14, 6}, QStringLiteral("10.14"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored.toString().toStdString() + " -> " +
                     std::to_string(row.system.major));
        AppSupportIdentity identity = SupportFixture::identity(f.home.path());
        identity.systemVersion = row.system;
        auto s = f.makeSupport(identity);
        f.defaults.setObject(QRVAppSupport::kMajorVersionStringKey, row.stored);
        f.defaults.setObject(UPDUpdater::kSkippedVersionKey, QStringLiteral("130"));
        (void)s->feedParametersForUpdater(s->sharedUpdater(), false);
        EXPECT_EQ(f.defaults.objectForKey(QRVAppSupport::kMajorVersionStringKey), row.storedAfter);
        EXPECT_EQ(f.defaults.objectForKey(UPDUpdater::kSkippedVersionKey).isValid(), row.skipKept);
    }
}

TEST_F(Updates, TheUserAgentTakesTheSystemVersionFromTheHomesPropertyLists) {
    // Without them: the running system's numbers.
    EXPECT_TRUE(support->userAgentString().contains("(Macintosh; Intel Mac OS X 14_5_0)"));
    const QString folder = f.home.file("System/Library/CoreServices");
    ASSERT_TRUE(QDir().mkpath(folder));
    auto write = [&folder](const QString& name, const QVariantMap& values) {
        QFile file(folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(plist::encode(values, plist::Format::Xml).value());
    };
    write("SystemVersion.plist", {{"ProductUserVisibleVersion", "13.6.1"}});
    EXPECT_TRUE(support->userAgentString().contains("(Macintosh; Intel Mac OS X 13_6_1)"));
    write(".SystemVersionPlatform.plist", {{"ProductUserVisibleVersion", "16.0"}});
    EXPECT_TRUE(support->userAgentString().contains("(Macintosh; Intel Mac OS X 16_0)"));
    write(".SystemVersionPlatform.plist", {{"ProductUserVisibleVersion", 16}}); // wrong type
    EXPECT_TRUE(support->userAgentString().contains("(Macintosh; Intel Mac OS X 13_6_1)"));
}

TEST_F(Updates, UpToDateNewVersionAndErrorsEachGetTheirDialog) {
    // Same build: up to date.
    support->checkForUpdates();
    f.http.answer(200, feedWith("123"));
    ASSERT_FALSE(f.alerts.shown.isEmpty());
    EXPECT_EQ(f.alerts.shown.first().messageText, "You're up to date!");
    EXPECT_EQ(f.alerts.shown.first().informativeText,
              "Quorvane 2.1 is currently the newest version available.");
    // The first manual check asks once about automatic checks (answered: first button).
    ASSERT_EQ(f.alerts.shown.size(), 2);
    EXPECT_EQ(f.alerts.shown[1].messageText, "Check for updates automatically?");
    f.alerts.shown.clear();

    // A broken feed: the reason, in words.
    support->checkForUpdates();
    f.http.answer(200, "<rss><channel><item>");
    ASSERT_EQ(f.alerts.shown.size(), 1);
    EXPECT_EQ(f.alerts.shown[0].messageText, "Update Error!");
    EXPECT_TRUE(f.alerts.shown[0].informativeText.contains("not valid XML"));
    f.alerts.shown.clear();

    // The network is down.
    support->checkForUpdates();
    f.http.fail(QStringLiteral("The server could not be reached."));
    ASSERT_EQ(f.alerts.shown.size(), 1);
    EXPECT_TRUE(f.alerts.shown[0].informativeText.contains("The server could not be reached."));
    f.alerts.shown.clear();

    // A newer build: its notes are fetched, then offered; download opens the browser.
    support->checkForUpdates();
    f.http.answer(200, feedWith("130", "<upd:releaseNotesLink>https://notes.example/3.0.html"
                                       "</upd:releaseNotesLink>"));
    ASSERT_EQ(f.http.requests.size(), 5);
    EXPECT_EQ(f.http.requests.last().url, QUrl("https://notes.example/3.0.html"));
    f.modal.answer([](QDialog& dialog) {
        auto& alert = dynamic_cast<UPDUpdateAlert&>(dialog);
        EXPECT_TRUE(alert.notesView()->toPlainText().contains("Better"));
        alert.button(UPDUpdateAlert::Download)->click();
        return alert.result();
    });
    f.http.answer(200, "<h1>Better</h1>");
    EXPECT_EQ(f.modal.shown, QStringList{"UPDUpdateAlert"});
    EXPECT_EQ(f.browser.opened, QList<QUrl>{QUrl("https://downloads.example/q.tar.gz")});
    EXPECT_TRUE(f.alerts.shown.isEmpty());
    EXPECT_FALSE(support->sharedUpdater().isChecking());
}

TEST_F(Updates, ASkippedVersionIsOfferedAgainOnlyWhenTheUserAsks) {
    f.defaults.setBool(UPDUpdater::kAutomaticChecksKey, true);
    support->checkForUpdates();
    f.modal.answer(UPDUpdateAlert::SkipVersion);
    f.http.answer(200, feedWith("130"));
    EXPECT_EQ(f.defaults.stringForKey(UPDUpdater::kSkippedVersionKey), "130");

    // The automatic check a day later stays silent about it.
    f.scheduler.advance(UPDUpdater::kCheckInterval);
    ASSERT_EQ(f.http.requests.size(), 2);
    f.http.answer(200, feedWith("130"));
    EXPECT_EQ(f.modal.shown.size(), 1);
    EXPECT_TRUE(f.alerts.shown.isEmpty());

    // The user's own check shows it.
    support->checkForUpdates();
    f.http.answer(200, feedWith("130"));
    EXPECT_EQ(f.modal.shown.size(), 2);
}

TEST_F(Updates, AutomaticChecksWaitForTheUsersConsentThenRunDaily) {
    // Never before the user allowed them.
    f.scheduler.advance(UPDUpdater::kCheckInterval * 3);
    EXPECT_TRUE(f.http.requests.isEmpty());

    f.alerts.answer(0); // "You're up to date!"
    f.alerts.answer(1); // "Don't Check"
    support->checkForUpdates();
    f.http.answer(200, feedWith("123"));
    EXPECT_FALSE(f.defaults.boolForKey(UPDUpdater::kAutomaticChecksKey));
    f.scheduler.advance(UPDUpdater::kCheckInterval * 2);
    EXPECT_EQ(f.http.requests.size(), 1);

    support->sharedUpdater().setAutomaticallyChecksForUpdates(true);
    f.scheduler.advance(UPDUpdater::kCheckInterval - Millis(1));
    EXPECT_EQ(f.http.requests.size(), 2); // overdue: checked at once
    f.http.answer(200, feedWith("123"));
    // (The stored time of the last check is exact to about a millisecond.)
    f.scheduler.advance(UPDUpdater::kCheckInterval - Millis(1000));
    EXPECT_EQ(f.http.requests.size(), 2);
    f.scheduler.advance(Millis(1000));
    EXPECT_EQ(f.http.requests.size(), 3);
    f.http.answer(200, feedWith("123"));
    // Up to date, and the question; background checks are quiet.
    EXPECT_EQ(f.alerts.shown.size(), 2);
}

TEST(UpdaterIcon, TheHostsIconNameDecidesAndNoNameMeansNoIcon) {
    SupportFixture f;
    auto support = f.makeSupport(); // installs the replacement
    EXPECT_TRUE(UPDApplicationInfo::bestIconForHost({{"CFBundleName", "Quorvane"}}).isNull());
    EXPECT_FALSE(
        UPDApplicationInfo::bestIconForHost({{"CFBundleIconName", "GenericAppIcon"}}).isNull());
    // An unknown image falls back to the updater's own lookup.
    const QIcon fallback =
        UPDApplicationInfo::bestIconForHost({{"CFBundleIconName", "NoSuchImage"}});
    EXPECT_EQ(fallback.cacheKey(), QGuiApplication::windowIcon().cacheKey());
}

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
