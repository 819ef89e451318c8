#include "RecorderFixture.h"
#include "editor/KSCKeyEvents.h"
#include "platform/linux/XkbKeyboardLayout.h"

#include <QLineEdit>
#include <QSignalSpy>

using namespace qrv;
using namespace Qt::StringLiterals;
using namespace qrv::keycodes;
using namespace qrv::testing;

namespace {

class RecordingKeysTest : public RecorderFixture {
  protected:
    void startRecording(KSCShortcutView* view) {
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, inShortcutArea());
        ASSERT_TRUE(view->isRecording());
        ASSERT_EQ(QApplication::focusWidget(), view);
    }
};

struct KeyRow {
    const char* name;
    quint16 keyCode;
    Qt::KeyboardModifiers modifiers;
    // What is recorded, or empty for a refusal with a beep.
    QString recorded;
};

TEST_F(RecordingKeysTest, ValidCombinationsAreRecordedAndInvalidOnesBeep) {
    const QList<KeyRow> rows = {
        {"Space alone", kSpace, Qt::NoModifier, u"Space"_s},
        {"F5 alone", kF5, Qt::NoModifier, u"F5"_s},
        {"Command-Delete", kDelete, Qt::ControlModifier, QStringLiteral(u"\u2318\u232B")},
        {"Option-letter", kA, Qt::AltModifier, QStringLiteral(u"\u2325A")},
        {"Control-Shift-K", kK, Qt::MetaModifier | Qt::ShiftModifier,
         QStringLiteral(u"\u2303\u21E7K")},
        {"Option-Escape", kEscape, Qt::AltModifier, QStringLiteral(u"\u2325\u238B")},
        {"a letter alone", kA, Qt::NoModifier, u""_s},
        {"Shift-letter", kA, Qt::ShiftModifier, u""_s},
        {"Shift-Delete", kDelete, Qt::ShiftModifier, u""_s},
        {"Tab alone", kTab, Qt::NoModifier, u""_s},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.name);
        first->setShortcutValue(nullptr);
        changes.clear();
        alerts.beeps = 0;
        startRecording(first);
        type(row.keyCode, row.modifiers);
        if (row.recorded.isEmpty()) {
            EXPECT_EQ(alerts.beeps, 1);
            EXPECT_TRUE(first->isRecording());
            EXPECT_TRUE(changes.isEmpty());
            first->setRecording(false);
        } else {
            EXPECT_EQ(alerts.beeps, 0);
            EXPECT_FALSE(first->isRecording());
            EXPECT_EQ(changes, QStringList{row.recorded});
        }
        EXPECT_TRUE(alerts.shown.isEmpty());
    }
}

TEST_F(RecordingKeysTest, EscapeCancelsAndDeleteClears) {
    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    changes.clear();
    startRecording(first);
    type(kEscape);
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(value(), QStringLiteral(u"\u2318K"));
    EXPECT_TRUE(changes.isEmpty());

    startRecording(first);
    type(kDelete);
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(changes, QStringList{u"nil"_s});

    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    startRecording(first);
    type(kForwardDelete);
    EXPECT_FALSE(first->shortcutValue());
    EXPECT_EQ(alerts.beeps, 0);
}

