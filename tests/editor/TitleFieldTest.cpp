// The title field as a person uses it: keys typed into the shortcut table's
// title editor against an application's recorded menus, offscreen.
#include "ShortcutsEditorFixture.h"
#include "editor/QRVTitleCompletionPopup.h"
#include "editor/QRVTitleFieldText.h"
#include "editor/QRVTitleTextFieldEditor.h"
#include "support/RecordedMenus.h"

#include <QListView>

using namespace qrv;
using namespace qrv::testing;
using namespace qrv::testing::menus;
using namespace std::chrono_literals;

namespace {

const QChar esc = QRVMenuItem::kPathSeparator;

QString path(const QStringList& titles) {
    return titles.join(esc);
}

QJsonObject key(const QString& character, int modifiers = 0) {
    return {{"AXMenuItemCmdChar", character}, {"AXMenuItemCmdModifiers", modifiers}};
}

QJsonObject notesMenus() {
    return application(
        {menuBarItem("Notes", {item("About Notes"), item("Quit Notes", key("Q"))}),
         menuBarItem("File", {item("New", key("N")), item("Save", key("S")),
                              item("Save As…", key("S", 1)), item("Save All"),
                              submenu(item("Export"), {item("PDF", key("E")), item("Image")}),
                              item("Close", key("W"))}),
         menuBarItem("View", {item("Zoom", key("Z", 2))}),
         menuBarItem("Window", {item("Save All", key("L")), item("Zoom", key("Z", 4))})});
}

class TitleFieldTest : public ShortcutsEditorFixture {
  protected:
    TitleFieldTest() {
        world.accessibility.addApplication(42, notesMenus());
        select(kNotes);
        settleMenus();
    }
    void settleMenus() {
        world.scheduler.advance(500ms); // the menus are read, indexed and published
        settle();
    }
    // Starts editing the title of a row (the placeholder's, by default).
    QRVTitleTextFieldEditor* edit(int row = 0) {
        table()->setFocus();
        table()->edit(table()->model()->index(row, 0));
        return field();
    }
    QRVTitleTextFieldEditor* field() const {
        auto* editor = qobject_cast<QRVTitleTextFieldEditor*>(titleEditor());
        return editor && editor->isVisible() ? editor : nullptr;
    }
    void type(const QString& text) {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, field(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    void press(Qt::Key key) {
        QTest::keyClick(field(), key);
        QCoreApplication::processEvents(); // the delegate ends an edit on the next turn
    }
    // Escape closes an open list; without one it would end the edit.
    void closeList() {
        if (listShown())
            press(Qt::Key_Escape);
    }
    bool listShown() const { return field() && field()->isCompletionListVisible(); }
    QStringList offered() const {
        return listShown() ? field()->completionPopup()->candidates() : QStringList();
    }
    int preselected() const { return field()->completionPopup()->selectedRow(); }
    QRVMenuShortcutPtr row(int n) const { return rows().value(n); }
};

} // namespace

TEST_F(TitleFieldTest, FirstLettersOfferTitlesAndReturnTakesTheItemWithItsKey) {
    ASSERT_NE(edit(), nullptr);
    type("sav");
    EXPECT_EQ(offered(), (QStringList{"Save", path({"File", "Save All"}),
                                      path({"Window", "Save All"}), "Save As…"}));
    EXPECT_EQ(preselected(), -1) << "a match that ignores case is not preselected";
    field()->setText("Sav");
    // The field shows paths with arrows, the list too.
    type("e A");
    EXPECT_EQ(offered(),
              (QStringList{path({"File", "Save All"}), path({"Window", "Save All"}), "Save As…"}));
    EXPECT_EQ(field()->completionPopup()->listView()->model()->index(0, 0).data().toString(),
              QStringLiteral(u"File\u2192Save All"));
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    EXPECT_EQ(field()->text(), QStringLiteral(u"Window\u2192Save All"));
    EXPECT_FALSE(listShown());

    press(Qt::Key_Return); // ends the edit
    EXPECT_EQ(field(), nullptr);
    EXPECT_EQ(row(0)->title(), esc + path({"Window", "Save All"}));
    EXPECT_EQ(row(0)->keyEquivalent(), "@l") << "the path's item lends its key";
    ASSERT_NE(recorder(0), nullptr);
    ASSERT_NE(recorder(0)->shortcutValue(), nullptr);
    EXPECT_EQ(recorder(0)->shortcutValue()->description(), row(0)->shortcut()->description());
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{row(0)->title(), "@l"}}));
}

