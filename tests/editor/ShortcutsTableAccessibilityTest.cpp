// The shortcut table as assistive technology walks it, through Qt's
// accessibility interfaces (the platform bridge reads the same ones; the
// end-to-end walk over the accessibility bus is in tests/atspi).
#include "ShortcutsEditorFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

using namespace qrv;
using namespace qrv::testing;
using namespace Qt::StringLiterals;

namespace {

class ShortcutsTableAccessibilityTest : public ShortcutsEditorFixture {
  protected:
    QAccessibleInterface* tableInterface() const {
        return QAccessible::queryAccessibleInterface(table());
    }
    QAccessibleInterface* cell(int row, int column) const {
        return tableInterface()->tableInterface()->cellAt(row, column);
    }
    // The recorder under a "shortcut" cell: cell -> cell widget -> recorder.
    QAccessibleInterface* recorderOf(QAccessibleInterface* shortcutCell) const {
        if (!shortcutCell || shortcutCell->childCount() != 1)
            return nullptr;
        QAccessibleInterface* cellWidget = shortcutCell->child(0);
        for (int i = 0; i < cellWidget->childCount(); ++i)
            if (cellWidget->child(i)->object() ==
                recorder(shortcutCell->tableCellInterface()->rowIndex()))
                return cellWidget->child(i);
        return nullptr;
    }
    static void press(QAccessibleInterface* button) {
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
};

constexpr int kTitle = QRVShortcutsTableModel::TitleColumn;
constexpr int kShortcut = QRVShortcutsTableModel::ShortcutColumn;

TEST_F(ShortcutsTableAccessibilityTest, TitlesAndRecorderButtonsAreReachableFromTheTable) {
    storeTable(kNotes, {{"Bold", "@b"}, {QStringLiteral(u"\u001BFormat\u001BItalic"), ""}});
    select(kNotes);
    QAccessibleInterface* t = tableInterface();
    ASSERT_TRUE(t && t->tableInterface());
    EXPECT_EQ(t->role(), QAccessible::Table);
    EXPECT_EQ(t->text(QAccessible::Name), u"Shortcuts"_s);
    EXPECT_TRUE(t->state().multiSelectable);
    EXPECT_EQ(t->tableInterface()->rowCount(), 2);

    // Numbered as Qt numbers a table view's children, which its focus and
    // selection events name: corner, column headers, then row header and cells.
    ASSERT_EQ(t->childCount(), 9);
    EXPECT_EQ(t->child(1)->text(QAccessible::Name), u"Menu Title"_s);
    EXPECT_EQ(t->child(3)->role(), QAccessible::RowHeader);
    EXPECT_EQ(t->child(4), cell(0, kTitle));
    EXPECT_EQ(t->child(8), cell(1, kShortcut));
    for (int i = 0; i < t->childCount(); ++i) {
        EXPECT_EQ(t->indexOfChild(t->child(i)), i);
        EXPECT_EQ(t->child(i)->parent(), t);
    }
    EXPECT_EQ(cell(0, kShortcut)->tableCellInterface()->columnHeaderCells(),
              QList<QAccessibleInterface*>{t->child(2)});

    EXPECT_EQ(cell(0, kTitle)->role(), QAccessible::Cell);
    EXPECT_EQ(cell(1, kTitle)->text(QAccessible::Name), u"Format→Italic"_s);
    const QPoint center = cell(1, kTitle)->rect().center();
    EXPECT_EQ(center, table()->viewport()->mapToGlobal(
                          table()->visualRect(table()->model()->index(1, kTitle)).center()));
    EXPECT_EQ(t->childAt(center.x(), center.y()), cell(1, kTitle));

    // The recorder, with its labels, and the way back up.
    QAccessibleInterface* shortcutCell = cell(0, kShortcut);
    ASSERT_EQ(shortcutCell->childCount(), 1);
    QAccessibleInterface* cellWidget = shortcutCell->child(0);
    EXPECT_EQ(cellWidget->object(), table()->cellAtRow(0));
    EXPECT_EQ(cellWidget->parent(), shortcutCell);
    QAccessibleInterface* bold = recorderOf(shortcutCell);
    ASSERT_TRUE(bold);
    EXPECT_EQ(bold->parent(), cellWidget);
    ASSERT_EQ(bold->childCount(), 2);
    EXPECT_EQ(bold->child(0)->text(QAccessible::Name), QStringLiteral(u"\u2318B"));
    const QPoint inRecorder = bold->rect().center();
    EXPECT_EQ(shortcutCell->childAt(inRecorder.x(), inRecorder.y()), cellWidget);
}

TEST_F(ShortcutsTableAccessibilityTest, PressingARecordersButtonRecordsAndSavesTheRowsKey) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    QAccessibleInterface* bold = recorderOf(cell(0, kShortcut));
    ASSERT_TRUE(bold);
    press(bold->child(0));
    ASSERT_TRUE(recorder(0)->isRecording());
    EXPECT_EQ(bold->child(0)->text(QAccessible::Name), u"Type New Shortcut"_s);
    EXPECT_TRUE(bold->child(0)->state().pressed);

    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(recorder(0)->isRecording());
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@$i"}}));
    EXPECT_EQ(cell(0, kShortcut)->text(QAccessible::Name),
              recorder(0)->shortcutValue()->description());

