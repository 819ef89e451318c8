#include "menus/QRVMenuItem.h"

#include "platform/testing/RecordedAccessibility.h"
#include "support/QtPrinters.h"
#include "support/RecordedMenus.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing::menus;

namespace {

const QString kEsc = QString(QChar(0x1B));

QStringList& capturedWarnings() {
    static QStringList warnings;
    return warnings;
}

class MenuItemTest : public ::testing::Test {
  protected:
    MenuItemTest() {
        capturedWarnings().clear();
        m_previousHandler =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&,
                                      const QString& message) { capturedWarnings() << message; });
    }
    ~MenuItemTest() override { qInstallMessageHandler(m_previousHandler); }

    // The item read from a recorded element (the root of process 1).
    QRVMenuItemPtr read(const QJsonObject& element) {
        ax.addApplication(1, element);
        return QRVMenuItem::initWithElement(ax, ax.createApplication(1), true);
    }
    QString keyOf(QJsonObject attributes) {
        return read(item("Item", std::move(attributes)))->keyEquivalent();
    }

    qrv::testing::RecordedAccessibility ax;

  private:
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_F(MenuItemTest, KeyEquivalentsFromModifierBitsCharactersAndGlyphs) {
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", "S"}, {"AXMenuItemCmdModifiers", 0}}), "@s");
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", "S"}}), "@s"); // no bits: Command
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", "x"}, {"AXMenuItemCmdModifiers", 8}}), "x");
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", "x"}, {"AXMenuItemCmdModifiers", 11}}), "~$x");
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", "k"}, {"AXMenuItemCmdModifiers", 6}}), "@~^k");
    EXPECT_EQ(keyOf({{"AXMenuItemCmdGlyph", 100}, {"AXMenuItemCmdModifiers", 0}}), "@\u2190");
    EXPECT_EQ(keyOf({{"AXMenuItemCmdGlyph", 9}}), QString("@") + QChar(0x14));
    EXPECT_EQ(keyOf({{"AXMenuItemCmdGlyph", 111}}), QString("@") + QChar(0xF704));
    EXPECT_EQ(keyOf({{"AXMenuItemCmdGlyph", 130}}), QString("@") + QChar(0xF717));
    // The character wins over the glyph; an empty one leaves the key to the glyph.
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", "Q"}, {"AXMenuItemCmdGlyph", 100}}), "@q");
    EXPECT_EQ(keyOf({{"AXMenuItemCmdChar", ""}, {"AXMenuItemCmdGlyph", 27}}), "@\u238b");
    EXPECT_TRUE(capturedWarnings().isEmpty());
}

TEST_F(MenuItemTest, NoKeyEquivalentWhereNothingNamesAKey) {
    EXPECT_TRUE(keyOf({{"AXMenuItemCmdModifiers", 6}}).isNull());
    EXPECT_TRUE(keyOf({{"AXMenuItemCmdChar", ""}, {"AXMenuItemCmdModifiers", 0}}).isNull());
    EXPECT_TRUE(
        keyOf({{"AXMenuItemCmdChar", 83}, {"AXMenuItemCmdModifiers", 0}}).isNull()); // wrong type
    EXPECT_TRUE(
        keyOf({{"AXMenuItemCmdChar", failure(-25204)}, {"AXMenuItemCmdGlyph", "100"}}).isNull());
    EXPECT_TRUE(capturedWarnings().isEmpty());

    EXPECT_TRUE(keyOf({{"AXMenuItemCmdGlyph", 200}}).isNull());
    EXPECT_TRUE(keyOf({{"AXMenuItemCmdGlyph", 100.5}}).isNull());
    EXPECT_EQ(capturedWarnings(), (QStringList{"Glyph not found: 200", "Glyph not found: 100.5"}));
}

TEST_F(MenuItemTest, OnlyTheCheckMarkCountsAsChecked) {
    EXPECT_TRUE(read(item("A", {{"AXMenuItemMarkChar", "\u2713"}}))->hasCheckmark());
    EXPECT_FALSE(read(item("A", {{"AXMenuItemMarkChar", "\u2022"}}))->hasCheckmark());
    EXPECT_FALSE(read(item("A"))->hasCheckmark());
}

