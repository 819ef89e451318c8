#include "ShortcutsEditorFixture.h"
#include "editor/QRVSaveErrorBar.h"

#include <QAccessible>
#include <QDir>

using namespace qrv;
using namespace qrv::testing;
using Command = QRVShortcutsCommands::Command;

namespace {

constexpr quint16 kB = 11, kI = 34, kL = 37;

using ShortcutsEditorTest = ShortcutsEditorFixture;

TEST_F(ShortcutsEditorTest, AnEmptyApplicationHasOneRowThatAddingTypesInto) {
    select(kNotes);
    ASSERT_EQ(rows().size(), 1);
    const QRVMenuShortcutPtr placeholder = rows().first();
    EXPECT_TRUE(placeholder->isPlaceholder());

    // Adding edits the one empty row instead of adding a second.
    action(Command::AddShortcut)->trigger();
    EXPECT_EQ(rows(), QList<QRVMenuShortcutPtr>{placeholder});
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{0});
    finishTitle(QStringLiteral("Format\x1b"
                               "Bold"));
    EXPECT_FALSE(placeholder->isPlaceholder());
    EXPECT_EQ(placeholder->title(), QStringLiteral("\x1b"
                                                   "Format\x1b"
                                                   "Bold"));
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{placeholder->title(), QString()}}));
    EXPECT_FALSE(controller.needsSaving());

    // Now a row is added at the end, empty (not absent), its title being edited.
    action(Command::AddShortcut)->trigger();
    ASSERT_EQ(rows().size(), 2);
    const QRVMenuShortcutPtr added = rows().last();
    EXPECT_FALSE(added->title().isNull());
    EXPECT_TRUE(added->title().isEmpty());
    EXPECT_FALSE(added->isPlaceholder());
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{1});
    ASSERT_NE(titleEditor(), nullptr);
    EXPECT_EQ(table()->currentIndex().row(), 1);
    // Adding saves nothing by itself.
    EXPECT_EQ(fileTable(kNotes).toMap().size(), 1);
}

TEST_F(ShortcutsEditorTest, RemovingSelectsTheRowThatTookItsPlace) {
    storeTable(kDraw, {{"Arc", "@a"}, {"Box", "@b"}, {"Circle", "@c"}});
    select(kDraw);
    ASSERT_EQ(titles(), (QStringList{"Arc", "Box", "Circle"}));

    controller.setSelectionIndexes({2});
    action(Command::RemoveShortcut)->trigger();
    EXPECT_EQ(titles(), (QStringList{"Arc", "Box"}));
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{1}); // the new last row
    EXPECT_EQ(fileTable(kDraw), QVariant(QVariantMap{{"Arc", "@a"}, {"Box", "@b"}}));

    controller.setSelectionIndexes({0});
    action(Command::RemoveShortcut)->trigger();
    EXPECT_EQ(titles(), QStringList{"Box"});
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{0}); // the new first row

    controller.setSelectionIndexes({0});
    action(Command::RemoveShortcut)->trigger();
    EXPECT_TRUE(rows().isEmpty()); // no placeholder until the next load
    EXPECT_EQ(table()->model()->rowCount(), 0);
    EXPECT_EQ(fileTable(kDraw), QVariant(QVariantMap()));
    EXPECT_FALSE(controller.canCopy());
}

TEST_F(ShortcutsEditorTest, PastingRecordsOfAnotherApplicationRebindsSelectsAndSaves) {
    storeTable(kDraw, {{"Circle", "@c"}, {"Line", "@l"}});
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kDraw);
    EXPECT_FALSE(action(Command::Copy)->isEnabled()); // nothing selected
    controller.setSelectionIndexes({0, 1});
    EXPECT_TRUE(action(Command::Copy)->isEnabled());
    action(Command::Copy)->trigger();

    select(kNotes);
    EXPECT_TRUE(controller.canPaste());
    EXPECT_TRUE(action(Command::Paste)->isEnabled());
    action(Command::Paste)->trigger();
    ASSERT_EQ(titles(), (QStringList{"Bold", "Circle", "Line"}));
    for (const auto& shortcut : rows())
        EXPECT_EQ(shortcut->bundleIdentifier(), kNotes);
    EXPECT_EQ(controller.selectionIndexes(), (QList<int>{1, 2}));
    EXPECT_EQ(fileTable(kNotes),
              QVariant(QVariantMap{{"Bold", "@b"}, {"Circle", "@c"}, {"Line", "@l"}}));
    EXPECT_EQ(fileTable(kDraw), QVariant(QVariantMap{{"Circle", "@c"}, {"Line", "@l"}}));

    // Something else on the pasteboard: paste is no longer offered and does nothing.
    world.pasteboard.clearByAnotherProgram();
    controller.windowDidUpdate();
    EXPECT_FALSE(action(Command::Paste)->isEnabled());
    controller.paste();
    EXPECT_EQ(rows().size(), 3);
}

