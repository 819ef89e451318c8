#include "editor/QRVApplicationsArrayController.h"
#include "editor/QRVPopUpButtonMenu.h"
#include "editor/QRVShortcutsViewController.h"
#include "editor/QRVSourceListController.h"
#include "platform/plist/PlistCodec.h"
#include "support/EditorServices.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/RecordedMenus.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing::menus;
using namespace std::chrono_literals;

namespace {

QJsonObject notesMenus() {
    return application(
        {menuBarItem("Apple", {item("About This Mac")}), menuBarItem("Notes", {item("Quit Notes")}),
         menuBarItem("Format",
                     {submenu(item("Font"), {item("Bold"), item("Italic")}), item("Align")})});
}

class CatalogueControllerTest : public ::testing::Test {
  protected:
    CatalogueControllerTest() {
        world.run("com.example.notes", "Notes", 42, notesMenus());
        world.run("com.example.draw", "Draw", 43,
                  application({menuBarItem("Apple", {}), menuBarItem("Draw", {item("Line")})}));
        controller.view();
    }
    QRVAplicationPtr entry(const QString& bundleIdentifier) {
        for (const auto& e : controller.applications())
            if (e->bundleIdentifier() == bundleIdentifier)
                return e;
        return nullptr;
    }
    QStringList names() const {
        QStringList out;
        for (const auto& e : controller.applications())
            out << e->localizedName();
        return out;
    }

    qrv::testing::FakePlatform world;
    QRVShortcutsViewController controller{qrv::testing::editorServices(world)};
};

TEST_F(CatalogueControllerTest, TheListStartsWithAllApplicationsSelected) {
    EXPECT_EQ(names(), (QStringList{"All Applications", QString(), "Draw", "Notes"}));
    EXPECT_EQ(controller.application(), controller.allApplicationsApplication());
    EXPECT_EQ(controller.applicationsArrayController()->selectedObjects(),
              QRVAplicationList{controller.allApplicationsApplication()});

    // Selecting in the list selects the application; an empty selection means All Applications.
    auto* arrayController = controller.applicationsArrayController();
    arrayController->setSelectedObjects({entry("com.example.notes")});
    EXPECT_EQ(controller.application(), entry("com.example.notes"));
    arrayController->selectionModel()->clearSelection();
    EXPECT_EQ(controller.application(), controller.allApplicationsApplication());
    EXPECT_EQ(arrayController->selectedObjects(),
              QRVAplicationList{controller.allApplicationsApplication()});

    // Rebuilding keeps the selection.
    controller.setApplication(entry("com.example.draw"));
    world.run("com.example.aaa", "Aardvark", 44);
    controller.loadApplications();
    EXPECT_EQ(arrayController->selectedObjects(), QRVAplicationList{entry("com.example.draw")});
    EXPECT_EQ(controller.application(), entry("com.example.draw"));
}

TEST_F(CatalogueControllerTest, TheSeparatorRowIsNeverSelected) {
    auto* list = controller.applicationsTableView();
    QWidget* window = controller.view();
    window->resize(600, 400);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_FALSE(controller.applicationsSourceListController()->shouldSelectRow(1));
    EXPECT_TRUE(controller.applicationsSourceListController()->shouldSelectRow(2));
    EXPECT_EQ(controller.applicationsSourceListController()->itemAtRow(7), nullptr);

    const QRect separatorRow = list->visualRect(list->model()->index(1, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, separatorRow.center());
    EXPECT_EQ(controller.application(), controller.allApplicationsApplication());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(3, 0)).center());
    EXPECT_EQ(controller.application(), entry("com.example.notes"));
    // The arrow keys step over it.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(controller.application(), entry("com.example.draw"));
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(controller.application(), controller.allApplicationsApplication());
}

