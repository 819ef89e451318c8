#include "RecorderFixture.h"
#include "editor/QRVRecorderReplacements.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

using namespace qrv;
using namespace Qt::StringLiterals;
using namespace qrv::keycodes;
using namespace qrv::testing;

namespace {

const QString kCommandK = QStringLiteral(u"\u2318K");

using ShortcutRecorderTest = RecorderFixture;

void moveMouse(QWidget* widget, QPoint to) {
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

struct DrawingRow {
    bool value, recording, hinting, canClear;
    QString placeholder;
    QString glyph, title;
    bool wholeBounds, state;
};

TEST_F(ShortcutRecorderTest, DrawsEachStateAsItsTableRowSays) {
    const QString erase = QStringLiteral(u"\u232B"), escape = QStringLiteral(u"\u238B");
    const QString none;
    const QList<DrawingRow> rows = {
        {true, false, false, true, none, erase, kCommandK, false, false},
        {true, false, false, false, none, none, kCommandK, true, false},
        {true, true, true, true, none, escape, u"Use Old Shortcut"_s, false, true},
        {true, true, false, true, none, escape, u"Type New Shortcut"_s, false, true},
        {true, true, false, true, QStringLiteral(u"\u2325"), escape, QStringLiteral(u"\u2325"),
         false, true},
        {false, true, true, true, none, escape, u"Cancel"_s, false, true},
        {false, true, false, true, none, escape, u"Type Shortcut"_s, false, true},
        {false, true, false, false, QStringLiteral(u"\u2303"), escape, QStringLiteral(u"\u2303"),
         false, true},
        {false, false, false, true, none, none, u"Record Shortcut"_s, true, false},
    };
    for (const DrawingRow& row : rows) {
        first->setShortcutValue(row.value ? shortcut(kK, KSCShortcut::Command) : nullptr);
        first->setCanClear(row.canClear);
        first->setRecording(row.recording);
        first->setShortcutPlaceholder(row.placeholder);
        first->setHinting(row.hinting);
        const auto plan = first->drawingPlan();
        SCOPED_TRACE(row.title.toStdString());
        EXPECT_EQ(plan.actionGlyph, row.glyph);
        EXPECT_EQ(plan.title, row.title);
        EXPECT_EQ(plan.titleRect, row.wholeBounds ? QRectF(0, 0, 150, 22) : QRectF(0, 0, 127, 22));
        EXPECT_EQ(plan.state, row.state);
        first->setRecording(false);
        first->setHinting(false);
    }
}

TEST_F(ShortcutRecorderTest, AccessibilityChildrenCarryTheLabelsAndPressActions) {
    QAccessibleInterface* recorder = QAccessible::queryAccessibleInterface(first);
    ASSERT_TRUE(recorder);
    ASSERT_EQ(recorder->childCount(), 2);
    QAccessibleInterface* shortcutButton = recorder->child(0);
    QAccessibleInterface* actionButton = recorder->child(1);
    EXPECT_EQ(shortcutButton->role(), QAccessible::Button);
    const QPoint origin = first->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(actionButton->rect(), QRect(origin + QPoint(127, 0), QSize(23, 22)));
    EXPECT_EQ(recorder->childAt(origin.x() + 140, origin.y() + 5), actionButton);
    auto label = [](QAccessibleInterface* button) {
        return button->text(QAccessible::Name);
    };
    auto press = [](QAccessibleInterface* button) {
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    };

    // Without a value the action button toggles recording.
    EXPECT_EQ(label(shortcutButton), u"Click to record new shortcut"_s);
    press(actionButton);
    EXPECT_TRUE(first->isRecording());
    EXPECT_EQ(label(shortcutButton), u"Type Shortcut"_s);
    EXPECT_EQ(label(actionButton), u"Cancel"_s);
    first->setShortcutPlaceholder(QStringLiteral(u"\u2325"));
    EXPECT_EQ(label(shortcutButton), QStringLiteral(u"\u2325"));
    press(actionButton);
    EXPECT_FALSE(first->isRecording());

    // With a value.
    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    EXPECT_EQ(label(shortcutButton), kCommandK);
    EXPECT_EQ(label(actionButton), u"Delete shortcut"_s);
    press(shortcutButton);
    EXPECT_TRUE(first->isRecording());
    first->setHinting(true);
    EXPECT_EQ(label(shortcutButton), u"Use Old Shortcut"_s);
    first->setHinting(false);
    press(shortcutButton); // while recording: nothing
    EXPECT_TRUE(first->isRecording());
    press(actionButton); // stops, keeps the value
    EXPECT_FALSE(first->isRecording());
    ASSERT_TRUE(first->shortcutValue());
    // canClear is off, yet the action button clears.
    ASSERT_FALSE(first->canClear());
    press(actionButton);
    EXPECT_FALSE(first->shortcutValue());
    EXPECT_EQ(changes, (QStringList{kCommandK, u"nil"_s}));

    // A disabled view ignores both presses.
    first->setEnabled(false);
    press(actionButton);
    press(shortcutButton);
    EXPECT_FALSE(first->isRecording());
    EXPECT_TRUE(shortcutButton->state().disabled);
}

TEST_F(ShortcutRecorderTest, MouseBeginsCancelsHintsAndClears) {
    // Without a value a click anywhere begins, the hint area cancels.
    click(first, inHintArea());
    EXPECT_TRUE(first->isRecording());
    click(first, inShortcutArea());
    EXPECT_TRUE(first->isRecording());
    click(first, inHintArea());
    EXPECT_FALSE(first->isRecording());

    const auto commandK = shortcut(kK, KSCShortcut::Command);
    first->setShortcutValue(commandK);
    first->setShortcutValue(commandK); // the same value again still reports
    click(first, inHintArea());        // canClear off: nothing
    EXPECT_FALSE(first->isRecording());
    EXPECT_TRUE(first->shortcutValue());

    // Hovering the hint area while recording changes the title.
    first->setRecording(true);
    moveMouse(first, inHintArea());
    EXPECT_EQ(first->drawingPlan().title, u"Use Old Shortcut"_s);
    moveMouse(first, inShortcutArea());
    EXPECT_EQ(first->drawingPlan().title, u"Type New Shortcut"_s);
    first->setRecording(false);

    first->setCanClear(true);
    click(first, inHintArea());
    EXPECT_FALSE(first->shortcutValue());
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(changes, (QStringList{kCommandK, kCommandK, u"nil"_s}));
}

class RefusingDelegate : public QObject, public KSCShortcutViewDelegate {
    Q_OBJECT
    Q_INTERFACES(qrv::KSCShortcutViewDelegate)
  public:
    bool shortcutViewShouldBeginRecording(KSCShortcutView*) override {
        ++asked;
        return allow;
    }
    bool allow = false;
    int asked = 0;
};

TEST_F(ShortcutRecorderTest, TheDelegateIsAskedOnMouseDownOnly) {
    RefusingDelegate delegate;
    first->setDelegate(&delegate);
    click(first, inShortcutArea());
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(delegate.asked, 1);
    // Direct calls and the accessibility press do not ask.
    first->setRecording(true);
    EXPECT_TRUE(first->isRecording());
    EXPECT_EQ(delegate.asked, 1);
    // Asked also when the click would stop recording.
    click(first, inHintArea());
    EXPECT_TRUE(first->isRecording());
    EXPECT_EQ(delegate.asked, 2);
    delegate.allow = true;
    click(first, inHintArea());
    EXPECT_FALSE(first->isRecording());
}

TEST_F(ShortcutRecorderTest, OneRecorderAtATime) {
    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    click(first, inShortcutArea());
    ASSERT_TRUE(first->isRecording());
    EXPECT_EQ(currentShortcutRecorder(), first);
    click(second, inShortcutArea());
    EXPECT_FALSE(first->isRecording());
    EXPECT_TRUE(second->isRecording());
    EXPECT_EQ(first->shortcutValue()->description(), kCommandK);
    EXPECT_EQ(currentShortcutRecorder(), second);

    // A disabled view asking to record still stops the other one.
    first->setEnabled(false);
    first->setRecording(true);
    EXPECT_FALSE(second->isRecording());
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(currentShortcutRecorder(), nullptr);
}

TEST_F(ShortcutRecorderTest, DisablingStopsRecordingAndTheHintTracking) {
    click(first, inShortcutArea());
    ASSERT_TRUE(first->isRecording());
    EXPECT_TRUE(first->tracksHintArea());
    first->setEnabled(false);
    EXPECT_FALSE(first->isRecording());
    EXPECT_FALSE(first->tracksHintArea());
    click(first, inShortcutArea()); // handed on: nothing happens
    EXPECT_FALSE(first->isRecording());
    type(kA, Qt::ControlModifier); // no monitor left behind
    EXPECT_FALSE(first->shortcutValue());
}

TEST_F(ShortcutRecorderTest, ToolTipsOnlyForAnEnabledIdleViewWithAValue) {
    EXPECT_EQ(first->toolTipAt(inShortcutArea()), u""_s);
    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    EXPECT_EQ(first->toolTipAt(inShortcutArea()), u"Click to record new shortcut"_s);
    EXPECT_EQ(first->toolTipAt(inHintArea()), u""_s); // a click there would not clear
    first->setCanClear(true);
    EXPECT_EQ(first->toolTipAt(inHintArea()), u"Delete shortcut"_s);
    first->setRecording(true);
    EXPECT_EQ(first->toolTipAt(inShortcutArea()), u""_s);
    first->setRecording(false);
    first->setEnabled(false);
    first->setShortcutValue(first->shortcutValue()); // reset while disabled
    EXPECT_EQ(first->toolTipAt(inShortcutArea()), u""_s);
}

} // namespace

#include "ShortcutRecorderTest.moc"
