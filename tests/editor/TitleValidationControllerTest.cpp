// Title validation through the editor: recorded menus, stored shortcuts and
// virtual time, so passes can be held between computing and applying.
#include "ShortcutsEditorFixture.h"
#include "support/RecordedMenus.h"

using namespace qrv;
using namespace qrv::testing;
using namespace qrv::testing::menus;
using namespace std::chrono_literals;

namespace {

const QString kDuplicate = QStringLiteral(
    "You have configured two different shortcuts for the same menu item. Only one can be saved.");

class TitleValidationControllerTest : public ShortcutsEditorFixture {
  protected:
    TitleValidationControllerTest() {
        world.accessibility.addApplication(
            42, application(
                    {menuBarItem("Notes", {item("About Notes")}),
                     menuBarItem("File", {item("Save"), item("Print")}),
                     menuBarItem("Edit", {item("Save"), submenu(item("Share"), {item("Mail")})}),
                     menuBarItem("Window", {submenu(item("Share"), {item("Messages")})})}));
    }
    // Selects Notes with these stored shortcuts and lets everything settle.
    void selectNotes(const QVariantMap& table) {
        if (!table.isEmpty())
            storeTable(kNotes, table);
        select(kNotes);
        settle();
    }
    QRVMenuShortcutPtr row(const QString& title) const {
        for (const auto& shortcut : rows())
            if (shortcut->title() == title)
                return shortcut;
        return nullptr;
    }
};

} // namespace

TEST_F(TitleValidationControllerTest, MenuWarningsArriveWithTheMenus) {
    world.scheduler.setBackgroundRunsAutomatically(false);
    selectNotes({{"Save", "@s"}, {"Share", "@h"}, {"Print", "@p"}});
    // The menus are not read yet: the titles are unique, so nothing is said.
    EXPECT_TRUE(row("Save")->warningMessage().isNull());

    world.scheduler.advance(500ms); // the menus are read, flattened, published, validated
    settle();
    EXPECT_EQ(row("Save")->warningMessage(),
              QStringLiteral(u"This menu item title is ambiguous. Do you mean 'Edit\u2192Save' or "
                             u"'File\u2192Save' ?"));
    EXPECT_EQ(row("Share")->warningMessage(),
              "This menu item title is ambiguous. There is more than one menu item named 'Share'");
    EXPECT_TRUE(row("Print")->warningMessage().isNull());

    // The controller looks items up in the menus it read: leaves only.
    const QString esc(QChar(0x1B));
    EXPECT_EQ(controller.leafMenuItemMatchingTitle("Share"), nullptr);
    const auto mail =
        controller.menuItemMatchingFullDisplayTitle("Edit" + esc + "Share" + esc + "Mail");
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(mail->title(), "Mail");
}

TEST_F(TitleValidationControllerTest, OnlyTheNewestPassLeavesItsWarnings) {
    selectNotes({{"Open", "@o"}, {"Print", "@p"}});
    world.scheduler.setBackgroundRunsAutomatically(false);
    const auto open = row("Open"), print = row("Print");

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

    // Settled, the warning is there.
    controller.setMenuShortcuts(QList<QRVMenuShortcutPtr>{open, print});
    settle();
    EXPECT_EQ(print->warningMessage(), kDuplicate);
}

TEST_F(TitleValidationControllerTest, ThePlaceholderLeavesOnceARecordJoinsIt) {
    selectNotes({});
    ASSERT_EQ(rows().size(), 1);
    const auto placeholder = rows().first();
    EXPECT_TRUE(placeholder->isPlaceholder());

    const auto added = record("Print", "@p", kNotes);
    const quint64 before = controller.validationRequest();
    controller.setMenuShortcuts(QList<QRVMenuShortcutPtr>{placeholder, added});
    settle();
    EXPECT_EQ(rows(), QList<QRVMenuShortcutPtr>{added});
    // The shorter list was validated again.
    EXPECT_EQ(controller.validationRequest(), before + 2);
}