TEST_F(CatalogueControllerTest, SettingNoApplicationSelectsAllApplications) {
    controller.setApplication(entry("com.example.draw"));
    controller.setApplication(nullptr);
    EXPECT_EQ(controller.application(), controller.allApplicationsApplication());
    EXPECT_EQ(controller.applicationsArrayController()->selectedObjects(),
              QRVAplicationList{controller.allApplicationsApplication()});
    // It is then the entry already selected: nothing is saved or reloaded.
    controller.setNeedsSaving(true);
    controller.setApplication(nullptr);
    EXPECT_TRUE(controller.needsSaving());
}

TEST_F(CatalogueControllerTest, MenusAreReadHalfASecondAfterTheLastRequest) {
    const auto notes = entry("com.example.notes");
    controller.setApplication(notes);
    world.scheduler.advance(300ms);
    controller.loadApplicationMenuItems(); // coalesces with the first request
    world.scheduler.advance(499ms);
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(world.accessibility.totalRequests(), 0);
    world.scheduler.advance(1ms);

    EXPECT_EQ(titles(controller.topLevelMenuItems()), (QStringList{"Apple", "Format", "Notes"}));
    EXPECT_EQ(titles(controller.allMenuItems()),
              (QStringList{"About This Mac", "Align", "Bold", "Font", "Italic", "Quit Notes"}));
    EXPECT_EQ(titles(controller.nodeMenuItems()), QStringList{"Font"});
    EXPECT_EQ(titles(controller.leafMenuItems()),
              (QStringList{"About This Mac", "Align", "Bold", "Italic", "Quit Notes"}));
    EXPECT_EQ(notes->allMenuItems(), controller.allMenuItems()); // cached on the entry

    // Reselecting shows the cached menus without reading again.
    const qint64 requests = world.accessibility.totalRequests();
    controller.setApplication(nullptr);
    controller.setApplication(notes);
    world.scheduler.advance(2s);
    EXPECT_EQ(controller.allMenuItems(), notes->allMenuItems());
    EXPECT_EQ(world.accessibility.totalRequests(), requests);
}

TEST_F(CatalogueControllerTest, NothingIsReadWithoutThePermissionOrFromAQuitApplication) {
    world.permissions.set(PermissionStatus::kAssistive, PermissionStatus::kDenied);
    controller.setApplication(entry("com.example.notes"));
    world.scheduler.advance(1s);
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(world.accessibility.totalRequests(), 0);

    world.permissions.set(PermissionStatus::kAssistive, PermissionStatus::kGranted);
    world.workspace.quit(43);
    controller.loadApplications();
    controller.setApplication(entry("com.example.draw")); // still listed
    world.scheduler.advance(1s);
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(controller.nodeMenuItems(), QRVMenuItemList{});
    EXPECT_EQ(controller.leafMenuItems(), QRVMenuItemList{});
}

