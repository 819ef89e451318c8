#include "ShortcutsEditorFixture.h"
#include "editor/QRVApplicationsArrayController.h"
#include "editor/QRVPopUpButtonMenu.h"
#include "editor/QRVSourceListController.h"
#include "support/RecordedMenus.h"

#include <QAccessible>
#include <QToolButton>

using namespace qrv;
using namespace qrv::testing;
using namespace qrv::testing::menus;
using namespace std::chrono_literals;

namespace {

class CatalogueControllerTest : public ShortcutsEditorFixture {
  protected:
    CatalogueControllerTest() {
        world.accessibility.addApplication(
            42, application(
                    {menuBarItem("Apple", {item("About This Mac")}),
                     menuBarItem("Notes", {item("Quit Notes")}),
                     menuBarItem("Format", {submenu(item("Font"), {item("Bold"), item("Italic")}),
                                            item("Align")})}));
        world.accessibility.addApplication(
            43, application({menuBarItem("Apple", {}), menuBarItem("Draw", {item("Line")})}));
    }
    QStringList names() const {
        QStringList out;
        for (const auto& e : controller.applications())
            out << e->localizedName();
        return out;
    }
    QRVAplicationPtr all() const { return controller.allApplicationsApplication(); }
};

TEST_F(CatalogueControllerTest, TheListStartsWithAllApplicationsSelected) {
    EXPECT_EQ(names(), (QStringList{"All Applications", QString(), "Draw", "Notes"}));
    EXPECT_EQ(controller.application(), all());
    auto* arrayController = controller.applicationsArrayController();
    EXPECT_EQ(arrayController->selectedObjects(), QRVAplicationList{all()});

    // Selecting in the list selects the application; an empty selection means All Applications.
    arrayController->setSelectedObjects({entry(kNotes)});
    EXPECT_EQ(controller.application(), entry(kNotes));
    arrayController->selectionModel()->clearSelection();
    EXPECT_EQ(controller.application(), all());
    EXPECT_EQ(arrayController->selectedObjects(), QRVAplicationList{all()});

    // Rebuilding keeps the selection.
    select(kDraw);
    world.run("com.example.aaa", "Aardvark", 44);
    controller.loadApplications();
    EXPECT_EQ(arrayController->selectedObjects(), QRVAplicationList{entry(kDraw)});
    EXPECT_EQ(controller.application(), entry(kDraw));

    // No application is All Applications, selected in the list too.
    controller.setApplication(nullptr);
    EXPECT_EQ(controller.application(), all());
    EXPECT_EQ(arrayController->selectedObjects(), QRVAplicationList{all()});
}

// Selecting the entry already selected neither saves nor reloads.
TEST_F(CatalogueControllerTest, ReselectingTheSameEntryNeitherSavesNorReloads) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    const QRVMenuShortcutPtr bold = rows().value(0);
    ASSERT_NE(bold, nullptr);
    bold->setKeyEquivalent("@~b");
    controller.setNeedsSaving(true);
    select(kNotes);
    EXPECT_EQ(rows().value(0), bold);
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@b"}}));
    EXPECT_TRUE(controller.needsSaving());

    controller.setApplication(nullptr);
    controller.setNeedsSaving(true);
    controller.setApplication(nullptr);
    EXPECT_TRUE(controller.needsSaving());
}

TEST_F(CatalogueControllerTest, TheSeparatorRowIsNeverSelected) {
    auto* list = controller.applicationsTableView();
    EXPECT_EQ(controller.applicationsSourceListController()->itemAtRow(7), nullptr);
    auto clickRow = [list](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    };
    clickRow(1);
    EXPECT_EQ(controller.application(), all());
    clickRow(3);
    EXPECT_EQ(controller.application(), entry(kNotes));
    // The arrow keys step over it.
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(controller.application(), entry(kDraw));
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(controller.application(), all());
}

TEST_F(CatalogueControllerTest, AScreenReaderHearsEveryRowAndTheAddButtonByName) {
    auto* list = controller.applicationsTableView();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(table, nullptr);
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << table->tableInterface()->cellAt(row, 0)->text(QAccessible::Name);
    EXPECT_EQ(names.count(QStringLiteral("Separator")), 1) << names.join(u'|').toStdString();
    EXPECT_FALSE(names.contains(QString())) << names.join(u'|').toStdString();
    auto* add = controller.view()->findChild<QToolButton*>("addApplicationButton");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(add)->text(QAccessible::Name),
              "Add Application");
}

