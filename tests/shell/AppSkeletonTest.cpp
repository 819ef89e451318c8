#include "ShellFixture.h"
#include "editor/QRVApplicationsArrayController.h"
#include "editor/QRVShortcutsViewController.h"
#include "menus/QRVMenuItem.h"
#include "platform/AppInfo.h"
#include "platform/NativePlatform.h"
#include "platform/linux/LinuxPrivacySettings.h"
#include "platform/testing/FakeAccessKit.h"
#include "platform/testing/FakeBundleMoveSystem.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/widgets/DesktopAccessKit.h"
#include "shell/QRVAppDelegate.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVNativeSupport.h"
#include "shell/QRVWelcomeViewController.h"
#include "shell/QRVWelcomeWindowController.h"
#include "support/HelperPrograms.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

// The application as it starts: real services on a temporary home, launched.
class LaunchedApp : public ::testing::Test {
  protected:
    void SetUp() override {
        auto created = NativePlatform::create(home.path());
        ASSERT_TRUE(created.ok()) << created.error().toStdString();
        native = std::move(created).value();
        moveSystem.bundle = {}; // started from a build folder: nothing to move
        const DesktopServices services = native->desktopServices(alerts, accessKit);
        support = std::make_unique<QRVNativeSupport>(services);
        delegate = std::make_unique<QRVAppDelegate>(
            services, AppDelegateParts{moveSystem, support->support, filePanels, home.path()});
        // No crash handlers in the test process.
        delegate->setTelemetryStarter([](const QString&, const QList<TLMServiceClass>&) {});
        ASSERT_TRUE(delegate->launch());
    }

    qrv::testing::TempHome home;
    qrv::testing::ScriptedAlertPresenter alerts;
    qrv::testing::FakeBundleMoveSystem moveSystem;
    qrv::testing::ScriptedFilePanels filePanels;
    qrv::testing::FakePermissionStatus permissions;
    qrv::testing::FakeAccessKit accessKit{permissions};
    std::unique_ptr<NativePlatform> native;
    std::unique_ptr<QRVNativeSupport> support;
    std::unique_ptr<QRVAppDelegate> delegate;
};

TEST_F(LaunchedApp, TheWindowListsThisProgramWhoseMenusReadThroughAccessibility) {
    QWidget* window = delegate->mainWindowController()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), "Quorvane");
    QRVShortcutsViewController* content =
        delegate->mainWindowController()->shortcutsViewController();
    QAbstractItemModel* list = content->applicationsArrayController();
    QStringList names;
    for (int row = 0; row < list->rowCount(); ++row)
        names << list->index(row, 0).data().toString();
    EXPECT_EQ(names, (QStringList{"All Applications", "", "Quorvane"}));

    // This program's own menus, read in place: the File menu with its Close item.
    content->setApplication(content->applications().last());
    content->loadApplicationMenuItemsNow();
    const auto menus = content->topLevelMenuItems();
    ASSERT_TRUE(menus.has_value());
    const auto titled = [](const QRVMenuItemList& items, const QString& title) {
        const auto found = std::find_if(items.begin(), items.end(),
                                        [&](const auto& item) { return item->title() == title; });
        return found == items.end() ? nullptr : *found;
    };
    const QRVMenuItemPtr file = titled(*menus, "File");
    ASSERT_NE(file, nullptr);
    const QRVMenuItemPtr close = titled(file->children(), "Close");
    ASSERT_NE(close, nullptr);
    // Close is the platform's standard key (Ctrl+F4 here): Command and F4.
    EXPECT_EQ(close->keyEquivalent(), QString("@") + QChar(0xF707));

    // All Applications: this program's first menu alone.
    content->setApplication(nullptr);
    content->loadApplicationMenuItemsNow();
    const auto first = content->topLevelMenuItems();
    ASSERT_TRUE(first.has_value());
    ASSERT_EQ(first->size(), 1);
    EXPECT_EQ(first->first()->title(), "Quorvane");
    EXPECT_NE(titled(first->first()->children(), "Quit Quorvane"), nullptr);
}

QProcess* startApp(const QStringList& args, const QProcessEnvironment& env) {
    auto* app = new QProcess;
    app->setProcessEnvironment(env);
    app->start(qrv::testing::helperProgram(QStringLiteral("quorvane")), args);
    return app;
}

