#include "ShellFixture.h"
#include "platform/PermissionStatus.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVTelemetryPeriod.h"
#include "shell/QRVWelcomeViewController.h"
#include "shell/QRVWelcomeWindowController.h"
#include "telemetry/TLMTelemetryConfig.h"

#include <QDir>
#include <QTest>
#include <optional>

using namespace qrv;
using qrv::testing::ShellTest;

namespace {

const QDateTime kCutOffLocal(QDate(2026, 5, 31), QTime(0, 0), Qt::LocalTime);

TEST_F(ShellTest, LaunchRunsInThreeTurnsMainWindowThenWelcomeThenUpdater) {
    platform.permissions.set(PermissionStatus::kAssistive, PermissionStatus::kDenied);
    defaults.setObject(QStringLiteral("UPDFeedURL"), QStringLiteral("https://old.example/feed"));
    QRVAppDelegate& app = makeDelegate();
    ASSERT_TRUE(app.launch());

    // First turn: the main window is on screen, nothing else yet.
    ASSERT_NE(app.mainWindowController(), nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(app.mainWindowController()->window()));
    EXPECT_EQ(app.welcomeWindowController(), nullptr);
    EXPECT_TRUE(defaults.objectForKey(QStringLiteral("UPDFeedURL")).isValid());

    // Second turn: the welcome window, after the main window.
    platform.scheduler.runPending();
    ASSERT_NE(app.welcomeWindowController(), nullptr);
    EXPECT_TRUE(app.welcomeWindowController()->window()->isVisible());
    const QRVWelcomeViewController* welcome =
        app.welcomeWindowController()->welcomeViewController();
    EXPECT_EQ(welcome->fdaButton()->text(), "Permission Granted");
    EXPECT_EQ(welcome->accessibilityButton()->text(), "Grant Permission");

    // Third turn: the updater; an old feed address no longer overrides ours.
    platform.scheduler.runPending();
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("UPDFeedURL")).isValid());
}

TEST_F(ShellTest, TheWelcomeWindowStaysAwayOnlyWhenBothPermissionsAreGranted) {
    struct Case {
        int fullDiskAccess, assistive;
        bool welcome;
    };
    const int granted = PermissionStatus::kGranted;
    for (const Case& c : {Case{granted, granted, false}, Case{0, granted, true},
                          Case{granted, 1, true}, Case{3, granted, true}}) {
        platform.permissions.set(PermissionStatus::kFullDiskAccess, c.fullDiskAccess);
        platform.permissions.set(PermissionStatus::kAssistive, c.assistive);
        QRVAppDelegate& app = launched();
        platform.scheduler.runPending();
        EXPECT_EQ(app.welcomeWindowController() != nullptr, c.welcome)
            << c.fullDiskAccess << " " << c.assistive;
        delegate.reset();
    }
}

TEST_F(ShellTest, TelemetryStartsWithTheCrashServiceAloneBeforeTheCutOff) {
    setNow(kCutOffLocal.addMSecs(-1));
    QRVAppDelegate& app = launched();
    EXPECT_TRUE(app.shouldUseTelemetry());
    ASSERT_EQ(telemetryStarts.size(), 1);
    EXPECT_EQ(telemetryStarts[0].appSecret, TLMTelemetryConfig::standard().appSecret);
    ASSERT_EQ(telemetryStarts[0].services.size(), 1);
    EXPECT_EQ(&telemetryStarts[0].services[0](), &TLMCrashes::service());
    EXPECT_TRUE(defaults.boolForKey(QRVAppDelegate::kCrashOnExceptionsKey));
    // A registered default, not a stored one.
    EXPECT_FALSE(
        platform.preferences.copyValue(QRVAppDelegate::kCrashOnExceptionsKey, defaults.domain())
            .isValid());
}

TEST_F(ShellTest, FromTheCutOffDayOnTelemetryNeverStarts) {
    for (const QDateTime& moment : {kCutOffLocal, kCutOffLocal.addDays(400)}) {
        setNow(moment);
        QRVAppDelegate& app = launched();
        EXPECT_FALSE(app.shouldUseTelemetry());
        EXPECT_TRUE(telemetryStarts.isEmpty());
        EXPECT_FALSE(defaults.objectForKey(QRVAppDelegate::kCrashOnExceptionsKey).isValid());
        ASSERT_NE(app.mainWindowController(), nullptr); // the program itself runs as ever
        delegate.reset();
    }
}