TEST_F(TitleFieldTest, PlainTitlesTakeTheKeyOnlyOfTheirOneItem) {
    edit();
    type("Save As");
    EXPECT_TRUE(listShown());
    press(Qt::Key_Escape); // closes the list, keeps editing
    ASSERT_NE(field(), nullptr);
    EXPECT_FALSE(listShown());
    type("…");
    closeList();
    press(Qt::Key_Return);
    EXPECT_EQ(row(0)->title(), "Save As…");
    EXPECT_EQ(row(0)->keyEquivalent(), "@$s");

    // Zoom is the title of two items: it names neither, so no key is taken.
    action(QRVShortcutsCommands::Command::AddShortcut)->trigger();
    ASSERT_NE(field(), nullptr);
    field()->setTitle("Zoom");
    press(Qt::Key_Return);
    EXPECT_EQ(row(1)->title(), "Zoom");
    EXPECT_EQ(row(1)->keyEquivalent(), "");
}

TEST_F(TitleFieldTest, ReturnOnAMenuAddsTheSeparatorAndListsItsItemsTheRightArrowDoesNot) {
    edit();
    type("Fi");
    EXPECT_EQ(offered(), QStringList{"File"});
    press(Qt::Key_Return);
    EXPECT_EQ(field()->title(), path({"File", ""}));
    EXPECT_EQ(offered(), (QStringList{"New", "Save", "Save As…", "Save All", "Export", "Close"}));
    type("xp");
    EXPECT_EQ(offered(), QStringList{"Export"}) << "contained";
    field()->setTitle(path({"File", ""}));
    type("Ex");
    press(Qt::Key_Right);
    EXPECT_EQ(field()->title(), path({"File", "Export"})) << "nothing further";
    EXPECT_FALSE(listShown());

    // A click chooses as Return does.
    field()->setTitle(QString());
    type("Fi");
    QListView* list = field()->completionPopup()->listView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(field()->title(), path({"File", ""}));
    EXPECT_TRUE(listShown());
}

TEST_F(TitleFieldTest, TabInsertsSeparatorsAfterMenusAndMovesOnOtherwise) {
    edit();
    type("File");
    press(Qt::Key_Tab);
    EXPECT_EQ(field()->title(), path({"File", ""}));
    press(Qt::Key_Tab); // after a separator: the menu's items
    EXPECT_EQ(offered().size(), 6);
    type("Close");
    closeList();
    press(Qt::Key_Tab); // after a whole item: the edit ends
    EXPECT_EQ(field(), nullptr);
    EXPECT_EQ(row(0)->title(), esc + path({"File", "Close"}));
    EXPECT_EQ(row(0)->keyEquivalent(), "@w");

    // Text that names nothing gets a separator too; then nothing is offered.
    action(QRVShortcutsCommands::Command::AddShortcut)->trigger();
    type("Nope");
    press(Qt::Key_Tab);
    EXPECT_EQ(field()->title(), path({"Nope", ""}));
    type("s");
    EXPECT_FALSE(listShown());

    // Tab at the start moves on.
    field()->setTitle(QString());
    press(Qt::Key_Tab);
    EXPECT_EQ(field(), nullptr);
}

TEST_F(TitleFieldTest, ADeletionOpensNoListTheNextKeystrokeDoes) {
    edit();
    type("Sa");
    EXPECT_TRUE(listShown());
    press(Qt::Key_Backspace);
    EXPECT_FALSE(listShown());
    EXPECT_EQ(field()->text(), "S");
    type("a");
    EXPECT_TRUE(listShown());
    // Typing goes on in the field while the list shows.
    QTest::keyClick(field(), Qt::Key_V);
    EXPECT_EQ(field()->text(), "Sav");
    EXPECT_EQ(preselected(), 0);
    QTest::keyClick(field(), Qt::Key_Down);
    EXPECT_EQ(preselected(), 1);
    EXPECT_EQ(field()->completionPopup()->listView()->accessibleName(), "Completions");
}

