#include "SupportFixture.h"
#include "platform/plist/PlistCodec.h"
#include "shell/UPDApplicationInfo.h"
#include "shell/UPDUpdateAlert.h"

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

} // namespace
