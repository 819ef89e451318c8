// quorvane-cli apps and menus against a running application on a private
// accessibility bus, and the catalogue the editor reads its titles from.
#include "atspi/session/AtspiSession.h"
#include "menus/QRVApplicationCatalogue.h"
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/AtspiApplications.h"
#include "platform/linux/LinuxAccessibility.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/testing/RecordedAccessibility.h"
#include "support/FakePlatform.h"
#include "support/HelperPrograms.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

class AtspiCli : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!session.skipReason().isEmpty())
            GTEST_SKIP() << qPrintable(session.skipReason());
        ASSERT_TRUE(session.failure().isEmpty()) << qPrintable(session.failure());
        ASSERT_TRUE(qrv::testing::writeDesktopEntry(
            session.dataHome() + QStringLiteral("/applications/com.example.MenuTester.desktop"),
            QStringLiteral("Name=Menu Tester\nExec=%1\n").arg(qrv::testing::menuTestAppPath())));
        app = session.startMenuTestApp();
        ASSERT_TRUE(app) << qPrintable(session.failure());
    }

    // Runs quorvane-cli in the session; answers its exit code.
    int cli(const QStringList& arguments) {
        const qrv::testing::CliRun run = session.runCli(home.path(), arguments);
        out = run.out;
        err = run.err;
        return run.status;
    }

    qrv::testing::AtspiSession session;
    qrv::testing::TempHome home;
    QProcess* app = nullptr;
    QString out, err;
};

// The declaration without what the menus form leaves out.
QJsonArray titlesAndKeys(QJsonArray items) {
    for (auto item = items.begin(); item != items.end(); ++item) {
        QJsonObject object = item->toObject();
        object.remove(QStringLiteral("checked"));
        object.remove(QStringLiteral("enabled"));
        if (object.contains(u"children"))
            object.insert(QStringLiteral("children"),
                          titlesAndKeys(object.value(u"children").toArray()));
        *item = object;
    }
    return items;
}

TEST_F(AtspiCli, ListsTheRunningApplicationAndPrintsItsMenuTreeWithItsKeys) {
    ASSERT_EQ(cli({QStringLiteral("apps")}), 0) << qPrintable(err);
    EXPECT_TRUE(out.contains(u"\ncom.example.MenuTester\tMenu Tester\n")) << qPrintable(out);

    ASSERT_EQ(cli({QStringLiteral("menus"), QStringLiteral("com.example.MenuTester"),
                   QStringLiteral("--json")}),
              0)
        << qPrintable(err);
    QProcess declare;
    declare.start(qrv::testing::menuTestAppPath(), {QStringLiteral("--declare")});
    declare.waitForFinished(20000);
    EXPECT_EQ(QJsonDocument::fromJson(out.toUtf8()).array(),
              titlesAndKeys(QJsonDocument::fromJson(declare.readAllStandardOutput()).array()));

    // By name, for people: two spaces a level, the key after a tab.
    ASSERT_EQ(cli({QStringLiteral("menus"), QStringLiteral("menu tester")}), 0) << qPrintable(err);
    EXPECT_TRUE(out.startsWith(u"File\n  New\t⌘N\n")) << qPrintable(out);
    EXPECT_TRUE(out.contains(u"\n      Deeper Item\t⌃⌥D\n")) << qPrintable(out);
    EXPECT_TRUE(out.contains(u"\n  Next Tab\t⌥→\n")) << qPrintable(out);

    EXPECT_EQ(cli({QStringLiteral("menus"), QStringLiteral("com.example.None")}), 1);
    EXPECT_TRUE(err.contains(u"no running application “com.example.None”")) << qPrintable(err);
    EXPECT_EQ(cli({QStringLiteral("menus")}), 2);

    ASSERT_TRUE(session.setAccessibilityEnabled(false));
    EXPECT_EQ(cli({QStringLiteral("menus"), QString::number(app->processId())}), 1);
    EXPECT_TRUE(err.contains(u"accessibility is turned off")) << qPrintable(err);
}

TEST_F(AtspiCli, TheCatalogueReadsTheRunningApplicationsMenus) {
    atspi::Bus bus(session.sessionBus());
    AtspiAccessibility busAccessibility(bus);
    qrv::testing::RecordedAccessibility own;
    LinuxAccessibility accessibility(own, busAccessibility, QCoreApplication::applicationPid());
    AtspiApplications applications(bus, QCoreApplication::applicationPid());
    LinuxWorkspace workspace(home.path(), &applications);
    // The doubles, but for the accessibility and the workspace of the bus.
    qrv::testing::FakePlatform world;
    const Services services{world.home.path(), world.preferences,    world.defaults,
                            world.scheduler,   world.keyboardLayout, accessibility,
                            workspace,         world.permissions,    world.notifications,
                            world.hotKeys,     world.systemLog,      world.http};

    // This process has no desktop entry for it: it runs under its process name.
    const auto entry = std::make_shared<QRVAplication>(QStringLiteral("qrv-menu-test-app"),
                                                       QStringLiteral("qrv-menu-test-app"));
    const auto all = QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(
        QRVApplicationCatalogue::menuItemsForApplication(services, *entry));
    ASSERT_TRUE(all);
    QStringList titles;
    for (const QRVMenuItemPtr& item : *all)
        titles << item->title();
    for (const char* title : {"Deeper Item", "Save As…", "Show Toolbar", "Contents"})
        EXPECT_TRUE(titles.contains(QString::fromUtf8(title))) << title;
}

} // namespace
