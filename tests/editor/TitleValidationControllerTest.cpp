// Title validation through the editor: recorded menus, stored shortcuts and
// virtual time, so passes can be held between computing and applying.
#include "editor/QRVShortcutsViewController.h"
#include "support/EditorServices.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"
#include "support/RecordedMenus.h"

#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing::menus;
using namespace std::chrono_literals;

namespace {

const QString kNotes = QStringLiteral("com.example.notes");
const QString kDuplicate = QStringLiteral(
    "You have configured two different shortcuts for the same menu item. Only one can be saved.");

class TitleValidationControllerTest : public ::testing::Test {
  protected:
    TitleValidationControllerTest() {
        world.run(kNotes, "Notes", 42,
                  application(
                      {menuBarItem("Notes", {item("About Notes")}),
                       menuBarItem("File", {item("Save"), item("Print")}),
                       menuBarItem("Edit", {item("Save"), submenu(item("Share"), {item("Mail")})}),
                       menuBarItem("Window", {submenu(item("Share"), {item("Messages")})})}));
        controller.view();
    }

    // Selects Notes with these stored shortcuts and lets everything settle.
    void selectNotes(const QVariantMap& table) {
        if (!table.isEmpty())
            (void)world.preferences.setValue("NSUserKeyEquivalents", table, kNotes);
        for (const auto& entry : controller.applications())
            if (entry->bundleIdentifier() == kNotes)
                controller.setApplication(entry);
        settle();
    }
    // Runs background and main work until neither hands the other more.
    void settle() {
        do
            world.scheduler.runPending();
        while (world.scheduler.runBackground() > 0);
    }
    QRVMenuShortcutPtr record(const QString& title) const {
        for (const auto& shortcut :
             controller.menuShortcuts().value_or(QList<QRVMenuShortcutPtr>{}))
            if (shortcut->title() == title)
                return shortcut;
        return nullptr;
    }

    qrv::testing::FakePlatform world;
    QRVShortcutsViewController controller{qrv::testing::editorServices(world)};
};

} // namespace

TEST_F(TitleValidationControllerTest, MenuWarningsArriveWithTheMenus) {
    world.scheduler.setBackgroundRunsAutomatically(false);
    selectNotes({{"Save", "@s"}, {"Share", "@h"}, {"Print", "@p"}});
    // The menus are not read yet: the titles are unique, so nothing is said.
    EXPECT_TRUE(record("Save")->warningMessage().isNull());

    world.scheduler.advance(500ms); // the menus are read, flattened, published, validated
    settle();
    EXPECT_EQ(record("Save")->warningMessage(),
              QStringLiteral(u"This menu item title is ambiguous. Do you mean 'Edit\u2192Save' or "
                             u"'File\u2192Save' ?"));
    EXPECT_EQ(record("Share")->warningMessage(),
              "This menu item title is ambiguous. There is more than one menu item named 'Share'");
    EXPECT_TRUE(record("Print")->warningMessage().isNull());
}

TEST_F(TitleValidationControllerTest, OnlyTheNewestPassLeavesItsWarnings) {
    selectNotes({{"Open", "@o"}, {"Print", "@p"}});
    world.scheduler.setBackgroundRunsAutomatically(false);
    const auto open = record("Open"), print = record("Print");

    // The first pass sees a second key for "Open" and computes its warning...
    print->setTitle("Open");
    controller.validateShortcuts();
    EXPECT_EQ(world.scheduler.runBackground(), 1);
    // ...but the title is edited again before the result reaches the main thread.
    print->setTitle("Print");
    controller.validateShortcuts();
    world.scheduler.runPending();
    EXPECT_TRUE(print->warningMessage().isNull()) << "the overtaken pass applied its result";
    settle();
    EXPECT_TRUE(print->warningMessage().isNull());

    // A list replaced meanwhile drops the pass made for the old one.
    print->setTitle("Open");
    controller.validateShortcuts();
    world.scheduler.runBackground();
    controller.setMenuShortcuts(QList<QRVMenuShortcutPtr>{open});
    world.scheduler.runPending();
    EXPECT_TRUE(print->warningMessage().isNull());
    settle();
    EXPECT_TRUE(open->warningMessage().isNull());

    // Settled, the warning is there.
    controller.setMenuShortcuts(QList<QRVMenuShortcutPtr>{open, print});
    settle();
    EXPECT_EQ(print->warningMessage(), kDuplicate);
}

TEST_F(TitleValidationControllerTest, ThePlaceholderLeavesOnceARecordJoinsIt) {
    selectNotes({});
    ASSERT_EQ(controller.menuShortcuts()->size(), 1);
    const auto placeholder = controller.menuShortcuts()->first();
    EXPECT_TRUE(placeholder->isPlaceholder());

    const auto added = QRVMenuShortcut::create(kNotes, "Print", "@p");
    const quint64 before = controller.validationRequest();
    controller.setMenuShortcuts(QList<QRVMenuShortcutPtr>{placeholder, added});
    settle();
    EXPECT_EQ(*controller.menuShortcuts(), QList<QRVMenuShortcutPtr>{added});
    // The shorter list was validated again.
    EXPECT_EQ(controller.validationRequest(), before + 2);
}

TEST_F(TitleValidationControllerTest, MenuItemsAreFoundByTitleAndByPath) {
    selectNotes({});
    world.scheduler.advance(500ms);
    settle();
    const QString esc(QChar(0x1B));
    const auto print = controller.leafMenuItemMatchingTitle("Print");
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->fullDisplayTitle(), "File" + esc + "Print");
    EXPECT_EQ(controller.leafMenuItemMatchingTitle("Save"), nullptr);  // two of them
    EXPECT_EQ(controller.leafMenuItemMatchingTitle("Share"), nullptr); // submenus only
    const auto mail =
        controller.menuItemMatchingFullDisplayTitle("Edit" + esc + "Share" + esc + "Mail");
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(mail->title(), "Mail");
    EXPECT_EQ(controller.menuItemMatchingFullDisplayTitle("Edit" + esc + "Mail"), nullptr);
}
