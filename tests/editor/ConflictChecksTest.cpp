#include "RecorderFixture.h"
#include "editor/KSCShortcutConflicts.h"

using namespace qrv;
using namespace Qt::StringLiterals;
using namespace qrv::testing;

namespace {

constexpr quint32 kCarbonCommand = 0x100;
const QString kSystemWide = QStringLiteral(
    "This combination cannot be used because it is already used by a system-wide keyboard "
    "shortcut.\nIf you really want to use this key combination, most shortcuts can be changed in "
    "the Keyboard panel in System Settings.");

QString usedByMenuItem(const QString& title) {
    return QStringLiteral("This shortcut cannot be used because it is already used by the menu "
                          "item ‘%1’.")
        .arg(title);
}

class ConflictChecksTest : public RecorderFixture {
  protected:
    ConflictChecksTest() {
        QMenu* edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
        edit->addAction(QStringLiteral("Knit"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
        edit->addAction(QStringLiteral("Select &All"))
            ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        // An item with a submenu that shares its key with an item inside.
        QMenu* find = edit->addMenu(QStringLiteral("Find"));
        find->addAction(QStringLiteral("Find Next"))
            ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
        find->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
        edit->addAction(QStringLiteral("Go"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
        // The system-wide table: Command-K enabled, Command-L disabled.
        hotKeys.hotKeys = {{QStringLiteral("k"), kK, kCarbonCommand, true},
                           {QStringLiteral("l"), kL, kCarbonCommand, false}};
    }

    // Records key + Command in the view; answers the alert's message, or
    // "accepted" when the key became the value.
    QString record(KSCShortcutView* view, quint16 keyCode,
                   Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        view->setShortcutValue(nullptr);
        alerts.shown.clear();
        view->setRecording(true);
        view->setFocus();
        type(keyCode, modifiers);
        const bool accepted = !view->isRecording() && view->shortcutValue();
        view->setRecording(false);
        if (accepted)
            return QStringLiteral("accepted");
        return alerts.shown.isEmpty() ? QStringLiteral("nothing") : alerts.shown.last().messageText;
    }
};

TEST_F(ConflictChecksTest, TheSwitchesSelectTheTests) {
    // Both on (a new view): system-wide first, then the menu.
    EXPECT_EQ(record(first, kK), kSystemWide);   // also Knit's key
    EXPECT_EQ(record(first, kL), u"accepted"_s); // a disabled entry and no menu item
    EXPECT_EQ(record(first, kA), usedByMenuItem(u"Select All"_s));

    first->setShouldCheckMenuForConflicts(false);
    EXPECT_EQ(record(first, kK), kSystemWide);
    EXPECT_EQ(record(first, kA), u"accepted"_s);

    // The editor's rows: nothing is checked, whatever the menu switch says.
    first->setShouldCheckForConflicts(false);
    EXPECT_EQ(record(first, kK), u"accepted"_s);
    first->setShouldCheckMenuForConflicts(true);
    EXPECT_EQ(record(first, kK), u"accepted"_s);
    EXPECT_EQ(record(first, kA), u"accepted"_s);
}

TEST_F(ConflictChecksTest, APlainRecorderAlwaysRunsBothTestsSubmenusFirst) {
    KSCShortcutView plain(services(), window.centralWidget());
    plain.show();
    EXPECT_EQ(record(&plain, kK), kSystemWide);
    EXPECT_EQ(record(&plain, kA), usedByMenuItem(u"Select All"_s));
    EXPECT_EQ(record(&plain, kG), usedByMenuItem(u"Find Next"_s));
}

TEST_F(ConflictChecksTest, ADisabledOrUnreadableSystemWideEntryLetsTheMenuItemSpeak) {
    hotKeys.hotKeys[0].enabled = false;
    EXPECT_EQ(record(first, kK), usedByMenuItem(u"Knit"_s));
    hotKeys.hotKeys[0].enabled = true;
    hotKeys.failure = QStringLiteral("unreadable");
    EXPECT_EQ(record(first, kK), usedByMenuItem(u"Knit"_s));
}

TEST_F(ConflictChecksTest, ATakenKeyShowsTheAlertAndKeepsRecording) {
    first->setShortcutValue(shortcut(kA, KSCShortcut::Option));
    first->setRecording(true);
    first->setFocus();
    modifierKey(QEvent::KeyPress, Qt::Key_Control, kCommandKey, Qt::NoModifier);
    ASSERT_EQ(first->shortcutPlaceholder(), QStringLiteral(u"\u2318"));
    type(kK, Qt::ControlModifier);
    ASSERT_EQ(alerts.shown.size(), 1);
    const Alert& alert = alerts.shown.first();
    EXPECT_EQ(alert.style, Alert::Style::Critical);
    EXPECT_EQ(alert.messageText, kSystemWide);
    EXPECT_EQ(alert.informativeText, QStringLiteral(u"The key combination \u2318K cannot be used"));
    ASSERT_EQ(alert.buttons.size(), 1);
    EXPECT_EQ(alert.buttons.first().title, u"OK"_s);
    EXPECT_TRUE(first->isRecording());
    EXPECT_EQ(first->shortcutPlaceholder(), u""_s);
    EXPECT_EQ(first->shortcutValue()->description(), QStringLiteral(u"\u2325A"));
    // The monitor listens again after the alert.
    type(kL, Qt::ControlModifier);
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(first->shortcutValue()->description(), QStringLiteral(u"\u2318L"));
}

TEST(MenuItemCaseRule, AnUpperCaseKeyEquivalentImpliesShift) {
    const quint64 command = KSCShortcut::Command, shift = KSCShortcut::Shift;
    EXPECT_EQ(menuItemFlagsMatchingCandidate(u"A"_s, command, u"a"_s), command | shift);
    EXPECT_EQ(menuItemFlagsMatchingCandidate(u"a"_s, command, u"a"_s), command);
    // Bits beyond the four modifiers count only for the upper-case form.
    EXPECT_EQ(menuItemFlagsMatchingCandidate(u"a"_s, command | 0x800000, u"a"_s), command);
    EXPECT_EQ(menuItemFlagsMatchingCandidate(u"A"_s, command | 0x800000, u"a"_s),
              command | shift | 0x800000);
    EXPECT_EQ(menuItemFlagsMatchingCandidate(u"b"_s, command, u"a"_s), std::nullopt);
    EXPECT_EQ(menuItemFlagsMatchingCandidate(u"u"_s, 0, u"_s"_s), std::nullopt);
}

TEST_F(ConflictChecksTest, ShiftInAMenuShortcutIsPartOfItsFlags) {
    QMenu* extra = window.menuBar()->addMenu(QStringLiteral("Extra"));
    extra->addAction(QStringLiteral("Big B"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    EXPECT_EQ(record(first, kB, Qt::ControlModifier | Qt::ShiftModifier),
              usedByMenuItem(u"Big B"_s));
    // Select All is Command-A: Command-Shift-A is free.
    EXPECT_EQ(record(first, kA, Qt::ControlModifier | Qt::ShiftModifier), u"accepted"_s);
}

} // namespace
