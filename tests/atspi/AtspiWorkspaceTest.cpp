// Running applications from the accessibility bus, matched to desktop entries.
#include "atspi/session/AtspiSession.h"
#include "platform/linux/AtspiApplications.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

std::optional<RunningApplication> find(const Workspace& workspace, qint64 processId) {
    for (const RunningApplication& running : workspace.runningApplications())
        if (running.processId == processId)
            return running;
    return std::nullopt;
}

TEST(AtspiWorkspace, ListsApplicationsOnTheBusUnderTheirDesktopEntries) {
    qrv::testing::AtspiSession session;
    if (!session.skipReason().isEmpty())
        GTEST_SKIP() << qPrintable(session.skipReason());
    ASSERT_TRUE(session.failure().isEmpty()) << qPrintable(session.failure());
    qrv::testing::TempHome home;
    const QString entries = bundles::defaultSearchPaths(home.path()).desktopEntryFolders.first();
    const QString entry = entries + QStringLiteral("/com.example.MenuTester.desktop");
    ASSERT_TRUE(qrv::testing::writeDesktopEntry(
        entry,
        QStringLiteral("Name=Menu Tester\nExec=%1 %U\n").arg(qrv::testing::menuTestAppPath())));

    atspi::Bus bus(session.sessionBus());
    AtspiApplications applications(bus, QCoreApplication::applicationPid());
    LinuxWorkspace workspace(home.path(), &applications);
    ASSERT_EQ(workspace.runningApplications().size(), 1); // this program alone, and listening
    QSignalSpy launched(&workspace, &Workspace::didLaunchApplication);
    QSignalSpy activated(&workspace, &Workspace::didActivateApplication);

    QProcess* app = session.startMenuTestApp();
    ASSERT_TRUE(app) << qPrintable(session.failure());
    const qint64 processId = app->processId();
    const auto running = find(workspace, processId);
    ASSERT_TRUE(running);
    EXPECT_EQ(running->bundleIdentifier, "com.example.MenuTester");
    EXPECT_EQ(running->localizedName, "Menu Tester");
    EXPECT_EQ(running->activationPolicy, RunningApplication::ActivationPolicy::Regular);
    EXPECT_EQ(workspace.runningApplicationsWithBundleIdentifier("com.example.MenuTester").size(),
              1);

    // The bus's events announce the launch and the window's activation.
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return !launched.isEmpty(); }));
    EXPECT_EQ(launched.first().first().value<RunningApplication>().bundleIdentifier,
              "com.example.MenuTester");
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return !activated.isEmpty(); }));
    EXPECT_EQ(activated.last().first().value<RunningApplication>().processId, processId);

    // Matched by window class when Exec names another program.
    ASSERT_TRUE(qrv::testing::writeDesktopEntry(
        entry, QStringLiteral("Name=Menu Tester\nExec=elsewhere\nStartupWMClass=menu test app\n")));
    QFile::remove(entries + QStringLiteral("/placeholder")); // the folder's time moves on
    QFile(entries + QStringLiteral("/placeholder")).open(QIODevice::WriteOnly);
    EXPECT_EQ(find(workspace, processId)->bundleIdentifier, "com.example.MenuTester");

    // Without an entry the application still shows, under its process name.
    QFile::remove(entry);
    const auto unmatched = find(workspace, processId);
    ASSERT_TRUE(unmatched);
    EXPECT_EQ(unmatched->bundleIdentifier, "qrv-menu-test-app");
    EXPECT_EQ(unmatched->localizedName, "qrv-menu-test-app");

    app->kill();
    app->waitForFinished(10000);
    EXPECT_TRUE(qrv::testing::waitUntil([&] { return !find(workspace, processId); }));
}

} // namespace