    // The action button clears it, which saves too.
    press(bold->child(1));
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", ""}}));
    EXPECT_EQ(cell(0, kShortcut)->text(QAccessible::Name), u"No shortcut"_s);
}

TEST_F(ShortcutsTableAccessibilityTest, CellsFollowTheirRowsAndGoWithThem) {
    storeTable(kDraw, {{"Arc", "@a"}, {"Box", "@b"}, {"Circle", "@c"}});
    select(kDraw);
    QAccessibleInterface* box = cell(1, kTitle);
    QAccessibleInterface* circle = cell(2, kShortcut);
    const QAccessible::Id arc = QAccessible::uniqueId(cell(0, kTitle));

    controller.setSelectionIndexes({0});
    controller.commands()->action(QRVShortcutsCommands::Command::RemoveShortcut)->trigger();
    ASSERT_EQ(titles(), (QStringList{"Box", "Circle"}));
    // The same objects, at their new places: a screen reader keeps its cell.
    EXPECT_EQ(cell(0, kTitle), box);
    EXPECT_EQ(box->tableCellInterface()->rowIndex(), 0);
    EXPECT_EQ(tableInterface()->indexOfChild(box), 4);
    EXPECT_EQ(tableInterface()->child(8), circle);
    EXPECT_EQ(recorderOf(circle)->child(0)->text(QAccessible::Name), QStringLiteral(u"\u2318C"));
    // The removed row's cell is gone.
    EXPECT_EQ(QAccessible::accessibleInterface(arc), nullptr);

    // Rows added after them keep them too.
    controller.commands()->action(QRVShortcutsCommands::Command::AddShortcut)->trigger();
    ASSERT_EQ(tableInterface()->tableInterface()->rowCount(), 3);
    EXPECT_EQ(cell(1, kShortcut), circle);
    EXPECT_EQ(cell(2, kTitle)->text(QAccessible::Name), u""_s);
    // Its title editor is open, and found in its cell.
    ASSERT_NE(titleEditor(), nullptr);
    ASSERT_EQ(cell(2, kTitle)->childCount(), 1);
    EXPECT_EQ(cell(2, kTitle)->child(0)->object(), titleEditor());

    // Another application's list replaces every row.
    select(kNotes);
    EXPECT_EQ(cell(0, kTitle)->text(QAccessible::Name), u""_s); // the placeholder
    EXPECT_EQ(tableInterface()->tableInterface()->rowCount(), 1);
}

TEST_F(ShortcutsTableAccessibilityTest, TheCellActionAndTheTableSelectWholeRows) {
    storeTable(kDraw, {{"Arc", "@a"}, {"Box", "@b"}, {"Circle", "@c"}});
    select(kDraw);
    controller.setSelectionIndexes({});
    QAccessibleTableInterface* t = tableInterface()->tableInterface();

    QAccessibleInterface* box = cell(1, kShortcut);
    EXPECT_EQ(box->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::toggleAction()});
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{1});
    EXPECT_TRUE(cell(1, kTitle)->state().selected);
    EXPECT_TRUE(box->tableCellInterface()->isSelected());
    EXPECT_EQ(t->selectedRows(), QList<int>{1});
    EXPECT_EQ(t->selectedCellCount(), 2);

    EXPECT_TRUE(t->selectRow(2));
    EXPECT_EQ(controller.selectionIndexes(), (QList<int>{1, 2}));
    EXPECT_FALSE(t->selectColumn(0)); // rows only
    EXPECT_TRUE(t->unselectRow(1));
    EXPECT_EQ(controller.selectionIndexes(), QList<int>{2});
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(controller.selectionIndexes(), (QList<int>{1, 2}));
}

TEST_F(ShortcutsTableAccessibilityTest, RowsFarOutOfSightHaveNoRecorderUntilScrolledTo) {
    QVariantMap many;
    for (int i = 0; i < 300; ++i)
        many.insert(QStringLiteral("Item %1").arg(i, 3, 10, QLatin1Char('0')), QString());
    storeTable(kDraw, many);
    select(kDraw);
    QAccessibleInterface* last = cell(299, kShortcut);
    EXPECT_EQ(last->childCount(), 0);
    EXPECT_TRUE(last->state().offscreen);
    EXPECT_EQ(cell(299, kTitle)->text(QAccessible::Name), u"Item 299"_s);

    table()->scrollToBottom();
    ASSERT_EQ(last->childCount(), 1);
    EXPECT_FALSE(last->state().offscreen);
    EXPECT_EQ(last->child(0)->parent(), last);
    EXPECT_EQ(cell(0, kShortcut)->childCount(), 0); // dropped at the top
}

} // namespace