TEST_F(MenuItemTest, ChildrenAreTheTitledMenuItemsInMenuOrder) {
    const auto top = read(menuBarItem(
        "File", {item("New"), item(""), item(QString()),
                 QJsonObject{{"AXRole", "AXMenuItem"}, {"AXTitle", failure(-25202)}},
                 QJsonObject{{"AXRole", "AXButton"}, {"AXTitle", "Button"}},
                 QJsonObject{{"AXTitle", "No role"}},
                 submenu(item("Open Recent"), {item("One"), item("Two")}),
                 QJsonObject{{"AXRole", "AXMenuItem"}, {"AXTitle", "Broken"}, {"$error", -25204}},
                 item("Close")}));
    EXPECT_EQ(top->title(), "File");
    EXPECT_EQ(titles(top->children()), (QStringList{"New", "Open Recent", "Close"}));
    const auto recent = top->children().at(1);
    EXPECT_EQ(titles(recent->children()), (QStringList{"One", "Two"}));
    EXPECT_EQ(recent->children().first()->parent(), recent);
    EXPECT_EQ(recent->parent(), top);
    EXPECT_EQ(top->parent(), nullptr);

    // One child of another role is read as it is, not as a wrapping menu.
    const auto direct = read(withChildren(item("Direct"), {item("Only")}));
    EXPECT_EQ(titles(direct->children()), (QStringList{"Only"}));
    // Children that cannot be read leave the item without children.
    EXPECT_TRUE(read(item("X", {{"AXChildren", failure(-25205)}}))->children().isEmpty());
    EXPECT_TRUE(read(item("X", {{"AXChildren", "not an array"}}))->children().isEmpty());
    EXPECT_TRUE(QRVMenuItem::initWithElement(ax, nullptr, true)->title().isNull());
}

TEST_F(MenuItemTest, ItemsThatNeedTheirPath) {
    const auto prefers = [&](const QJsonObject& menu) {
        QList<bool> out;
        for (const auto& child : read(menu)->children())
            out << child->prefersFullTitle();
        return out;
    };
    EXPECT_EQ(prefers(submenu(item("Sort BY"), {item("Name"), item("Date")})),
              (QList<bool>{true, true}));
    EXPECT_EQ(prefers(submenu(item("View"),
                              {item("by Name"), item("As List"), item("Bypass"), item("Zoom")})),
              (QList<bool>{true, true, false, false}));
    EXPECT_EQ(prefers(submenu(item("Format"),
                              {item("Plain"), item("Rich", {{"AXMenuItemMarkChar", "\u2713"}})})),
              (QList<bool>{true, true}));
}

TEST_F(MenuItemTest, DerivedTitlesAreCachedUntilTheirItemChanges) {
    const auto p = read(menuBarItem("P", {submenu(item("Q"), {item("R")})}));
    const auto q = p->children().first();
    const auto r = q->children().first();
    EXPECT_FALSE(p->parentTitles().has_value());
    EXPECT_EQ(p->hierarchyTitles(), QStringList{"P"});
    EXPECT_EQ(p->fullDisplayTitle(), "P");
    EXPECT_EQ(r->parentTitles(), (QStringList{"P", "Q"}));
    EXPECT_EQ(r->fullDisplayTitle(), "P" + kEsc + "Q" + kEsc + "R");

    QSignalSpy fullTitle(q->changes(), &QRVMenuItemChanges::fullDisplayTitleChanged);
    QSignalSpy title(q->changes(), &QRVMenuItemChanges::titleChanged);
    q->setTitle("Q2");
    EXPECT_EQ(q->fullDisplayTitle(), "P" + kEsc + "Q2");
    EXPECT_EQ(r->fullDisplayTitle(),
              "P" + kEsc + "Q" + kEsc + "R"); // descendants keep their caches
    EXPECT_EQ(fullTitle.count(), 1);
    EXPECT_EQ(title.count(), 1);

    QSignalSpy parentTitles(r->changes(), &QRVMenuItemChanges::parentTitlesChanged);
    r->setParent(p);
    EXPECT_EQ(r->fullDisplayTitle(), "P" + kEsc + "R");
    EXPECT_EQ(parentTitles.count(), 1);
}

TEST_F(MenuItemTest, RemovingChildrenComparesIdentity) {
    const auto menu = read(submenu(item("M"), {item("A"), item("A"), item("B")}));
    const auto children = menu->children();
    menu->removeChildren({children.at(1)});
    EXPECT_EQ(menu->children(), (QRVMenuItemList{children.at(0), children.at(2)}));
}

TEST_F(MenuItemTest, ReadsEachAttributeOfAnElementAtMostOnce) {
    QJsonArray items;
    for (int i = 0; i < 5; ++i)
        items.append(submenu(item(QString("Item %1").arg(i), {{"AXMenuItemCmdChar", "a"}}),
                             {item("Leaf"), item("")}));
    // A children array with one element that is no menu is read directly.
    items.append(withChildren(item("Direct"), {item("Only child")}));
    read(menuBarItem("Menu", items));
    const QSet<QString> allowed{"AXTitle",
                                "AXMenuItemMarkChar",
                                "AXMenuItemCmdChar",
                                "AXMenuItemCmdModifiers",
                                "AXMenuItemCmdGlyph",
                                "AXChildren",
                                "AXRole"};
    const auto perElement = ax.requestsPerElement();
    EXPECT_GT(perElement.size(), 20);
    for (const QStringList& requests : perElement) {
        EXPECT_LE(requests.size(), 7) << requests.join(",").toStdString();
        EXPECT_EQ(QSet<QString>(requests.begin(), requests.end()).size(), requests.size())
            << requests.join(",").toStdString();
        for (const QString& attribute : requests)
            EXPECT_TRUE(allowed.contains(attribute)) << attribute.toStdString();
    }
}

} // namespace