TEST_F(ShellTest, TheUsersTimeZoneDecidesTheLastDay) {
    // 23:30 on 30 May in Honolulu is already 31 May in Berlin.
    setNow(QDateTime(QDate(2026, 5, 30), QTime(23, 30), QTimeZone("Pacific/Honolulu")));
    makeDelegate().setTimeZone(QTimeZone("Pacific/Honolulu"));
    EXPECT_TRUE(delegate->shouldUseTelemetry());
    delegate->setTimeZone(QTimeZone("Europe/Berlin"));
    EXPECT_FALSE(delegate->shouldUseTelemetry());
    EXPECT_FALSE(isInsideTelemetryPeriod(QDateTime(), QTimeZone("Europe/Berlin")));
}

TEST(LaunchArguments, FilesAreWhatIsNotAnOption) {
    const QStringList arguments{"quorvane",  "--home", "/tmp/h", "a.menuShortcuts", "--home=/x",
                                "--unknown", "-",      "--",     "--home",          "-b"};
    EXPECT_EQ(QRVAppDelegate::filesFromArguments(arguments),
              (QStringList{"a.menuShortcuts", "-", "--home", "-b"}));
    EXPECT_TRUE(QRVAppDelegate::filesFromArguments({"quorvane"}).isEmpty());
}

// Files given at start reach openFileURL as absolute file addresses, before
// the main window is made.
class RecordingDelegate : public QRVAppDelegate {
  public:
    using QRVAppDelegate::QRVAppDelegate;
    bool openFileURL(const QUrl& url) override {
        opened << url;
        windowExisted = mainWindowController() != nullptr;
        return true;
    }
    QList<QUrl> opened;
    bool windowExisted = true;
};

TEST_F(ShellTest, FilesGivenAtStartGoToOpenFileURL) {
    RecordingDelegate app(platform.services, parts());
    app.setTelemetryStarter([](const QString&, const QList<TLMServiceClass>&) {});
    ASSERT_TRUE(app.launch({"request.menuShortcuts", "/tmp/other.menuShortcuts"}));
    EXPECT_EQ(
        app.opened,
        (QList<QUrl>{QUrl::fromLocalFile(QDir::current().absoluteFilePath("request.menuShortcuts")),
                     QUrl::fromLocalFile("/tmp/other.menuShortcuts")}));
    EXPECT_FALSE(app.windowExisted);
    ASSERT_NE(app.mainWindowController(), nullptr);

    // A later start's files reach the running copy, whose window comes forward.
    QWidget* window = app.mainWindowController()->window();
    window->hide();
    app.reopen({"/tmp/later.menuShortcuts"});
    EXPECT_EQ(app.opened.value(2), QUrl::fromLocalFile("/tmp/later.menuShortcuts"));
    EXPECT_TRUE(window->isVisible());
}

// Answers the move offer with "Move" and notes what the delegate would do if
// the last window closed at that moment.
class MoveAnswering final : public AlertPresenter {
  public:
    AlertResponse runModal(const Alert& alert) override {
        shown << alert.messageText;
        if (delegate)
            wouldQuitWhileOffered = delegate->applicationShouldTerminateAfterLastWindowClosed();
        return {};
    }
    void beep() override {}
    QRVAppDelegate* delegate = nullptr;
    QStringList shown;
    std::optional<bool> wouldQuitWhileOffered;
};

TEST_F(ShellTest, AMoveIntoApplicationsComesFirstAndMayEndTheLaunch) {
    moveSystem = {}; // started from the Downloads folder
    MoveAnswering alerts;
    const DesktopServices answering{platform.services, alerts, platform.pasteboard,
                                    platform.accessKit, platform.urlOpener};
    QRVAppDelegate app(answering, parts());
    app.setTelemetryStarter([this](const QString& secret, const QList<TLMServiceClass>& services) {
        telemetryStarts.append({secret, services});
    });
    alerts.delegate = &app;

    EXPECT_FALSE(app.launch({"request.menuShortcuts"})); // the moved copy takes over
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.wouldQuitWhileOffered, false);
    EXPECT_TRUE(app.applicationShouldTerminateAfterLastWindowClosed());
    EXPECT_TRUE(moveSystem.calls.first().startsWith("copy /home/me/Downloads/Quorvane.app"));
    EXPECT_EQ(app.mainWindowController(), nullptr);
    EXPECT_TRUE(telemetryStarts.isEmpty());
}

} // namespace