TEST_F(ShortcutsEditorTest, ARepeatedTitleKeepsBothRowsAndOnlyTheFirstReachesTheFile) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    QRVMenuShortcut::writeToPasteboard(world.pasteboard,
                                       {record(QStringLiteral("Bold"), QStringLiteral("@~b"))});
    controller.windowDidUpdate();
    controller.paste();
    ASSERT_EQ(titles(), (QStringList{"Bold", "Bold"}));
    EXPECT_EQ(rows().last()->keyEquivalent(), "@~b");
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@b"}}));
    EXPECT_TRUE(controller.needsSaving()); // a record was left out
    // Leaving a title out is not a file error: the validation marks say it.
    EXPECT_TRUE(controller.saveError().isEmpty());
}

TEST_F(ShortcutsEditorTest, ARecordedKeyIsSavedAtOnceAndTheSameKeyAgainIsNoEdit) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    QRVShortcutView* view = recorder(0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->shortcutValue()->keyCode(), kB);
    EXPECT_FALSE(view->shouldCheckForConflicts());
    EXPECT_TRUE(view->canClear());

    // The same key code and flags (another object) change nothing and save nothing.
    controller.setNeedsSaving(true);
    view->setShortcutValue(key(kB));
    EXPECT_TRUE(controller.needsSaving());

    view->setShortcutValue(key(kI, KSCShortcut::Command | KSCShortcut::Shift));
    EXPECT_EQ(rows().first()->keyEquivalent(), "@$i");
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@$i"}}));
    EXPECT_FALSE(controller.needsSaving());

    // Clearing the key keeps the title with an empty key.
    view->setShortcutValue(nullptr);
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", ""}}));
}

TEST_F(ShortcutsEditorTest, ARecorderWhoseRowShowsAnotherRecordReportsNothing) {
    storeTable(kNotes, {{"Bold", "@b"}, {"Italic", "@i"}});
    select(kNotes);
    QPointer<QRVShortcutView> italic = recorder(1);
    ASSERT_NE(italic, nullptr);
    // Rows move under the recorder: it now follows its own record's row.
    controller.setSelectionIndexes({0});
    controller.removeShortcutAction();
    ASSERT_EQ(titles(), QStringList{"Italic"});
    italic->setShortcutValue(key(kL));
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Italic", "@l"}}));

    // A recorder whose record is gone reports nothing.
    QPointer<QRVShortcutView> gone = recorder(0);
    controller.setSelectionIndexes({0});
    const auto keep = gone->shortcutValueChange;
    controller.removeShortcutAction();
    if (keep)
        keep(gone.data() ? gone.data() : italic.data());
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap()));
}

TEST_F(ShortcutsEditorTest, ReactivationKeepsAnUnchangedListAndTakesAnotherProgramsChange) {
    storeTable(kNotes, {{"Bold", "@b"}, {"Italic", "@i"}});
    select(kNotes);
    const QList<QRVMenuShortcutPtr> before = rows();
    controller.setSelectionIndexes({1});
    // Our own save does not count as a change by another program.
    recorder(1)->setShortcutValue(key(kL));
    table()->edit(table()->model()->index(0, 0));
    ASSERT_NE(titleEditor(), nullptr);
    titleEditor()->setText(QStringLiteral("Bo"));

    controller.applicationDidBecomeActiveNotification();
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{1});
    ASSERT_NE(titleEditor(), nullptr);
    EXPECT_EQ(titleEditor()->text(), "Bo");

    storeTable(kNotes, {{"Underline", "@u"}});
    controller.applicationDidBecomeActiveNotification();
    EXPECT_EQ(titles(), QStringList{"Underline"});
}