// The separator has no identifier either, but it is not All Applications:
// selected by a program, it reads and writes no table at all.
TEST_F(CatalogueControllerTest, TheSeparatorReadsAndWritesNoTable) {
    storeTable(PreferenceStore::kAnyApplication, {{"Copy", "@c"}});
    controller.setApplication(controller.separatorApplication());
    EXPECT_FALSE(controller.menuShortcuts().has_value());
    controller.setMenuShortcuts(QList<QRVMenuShortcutPtr>{record("Save", "@s", {})});
    controller.saveApplicationShortcuts();
    EXPECT_EQ(world.preferences.copyValue(kTableKey, PreferenceStore::kAnyApplication),
              QVariant(QVariantMap{{"Copy", "@c"}}));
    EXPECT_TRUE(world.notifications.posted.isEmpty());
}

TEST_F(CatalogueControllerTest, MenusAreReadHalfASecondAfterTheLastRequest) {
    const auto notes = entry(kNotes);
    controller.setApplication(notes);
    world.scheduler.advance(300ms);
    controller.loadApplicationMenuItems(); // coalesces with the first request
    world.scheduler.advance(499ms);
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(world.accessibility.totalRequests(), 0);
    world.scheduler.advance(1ms);

    EXPECT_EQ(menus::titles(controller.topLevelMenuItems()),
              (QStringList{"Apple", "Format", "Notes"}));
    EXPECT_EQ(menus::titles(controller.allMenuItems()),
              (QStringList{"About This Mac", "Align", "Bold", "Font", "Italic", "Quit Notes"}));
    EXPECT_EQ(menus::titles(controller.nodeMenuItems()), QStringList{"Font"});
    EXPECT_EQ(menus::titles(controller.leafMenuItems()),
              (QStringList{"About This Mac", "Align", "Bold", "Italic", "Quit Notes"}));

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
    select(kNotes);
    world.scheduler.advance(1s);
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(world.accessibility.totalRequests(), 0);

    world.permissions.set(PermissionStatus::kAssistive, PermissionStatus::kGranted);
    world.workspace.quit(43);
    controller.loadApplications();
    select(kDraw); // still listed
    world.scheduler.advance(1s);
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);
    EXPECT_EQ(controller.nodeMenuItems(), QRVMenuItemList{});
    EXPECT_EQ(controller.leafMenuItems(), QRVMenuItemList{});
}

TEST_F(CatalogueControllerTest, StaleResultsAreDroppedBeforeDuringAndAfterFlattening) {
    world.scheduler.setBackgroundRunsAutomatically(false);
    const auto notes = entry(kNotes);
    const auto draw = entry(kDraw);
    const auto runQueues = [&] {
        world.scheduler.runBackground();
        world.scheduler.runPending();
    };
    world.scheduler.advance(1s);
    runQueues(); // All Applications: nothing recorded for this process

    // Before: the selection moves while the task waits for the background queue.
    controller.setApplication(notes);
    world.scheduler.advance(500ms);
    controller.setApplication(draw);
    runQueues();
    EXPECT_EQ(notes->topLevelMenuItems(), std::nullopt);

    // During: it moves while the tree is flattened.
    controller.setFlatteningObserver([&] { controller.setApplication(notes); });
    world.scheduler.advance(500ms);
    runQueues();
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
    runQueues();
    EXPECT_EQ(menus::titles(draw->topLevelMenuItems()), (QStringList{"Apple", "Draw"}));
}

TEST_F(CatalogueControllerTest, ALaunchedApplicationIsReadEveryTwoSecondsAtMost11MoreTimes) {
    select(kNotes);
    world.scheduler.advance(1s);
    const QString id = "com.example.late";
    world.workspace.launch({id, "Late", {}, 50});
    select(id);
    world.accessibility.resetRequests();
    world.workspace.launch({id, "Late", {}, 51}); // the launch of the selected application
    world.scheduler.advance(60s);
    EXPECT_EQ(world.accessibility.totalRequests(), 12); // the first read and 11 retries
    EXPECT_EQ(controller.topLevelMenuItems(), std::nullopt);

    // Once the menus can be read, the retries stop.
    world.workspace.quit(50);
    world.workspace.quit(51);
    world.accessibility.addApplication(
        61, application({menuBarItem("Apple", {}), menuBarItem("Late", {})}));
    world.workspace.launch({id, "Late", {}, 61});
    world.accessibility.resetRequests();
    world.scheduler.advance(4s);
    EXPECT_EQ(menus::titles(controller.topLevelMenuItems()), (QStringList{"Apple", "Late"}));
    const qint64 requests = world.accessibility.totalRequests();
    world.scheduler.advance(30s);
    EXPECT_EQ(world.accessibility.totalRequests(), requests);
}

TEST_F(CatalogueControllerTest, ActivationDropsCachedMenus) {
    const auto notes = entry(kNotes);
    const auto draw = entry(kDraw);
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
    EXPECT_EQ(controller.application(), entry(kNotes));
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
}

} // namespace