TEST_F(CatalogueControllerTest, StaleResultsAreDroppedBeforeDuringAndAfterFlattening) {
    world.scheduler.setBackgroundRunsAutomatically(false);
    const auto notes = entry("com.example.notes");
    const auto draw = entry("com.example.draw");
    world.scheduler.advance(1s);
    world.scheduler.runBackground(); // All Applications: nothing recorded for this process
    world.scheduler.runPending();

    // Before: the selection moves while the task waits for the background queue.
    controller.setApplication(notes);
    world.scheduler.advance(500ms);
    controller.setApplication(draw);
    world.scheduler.runBackground();
    world.scheduler.runPending();
    EXPECT_EQ(notes->topLevelMenuItems(), std::nullopt);

    // During: it moves while the tree is flattened.
    controller.setFlatteningObserver([&] { controller.setApplication(notes); });
    world.scheduler.advance(500ms);
    world.scheduler.runBackground();
    world.scheduler.runPending();
    EXPECT_EQ(draw->topLevelMenuItems(), std::nullopt);
    controller.setFlatteningObserver({});

    // After: it moves before the result reaches the main thread.
    world.scheduler.advance(500ms);
    EXPECT_EQ(world.scheduler.runBackground(), 1);
    controller.setApplication(draw);
    world.scheduler.runPending();
    EXPECT_EQ(notes->topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(controller.application(), draw);

    // Undisturbed, the read goes through.
    world.scheduler.advance(500ms);
    world.scheduler.runBackground();
    world.scheduler.runPending();
    EXPECT_EQ(titles(draw->topLevelMenuItems()), (QStringList{"Apple", "Draw"}));
}

TEST_F(CatalogueControllerTest, ALaunchedApplicationIsReadEveryTwoSecondsAtMost11MoreTimes) {
    controller.setApplication(entry("com.example.notes"));
    world.scheduler.advance(1s);
    const QString id = "com.example.late";
    const auto selectLate = [&] {
        world.workspace.launch({id, "Late", {}, 50});
        controller.setApplication(entry(id));
        world.accessibility.resetRequests();
        world.workspace.launch({id, "Late", {}, 51}); // the launch of the selected application
    };
    selectLate();
    world.scheduler.advance(60s);
    EXPECT_EQ(world.accessibility.totalRequests(),
              12); // the first read and 11 retries, one request each
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);

    // Once the menus can be read, the retries stop.
    world.workspace.quit(50);
    world.workspace.quit(51);
    world.accessibility.addApplication(
        61, application({menuBarItem("Apple", {}), menuBarItem("Late", {})}));
    world.workspace.launch({id, "Late", {}, 61});
    world.accessibility.resetRequests();
    world.scheduler.advance(4s);
    EXPECT_EQ(titles(controller.topLevelMenuItems()), (QStringList{"Apple", "Late"}));
    const qint64 requests = world.accessibility.totalRequests();
    world.scheduler.advance(30s);
    EXPECT_EQ(world.accessibility.totalRequests(), requests);
}

TEST_F(CatalogueControllerTest, ActivationDropsCachedMenus) {
    const auto notes = entry("com.example.notes");
    const auto draw = entry("com.example.draw");
    controller.setApplication(draw);
    world.scheduler.advance(1s);
    controller.setApplication(notes);
    world.scheduler.advance(1s);
    ASSERT_TRUE(draw->topLevelMenuItems().has_value());
    const auto before = notes->topLevelMenuItems();
    ASSERT_TRUE(before.has_value());

    world.workspace.activate(43); // another listed application: only its cache goes
    EXPECT_EQ(draw->topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(controller.topLevelMenuItems(), before);

    world.workspace.activate(42); // the selected one: dropped and read again
    EXPECT_EQ(notes->topLevelMenuItems(), std::nullopt);
    world.scheduler.advance(500ms);
    ASSERT_TRUE(notes->topLevelMenuItems().has_value());
    EXPECT_NE(notes->topLevelMenuItems()->first(), before->first());
}

TEST_F(CatalogueControllerTest, SelectingByPath) {
    // An identifier that differs only in case selects the listed entry.
    controller.selectApplicationWithPath(
        world.makeAppBundle("Notes Copy", {{"CFBundleIdentifier", "COM.EXAMPLE.NOTES"}}));
    EXPECT_EQ(controller.application(), entry("com.example.notes"));
    EXPECT_EQ(controller.applications().size(), 4);

    controller.selectApplicationWithPath(
        world.makeAppBundle("Brush", {{"CFBundleIdentifier", "com.example.brush"}}));
    EXPECT_EQ(names(), (QStringList{"All Applications", QString(), "Brush.app", "Draw", "Notes"}));
    EXPECT_EQ(controller.application(), entry("com.example.brush"));
    controller.loadApplications(); // kept while selected
    EXPECT_NE(entry("com.example.brush"), nullptr);

    controller.selectApplicationWithPath(
        world.makeAppBundle("Nameless", {{"CFBundleIdentifier", ""}}));
    controller.selectApplicationWithPath(world.home.file("nothing-here"));
    EXPECT_EQ(world.alerts.beeps, 2);
    EXPECT_EQ(controller.application(), entry("com.example.brush"));
}

TEST(QRVPopUpButtonMenu, TheSeparatorTitleInsertsASeparator) {
    QRVPopUpButtonMenu menu;
    menu.addItem("First", QKeySequence("Ctrl+1"));
    menu.addItem("Last");
    QAction* separator = menu.insertItem("%:/ SEPARATOR", {}, 1);
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_EQ(menu.actions().at(1), separator);
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_EQ(menu.actions().at(0)->shortcut(), QKeySequence("Ctrl+1"));
    EXPECT_FALSE(menu.actions().at(2)->isSeparator());
}

} // namespace