TEST_F(RecordingKeysTest, HeldModifiersShowAsThePlaceholder) {
    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    startRecording(first);
    // Meta is the platform's Control, Alt its Option.
    modifierKey(QEvent::KeyPress, Qt::Key_Meta, kControlKey, Qt::NoModifier);
    EXPECT_EQ(first->drawingPlan().title, QStringLiteral(u"\u2303"));
    modifierKey(QEvent::KeyPress, Qt::Key_Alt, kOptionKey, Qt::MetaModifier);
    EXPECT_EQ(first->drawingPlan().title, QStringLiteral(u"\u2303\u2325"));
    modifierKey(QEvent::KeyRelease, Qt::Key_Meta, kControlKey, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_EQ(first->drawingPlan().title, QStringLiteral(u"\u2325"));
    modifierKey(QEvent::KeyRelease, Qt::Key_Alt, kOptionKey, Qt::AltModifier);
    EXPECT_EQ(first->drawingPlan().title, u"Type New Shortcut"_s);
    EXPECT_TRUE(first->isRecording());
    EXPECT_EQ(alerts.beeps, 0);
}

TEST_F(RecordingKeysTest, NoKeyReachesTheWindowOrTheMenusWhileRecording) {
    auto* field = new QLineEdit(window.centralWidget());
    field->show();
    QSignalSpy quits(quitAction, &QAction::triggered);
    QSignalSpy closes(closeAction, &QAction::triggered);
    // As in the editor's rows: the menu's own keys may be recorded.
    first->setShouldCheckForConflicts(false);

    startRecording(first);
    // Through the window system's path, shortcut map included (no scan codes:
    // the keys are placed by their Qt key).
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_EQ(alerts.beeps, 1);
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(alerts.beeps, 2);
    QTest::keyClick(first, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(closes.count(), 0);
    EXPECT_EQ(value(), QStringLiteral(u"\u2318W"));

    first->setShortcutValue(nullptr);
    startRecording(first);
    QTest::keyClick(first, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits.count(), 0);
    EXPECT_EQ(value(), QStringLiteral(u"\u2318Q"));

    // Not recording: the keys go where they always go.
    QTest::keyClick(first, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quits.count(), 1);
}

TEST_F(RecordingKeysTest, TheWindowLosingFocusStopsRecording) {
    first->setShortcutValue(shortcut(kK, KSCShortcut::Command));
    startRecording(first);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(first->isRecording());
    EXPECT_EQ(value(), QStringLiteral(u"\u2318K"));
    // And the key monitor went with it.
    type(kA, Qt::ControlModifier);
    EXPECT_EQ(value(), QStringLiteral(u"\u2318K"));
}

TEST_F(RecordingKeysTest, AnotherRecorderGoingAwayLeavesTheRecordingOneListening) {
    startRecording(first);
    delete new QRVShortcutView(services(), window.centralWidget());
    type(kK, Qt::ControlModifier);
    EXPECT_EQ(value(), QStringLiteral(u"\u2318K"));
}

// The same physical keys on three layouts: Y/Z swap on German, A/Q on French.
TEST(RecorderKeyLayouts, TheSamePhysicalKeyGivesTheSameShortcut) {
    struct Layout {
        const char* name;
        int qtKeyAtZ, qtKeyAtA; // what the keys at the U.S. Z and A positions type
    };
    const QList<Layout> layouts = {
        {"us", Qt::Key_Z, Qt::Key_A}, {"de", Qt::Key_Y, Qt::Key_A}, {"fr", Qt::Key_W, Qt::Key_Q}};
    // evdev KEY_Z and KEY_A plus 8, the window system's key codes.
    constexpr quint32 kScanCodeAtZ = 52, kScanCodeAtA = 38;
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.name);
        auto layout = XkbKeyboardLayout::create({QString::fromLatin1(l.name), QString()});
        ASSERT_TRUE(layout) << layout.error().toStdString();
        const QKeyEvent atZ(QEvent::KeyPress, l.qtKeyAtZ, Qt::ControlModifier, kScanCodeAtZ, 0, 0);
        const QKeyEvent atA(QEvent::KeyPress, l.qtKeyAtA, Qt::ControlModifier, kScanCodeAtA, 0, 0);
        const auto z = shortcutWithKeyEvent(atZ, **layout);
        const auto a = shortcutWithKeyEvent(atA, **layout);
        EXPECT_EQ(z->keyCode(), 6u);
        EXPECT_EQ(a->keyCode(), 0u);
        EXPECT_EQ(z->modifierFlags(), quint64(KSCShortcut::Command));
    }
}

TEST(RecorderKeyLayouts, EventsWithoutScanCodeArePlacedByTheirKey) {
    const auto us = qrv::testing::FixedKeyboardLayout::us();
    auto keyCodeOf = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return keyCodeOfKeyEvent(QKeyEvent(QEvent::KeyPress, key, modifiers), us).value_or(999);
    };
    EXPECT_EQ(keyCodeOf(Qt::Key_K), 40);
    EXPECT_EQ(keyCodeOf(Qt::Key_1), 18);
    EXPECT_EQ(keyCodeOf(Qt::Key_1, Qt::KeypadModifier), 83);
    EXPECT_EQ(keyCodeOf(Qt::Key_Backtab), 48);
    EXPECT_EQ(keyCodeOf(Qt::Key_Delete), 117);
    EXPECT_EQ(keyCodeOf(Qt::Key_Shift), 999);
    EXPECT_EQ(keyCodeOf(Qt::Key_Eacute), 999); // not on this layout
}

} // namespace