// Qt itself would end with a fatal error and a core dump.
TEST(AppSkeleton, WithoutAReachableDisplayItExitsWithOneSentence) {
    const QString unreachable = "quorvane: the display “:9871” cannot be reached; start it in a "
                                "desktop session, or use quorvane-cli.\n";
    const QList<std::pair<QStringList, QString>> cases{
        {{"DISPLAY="},
         "quorvane: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is "
         "set); start it in a desktop session, or use quorvane-cli.\n"},
        {{"DISPLAY=:9871"}, unreachable},
        {{"DISPLAY=:9871", "QT_QPA_PLATFORM=xcb"}, unreachable},
    };
    for (const auto& [settings, message] : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        for (const QString& setting : settings)
            env.insert(setting.section('=', 0, 0), setting.section('=', 1));
        std::unique_ptr<QProcess> app(startApp({}, env));
        ASSERT_TRUE(app->waitForFinished(30000));
        EXPECT_EQ(app->exitStatus(), QProcess::NormalExit) << settings.join(' ').toStdString();
        EXPECT_EQ(app->exitCode(), 1);
        EXPECT_EQ(QString::fromUtf8(app->readAllStandardError()), message);
    }
}

// A home below a file: it cannot even be made.
QString unusableHome(const qrv::testing::TempHome& home) {
    QFile blocker(home.file("blocker"));
    EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
    return home.file("blocker/home");
}

// A home this user cannot change (here one that cannot even be made) still
// opens the program: the welcome window says which folder stands in the way.
TEST(AppSkeleton, AHomeThatCannotBeChangedOpensOnTheWelcomeWindowThatNamesIt) {
    qrv::testing::TempHome home;
    const QString unusable = unusableHome(home);
    EXPECT_FALSE(NativePlatform::create(unusable).ok()); // what the command-line tool gets
    auto created = NativePlatform::create(unusable, NativePlatform::HomeUse::MayBeReadOnly);
    ASSERT_TRUE(created.ok()) << created.error().toStdString();
    const std::unique_ptr<NativePlatform> native = std::move(created).value();
    qrv::testing::ScriptedAlertPresenter alerts;
    const LinuxPrivacySettings privacySettings(native->services().home);
    DesktopAccessKit accessKit(native->services().permissions, privacySettings, alerts);
    const DesktopServices services = native->desktopServices(alerts, accessKit);
    qrv::testing::FakeBundleMoveSystem moveSystem;
    moveSystem.bundle = {};
    QRVNativeSupport support(services);
    qrv::testing::ScriptedFilePanels filePanels;
    QRVAppDelegate delegate(services, {moveSystem, support.support, filePanels, QString()});
    delegate.setTelemetryStarter([](const QString&, const QList<TLMServiceClass>&) {});
    ASSERT_TRUE(delegate.launch());
    ASSERT_TRUE(qrv::testing::waitUntil(
        [&] { return delegate.welcomeWindowController() != nullptr; }, 10000));
    QRVWelcomeViewController* welcome = delegate.welcomeWindowController()->welcomeViewController();
    EXPECT_TRUE(welcome->view()->isVisible());
    ASSERT_EQ(welcome->fdaButton()->text(), "Grant Permission");
    welcome->fdaButton()->click();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].messageText, "Full Disk Access");
    EXPECT_TRUE(alerts.shown[0].informativeText.contains(unusable))
        << alerts.shown[0].informativeText.toStdString();
    EXPECT_TRUE(alerts.shown[0].informativeText.contains("--home"));
    delegate.mainWindowController()->window()->close();
}

// The program itself, too: it names what it could not make and goes on.
TEST(AppSkeleton, AHomeThatCannotBeChangedDoesNotEndTheRun) {
    qrv::testing::TempHome home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QProcess> app(startApp({"--home", unusableHome(home)}, env));
    ASSERT_TRUE(app->waitForStarted());
    QByteArray err;
    EXPECT_TRUE(qrv::testing::waitUntil(
        [&] {
            err += app->readAllStandardError();
            return err.contains("could not be created") || app->state() == QProcess::NotRunning;
        },
        30000));
    // Not the home, only the support folder inside it (edit requests) is missing.
    EXPECT_TRUE(err.contains("blocker/home/Library/Application Support")) << err.toStdString();
    EXPECT_FALSE(app->waitForFinished(1000)) << "exit code " << app->exitCode();
    app->kill();
    app->waitForFinished();
}

} // namespace