namespace {

QVariant storedTable(qrv::testing::FakePlatform& world, const QString& domain) {
    return world.preferences.copyValue("NSUserKeyEquivalents", domain);
}

TEST_F(CatalogueControllerTest, SelectionLoadsTheRecordsAndSavesPendingEdits) {
    (void)world.preferences.setValue("NSUserKeyEquivalents", QVariantMap{{"Bold", "@b"}},
                                     "com.example.notes");
    const auto notes = entry("com.example.notes");
    controller.setApplication(notes);
    ASSERT_TRUE(controller.menuShortcuts().has_value());
    ASSERT_EQ(controller.menuShortcuts()->size(), 1);
    const QRVMenuShortcutPtr bold = controller.menuShortcuts()->first();
    EXPECT_EQ(bold->bundleIdentifier(), "com.example.notes");

    // Reselecting the same entry neither saves nor reloads.
    bold->setKeyEquivalent("@~b");
    controller.setNeedsSaving(true);
    controller.setApplication(notes);
    EXPECT_EQ(controller.menuShortcuts()->first(), bold);
    EXPECT_EQ(storedTable(world, "com.example.notes"), (QVariantMap{{"Bold", "@b"}}));

    // Becoming active with unchanged preferences keeps the very records.
    controller.applicationDidBecomeActiveNotification();
    EXPECT_EQ(controller.menuShortcuts()->first(), bold);

    // Moving on writes the pending edit for the application it belongs to.
    controller.setApplication(entry("com.example.draw"));
    EXPECT_FALSE(controller.needsSaving());
    EXPECT_EQ(storedTable(world, "com.example.notes"), (QVariantMap{{"Bold", "@~b"}}));
    ASSERT_EQ(controller.menuShortcuts()->size(), 1); // Draw has none: one placeholder row
    EXPECT_TRUE(controller.menuShortcuts()->first()->isPlaceholder());
    EXPECT_EQ(controller.menuShortcuts()->first()->bundleIdentifier(), "com.example.draw");

    // A change made by another program replaces the list on the next activation.
    (void)world.preferences.setValue("NSUserKeyEquivalents", QVariantMap{{"Line", "@l"}},
                                     "com.example.draw");
    controller.applicationDidBecomeActiveNotification();
    EXPECT_EQ(controller.menuShortcuts()->first()->title(), "Line");
}

TEST_F(CatalogueControllerTest, RecordsThatCouldNotAllBeStoredStayPending) {
    controller.setApplication(entry("com.example.notes"));
    controller.setMenuShortcuts(
        QList<QRVMenuShortcutPtr>{QRVMenuShortcut::create("com.example.notes", "A", "@a"),
                                  QRVMenuShortcut::create("com.example.notes", "", "@b")});
    controller.saveApplicationShortcuts();
    EXPECT_TRUE(controller.needsSaving());
    EXPECT_EQ(storedTable(world, "com.example.notes"), (QVariantMap{{"A", "@a"}}));
    controller.applicationWillTerminateNotification(); // saves again, still one short
    EXPECT_TRUE(controller.needsSaving());
}

} // namespace