TEST_F(TitleFieldTest, AnArrowTypedByTheUserStaysAnArrowThroughSaveAndReload) {
    edit();
    type(QStringLiteral(u"In\u2192Out"));
    EXPECT_EQ(field()->title(), QStringLiteral(u"In\u2192Out"));
    closeList();
    press(Qt::Key_Return);
    const QString stored = QStringLiteral(u"In\u2192Out");
    EXPECT_EQ(row(0)->title(), stored);
    EXPECT_EQ(fileTable(kNotes).toMap().keys(), QStringList{stored});

    storeTable(kNotes, {{stored, "@i"}, {esc + path({"File", "New"}), "@n"}});
    controller.applicationDidBecomeActiveNotification();
    ASSERT_EQ(rows().size(), 2);
    const int arrowRow = row(0)->title() == stored ? 0 : 1;
    EXPECT_EQ(edit(arrowRow)->title(), stored);
    EXPECT_EQ(field()->text(), stored);
    press(Qt::Key_Escape);
    EXPECT_EQ(edit(1 - arrowRow)->title(), path({"File", "New"}));
    EXPECT_EQ(field()->text(), QStringLiteral(u"File\u2192New"));
}

TEST_F(TitleFieldTest, WithoutMenusNothingIsOffered) {
    select(kDraw); // runs without readable menus
    settleMenus();
    edit();
    type("Sa");
    EXPECT_FALSE(listShown());
    press(Qt::Key_Return);
    EXPECT_EQ(row(0)->title(), "Sa");
    EXPECT_EQ(row(0)->keyEquivalent(), "");
}

TEST_F(TitleFieldTest, AllTitleFieldsOfAWindowShareOneEditor) {
    storeTable(kNotes, {{"A", "@a"}, {"B", "@b"}});
    controller.applicationDidBecomeActiveNotification();
    QRVTitleTextFieldEditor* first = edit(0);
    ASSERT_NE(first, nullptr);
    press(Qt::Key_Escape);
    EXPECT_EQ(edit(1), first);
    EXPECT_EQ(first->title(), "B");
}

// Which arrows are separators, followed through the edits a field sees.
TEST(TitleFieldTextTest, SeparatorsFollowEditsAndTypedArrowsStayArrows) {
    const QString arrow = QStringLiteral(u"\u2192");
    QRVTitleFieldText text;
    text.setTitle("A" + QString(esc) + arrow + "B"); // a separator, then a typed arrow
    EXPECT_EQ(text.shownText(), "A" + arrow + arrow + "B");

    QRVTitleFieldText deleteFirst = text;
    deleteFirst.edited("A" + arrow + "B", 1); // Backspace after the first arrow
    EXPECT_EQ(deleteFirst.title(), "A" + arrow + "B");
    QRVTitleFieldText deleteSecond = text;
    deleteSecond.edited("A" + arrow + "B", 2);
    EXPECT_EQ(deleteSecond.title(), "A" + QString(esc) + "B");

    text.edited("A" + arrow + arrow + arrow + "B", 4); // an arrow typed at the end of the arrows
    EXPECT_EQ(text.title(), "A" + QString(esc) + arrow + arrow + "B");
    text.edited("A" + arrow + arrow + arrow + "B" + arrow, 6,
                QString(esc)); // inserted as separator
    EXPECT_EQ(text.title(), "A" + QString(esc) + arrow + arrow + "B" + QString(esc));

    // A pasted path brings its separators; undo and redo bring back the marks.
    QRVTitleFieldText pasted;
    pasted.setTitle("File");
    pasted.edited("File" + arrow, 5, QString(esc));
    pasted.edited("File" + arrow + "X" + QString(esc) + "Y", 8);
    EXPECT_EQ(pasted.shownText(), "File" + arrow + "X" + arrow + "Y");
    EXPECT_EQ(pasted.title(), path({"File", "X", "Y"}));
    pasted.restored("File" + arrow, 5);
    EXPECT_EQ(pasted.title(), path({"File", ""}));
    pasted.edited("File", 4);
    pasted.restored("File" + arrow, 5);
    EXPECT_EQ(pasted.title(), path({"File", ""})) << "redo";
}
