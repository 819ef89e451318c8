#include "menus/QRVApplicationCatalogue.h"
#include "platform/AppInfo.h"
#include "platform/plist/PlistCodec.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/RecordedMenus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing::menus;

namespace {

class CatalogueTest : public ::testing::Test {
  protected:
    QRVAplicationList rebuild(const QRVAplicationList& current = {},
                              const QRVAplicationPtr& selected = nullptr) {
        return QRVApplicationCatalogue::rebuiltApplications(world.services, current, selected, all,
                                                            separator);
    }
    static QStringList names(const QRVAplicationList& list) {
        QStringList out;
        for (const auto& entry : list)
            out << (entry->localizedName().isNull() ? QString("<separator>")
                                                    : entry->localizedName());
        return out;
    }

    qrv::testing::FakePlatform world;
    QRVAplicationPtr all = QRVApplicationCatalogue::makeAllApplicationsApplication();
    QRVAplicationPtr separator = QRVApplicationCatalogue::makeSeparatorApplication();
};

TEST(QRVAplication, EqualByBundleIdentifierAndNeverWithoutOne) {
    EXPECT_TRUE(QRVAplication("com.example.App", "One") ==
                QRVAplication("com.example.App", "Other"));
    EXPECT_FALSE(QRVAplication("com.example.App", "A") == QRVAplication("com.example.app", "A"));
    EXPECT_FALSE(QRVAplication(QString(), "All Applications") ==
                 QRVAplication(QString(), "All Applications"));
    EXPECT_FALSE(QRVAplication("com.example.App", "A").topLevelMenuItems().has_value());
}

TEST_F(CatalogueTest, ListsThisProgramBehindTheTwoPseudoEntries) {
    world.run(appinfo::kBundleIdentifier, appinfo::kApplicationName,
              QCoreApplication::applicationPid());
    const auto list = rebuild();
    EXPECT_EQ(names(list),
              (QStringList{"All Applications", "<separator>", appinfo::kApplicationName}));
    EXPECT_EQ(list.at(0), all);
    EXPECT_EQ(list.at(1), separator);
    EXPECT_TRUE(all->bundleIdentifier().isNull());
    EXPECT_FALSE(all->icon().isNull()); // the generic application icon
}

TEST_F(CatalogueTest, OneEntryPerIdentifierWithTheRunningApplicationsNameAndIcon) {
    const QString installed =
        world.makeAppBundle("Notes", {{"CFBundleIdentifier", "com.example.notes"},
                                      {"CFBundleName", "Notes (installed)"}});
    world.workspace.install("com.example.notes", installed);
    world.workspace.install("com.example.draw",
                            world.makeAppBundle("Draw", {{"CFBundleIdentifier", "com.example.draw"},
                                                         {"CFBundleName", "Draw"}}));
    world.registerApplications(
        {"com.example.notes", "com.example.draw", "com.example.missing", "NSGlobalDomain"});
    QIcon icon(QPixmap(4, 4));
    world.workspace.addRunning({"com.example.notes", "Notes", icon, 11});
    world.workspace.addRunning({"com.example.notes", "Notes", icon, 12});
    world.workspace.addRunning(
        {"com.example.agent", "Agent", {}, 13, RunningApplication::ActivationPolicy::Accessory});
    world.workspace.addRunning({"", "No identifier", {}, 14});

    auto list = rebuild();
    EXPECT_EQ(names(list), (QStringList{"All Applications", "<separator>", "Draw", "Notes"}));
    EXPECT_EQ(list.at(3)->icon().cacheKey(), icon.cacheKey());
    EXPECT_FALSE(list.at(2)->icon().isNull()); // the installed bundle's (generic) icon

    // Quitting keeps the entry, by identity; a rename while running shows.
    const auto notes = list.at(3);
    world.workspace.quit(11);
    world.workspace.quit(12);
    world.workspace.addRunning({"com.example.draw", "Draw 2", {}, 15});
    list = rebuild(list);
    EXPECT_EQ(names(list), (QStringList{"All Applications", "<separator>", "Draw 2", "Notes"}));
    EXPECT_EQ(list.at(3), notes);
}

// Only an absent name keeps a running application out; an empty one is a name.
TEST_F(CatalogueTest, ARunningApplicationNeedsANameButMayNameItselfEmpty) {
    world.workspace.addRunning({"com.example.nameless", QString(), {}, 16});
    world.workspace.addRunning({"com.example.blank", QStringLiteral(""), {}, 17});
    const auto list = rebuild();
    ASSERT_EQ(names(list), (QStringList{"All Applications", "<separator>", ""}));
    EXPECT_EQ(list.at(2)->bundleIdentifier(), "com.example.blank");
}

TEST_F(CatalogueTest, SortsByNameIgnoringCaseAndComparingNumbers) {
    for (const auto& [id, name] : QList<std::pair<QString, QString>>{
             {"a", "app 10"}, {"b", "App 9"}, {"c", "zebra"}, {"d", "Äpfel"}, {"e", "banana"}})
        world.run(id, name, 100 + id.at(0).unicode());
    const auto selected = std::make_shared<QRVAplication>("com.example.chosen", "Chosen");
    EXPECT_EQ(names(rebuild({}, selected)),
              (QStringList{"All Applications", "<separator>", "Äpfel", "App 9", "app 10", "banana",
                           "Chosen", "zebra"}));
    EXPECT_EQ(names(rebuild({}, all)).size(), 7); // All Applications is never added twice
}

TEST_F(CatalogueTest, NamesOfBundles) {
    const auto name = [&](const ApplicationBundle& bundle) {
        return QRVApplicationCatalogue::localizedNameForApplicationBundle(world.workspace, bundle);
    };
    ApplicationBundle bundle{
        "/x/Editor.app", "com.example.editor", {{"CFBundleName", "Info Name"}}, {}};
    EXPECT_EQ(name(bundle), "Info Name");
    bundle.infoDictionary.insert("CFBundleDisplayName", "Info Display");
    EXPECT_EQ(name(bundle), "Info Display");
    bundle.localizedInfoDictionary.insert("CFBundleName", "Localized Name");
    bundle.localizedInfoDictionary.insert("CFBundleDisplayName", "");
    EXPECT_EQ(name(bundle), "Localized Name");
    const ApplicationBundle bare{
        "/x/Bare Tool.app", "com.example.bare", {{"CFBundleName", 42}}, {}};
    EXPECT_EQ(name(bare), "Bare Tool");

    // Chosen by path, it is named by its display name only, else as the file manager shows it.
    const auto chosen = [&](const ApplicationBundle& b) {
        return QRVApplicationCatalogue::applicationForBundle(world.workspace, b);
    };
    EXPECT_EQ(chosen(bare)->localizedName(), "Bare Tool.app");
    EXPECT_EQ(chosen(bundle)->localizedName(), "Info Display");
    EXPECT_EQ(chosen({"/x/N.app", "", {}, {}}), nullptr);
}

QJsonObject foreignMenus() {
    return application({
        menuBarItem("Apple", {item("About This Mac"), submenu(item("Recent Items"), {item("One")}),
                              item("Force Quit, Please"), item("Log Out Jane, Now")}),
        menuBarItem("Notes", {item("About Notes"), submenu(item("Services"), {item("Mail")}),
                              item("Services"), item("Quit Notes, Now")}),
        menuBarItem("Edit", {item("Undo", {{"AXMenuItemCmdChar", "z"}}),
                             submenu(item("Find"), {item("Find\u2026"), item("Find Next")})}),
    });
}

TEST_F(CatalogueTest, MenusOfAnotherApplicationLoseSystemSubmenusCommaTailsAndServices) {
    world.run("com.example.notes", "Notes", 42, foreignMenus());
    const auto menus = QRVApplicationCatalogue::menuItemsForApplication(
        world.services, QRVAplication("com.example.notes", "Notes"));
    ASSERT_TRUE(menus.has_value());
    EXPECT_EQ(titles(menus), (QStringList{"Apple", "Edit", "Notes"})); // by title, not menu order
    EXPECT_EQ(titles(menus->at(0)->children()),
              (QStringList{"About This Mac", "Force Quit", "Log Out Jane"}));
    EXPECT_EQ(titles(menus->at(2)->children()),
              (QStringList{"About Notes", "Services", "Quit Notes, Now"}));
    EXPECT_TRUE(
        menus->at(2)->children().at(1)->children().isEmpty()); // only the Services submenu went

    const auto below = QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(menus);
    EXPECT_EQ(titles(below),
              (QStringList{"About Notes", "About This Mac", "Find", "Find Next", "Find\u2026",
                           "Force Quit", "Log Out Jane", "Quit Notes, Now", "Services", "Undo"}));
    const auto [nodes, leaves] = QRVApplicationCatalogue::splitNodesAndLeaves(*below);
    EXPECT_EQ(titles(nodes), QStringList{"Find"});
    EXPECT_EQ(leaves.size(), below->size() - 1);
    EXPECT_EQ(QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(std::nullopt),
              std::nullopt);
}

TEST_F(CatalogueTest, AllApplicationsAndThisProgramKeepTheirMenusWhole) {
    world.accessibility.addApplication(QCoreApplication::applicationPid(), foreignMenus());
    const auto first = QRVApplicationCatalogue::menuItemsForApplication(world.services, *all);
    EXPECT_EQ(titles(first), QStringList{"Apple"});
    EXPECT_EQ(
        titles(first->at(0)->children()),
        (QStringList{"About This Mac", "Recent Items", "Force Quit, Please", "Log Out Jane, Now"}));

    world.run(appinfo::kBundleIdentifier, "Quorvane", QCoreApplication::applicationPid());
    const auto own = QRVApplicationCatalogue::menuItemsForApplication(
        world.services, QRVAplication(appinfo::kBundleIdentifier, "Q"));
    EXPECT_EQ(titles(own->at(2)->children()),
              (QStringList{"About Notes", "Services", "Services", "Quit Notes, Now"}));
}

TEST_F(CatalogueTest, NoMenusWhenTheApplicationCannotBeRead) {
    const auto menusOf = [&](const QString& id) {
        return QRVApplicationCatalogue::menuItemsForApplication(world.services,
                                                                QRVAplication(id, "App"));
    };
    EXPECT_EQ(menusOf("com.example.none"), std::nullopt);
    world.run("com.example.silent", "Silent", 43); // runs, but nothing recorded: reads fail
    EXPECT_EQ(menusOf("com.example.silent"), std::nullopt);
    world.run("com.example.bar", "Bar", 44,
              QJsonObject{{"AXMenuBar", QJsonObject{{"AXChildren", failure(-25204)}}}});
    EXPECT_EQ(menusOf("com.example.bar"), std::nullopt);
    world.run("com.example.empty", "Empty", 45, application({}));
    EXPECT_EQ(menusOf("com.example.empty"), QRVMenuItemList{});
}

} // namespace