TEST_F(ShortcutsEditorTest, ExportAndRequestsAreOfferedOnlyForRowsWithContent) {
    int exports = 0;
    for (Command command :
         {Command::ExportAll, Command::ExportSelected, Command::CreateRequest, Command::Import}) {
        // Disabled while no one does the work, whatever the rows.
        EXPECT_FALSE(action(command)->isEnabled()) << int(command);
        controller.commands()->setHandler(command, [&exports] { ++exports; });
    }
    select(kNotes); // only the placeholder
    EXPECT_TRUE(action(Command::Import)->isEnabled());
    EXPECT_FALSE(action(Command::ExportAll)->isEnabled());
    controller.setSelectionIndexes({0});
    EXPECT_FALSE(action(Command::ExportSelected)->isEnabled());
    EXPECT_FALSE(action(Command::CreateRequest)->isEnabled());
    action(Command::ExportAll)->trigger();
    EXPECT_EQ(exports, 0);

    action(Command::AddShortcut)->trigger();
    finishTitle(QStringLiteral("Bold"));
    controller.setSelectionIndexes({0});
    EXPECT_TRUE(action(Command::ExportAll)->isEnabled());
    EXPECT_TRUE(action(Command::ExportSelected)->isEnabled());
    EXPECT_TRUE(action(Command::CreateRequest)->isEnabled());
    action(Command::ExportSelected)->trigger();
    EXPECT_EQ(exports, 1);

    controller.commands()->setHandler(Command::ExportAll, {});
    EXPECT_FALSE(action(Command::ExportAll)->isEnabled());
}

TEST_F(ShortcutsEditorTest, QuittingAfterATitleEditThatEndedEmptySavesTheList) {
    storeTable(kNotes, {{"Bold", "@b"}, {"Italic", "@i"}});
    select(kNotes);
    table()->edit(table()->model()->index(0, 0));
    finishTitle(QString());
    EXPECT_TRUE(controller.needsSaving());
    EXPECT_EQ(fileTable(kNotes).toMap().size(), 2); // an empty title does not save

    controller.applicationWillTerminateNotification();
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Italic", "@i"}}));
    EXPECT_TRUE(controller.needsSaving()); // the empty row is still unstored
    EXPECT_EQ(rows().size(), 2);
}

TEST_F(ShortcutsEditorTest, AFileThatCannotBeWrittenIsShownAboveTheTableAndNothingIsLost) {
    select(kNotes);
    // A folder where the preference file should be: it can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(world.home.preferencesFile(kNotes)));
    action(Command::AddShortcut)->trigger();
    finishTitle(QStringLiteral("Bold"));
    auto* bar = controller.view()->findChild<QRVSaveErrorBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->message().contains("Notes")) << bar->message().toStdString();
    // Announced as an alert, with the message, rather than passed by as a frame.
    QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(bar);
    EXPECT_EQ(announced->role(), QAccessible::AlertMessage);
    EXPECT_EQ(announced->text(QAccessible::Description), bar->message());
    EXPECT_TRUE(controller.needsSaving());
    EXPECT_EQ(titles(), QStringList{"Bold"}); // the row stays as typed
    recorder(0)->setShortcutValue(key(kB));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(rows().first()->keyEquivalent(), "@b");

    // Once the file can be written, the next save stores everything and the bar goes.
    ASSERT_TRUE(QDir(world.home.preferencesFile(kNotes)).removeRecursively());
    controller.applicationWillResignActiveNotification();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(controller.needsSaving());
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@b"}}));
}

TEST_F(ShortcutsEditorTest, SwitchingApplicationsSavesPendingEditsForTheirOwner) {
    storeTable(kNotes, {{"Bold", "@b"}, {"Italic", "@i"}});
    select(kNotes);
    table()->edit(table()->model()->index(1, 0));
    finishTitle(QString());
    select(kDraw);
    EXPECT_FALSE(controller.needsSaving());
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@b"}}));
    ASSERT_EQ(rows().size(), 1);
    EXPECT_TRUE(rows().first()->isPlaceholder());
    EXPECT_EQ(rows().first()->bundleIdentifier(), kDraw);
}

} // namespace
