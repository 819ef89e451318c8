#include "model/KSCShortcut.h"

#include "platform/testing/FixedKeyboardLayout.h"
#include "support/QtPrinters.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

constexpr quint64 kCmd = KSCShortcut::Command, kOpt = KSCShortcut::Option,
                  kCtrl = KSCShortcut::Control, kShift = KSCShortcut::Shift;

void setSwitches(bool on) {
    KSCShortcut::setAllowsAnyHotkeyWithOptionModifier(on);
    KSCShortcut::setAllowsSpaceAndEscapeWithNoModifiers(on);
}

// The switches are process-wide: every test leaves them off.
struct SwitchesGuard {
    explicit SwitchesGuard(bool on) { setSwitches(on); }
    ~SwitchesGuard() { setSwitches(false); }
};

TEST(KSCShortcut, KeepsOnlyTheFourModifiers) {
    KSCShortcut shortcut(40, 0xFFFFFFFF);
    EXPECT_EQ(shortcut.modifierFlags(), KSCShortcut::kModifierMask);
    shortcut.setModifierFlags(kCtrl | 0x10000 /* Caps Lock */ | 0x800000 /* Function */);
    EXPECT_EQ(shortcut.modifierFlags(), kCtrl);
    shortcut.setKeyCode(500);
    EXPECT_EQ(shortcut.keyCode(), 500u); // key codes are not masked
}

TEST(KSCShortcut, NamesAndCarbonFlags) {
    const KSCShortcut all(40, kCmd | kOpt | kCtrl | kShift);
    EXPECT_EQ(all.description(), QStringLiteral(u"\u2303\u2325\u21E7\u2318K"));
    EXPECT_EQ(all.carbonFlags(), 0x100u | 0x800u | 0x1000u | 0x200u);
    EXPECT_EQ(KSCShortcut(49, 0).description(), QString("Space"));
    // F20 reads from U+F717, so it is named and written like F1-F19.
    EXPECT_EQ(KSCShortcut(90, kCmd).description(), QStringLiteral(u"\u2318F20"));
    EXPECT_EQ(KSCShortcut(90, 0).keyCodeStringForKeyEquivalent(), QString(QChar(0xF717)));
    EXPECT_EQ(KSCShortcut(KSCShortcut::kNoKey, kCmd).description(), QStringLiteral(u"\u2318"));
    EXPECT_EQ(KSCShortcut(52, 0).keyCodeString(), QString()); // no key there
}

TEST(KSCShortcut, ValidityFollowsTheRecorderRule) {
    for (const bool on : {false, true}) {
        SwitchesGuard guard(on);
        SCOPED_TRACE(on ? "switches on" : "switches off");
        EXPECT_TRUE(KSCShortcut(96, 0).isValid()); // F5 alone
        EXPECT_TRUE(KSCShortcut(0, kCtrl | kShift).isValid());
        EXPECT_TRUE(KSCShortcut(49, kOpt).isValid());
        EXPECT_TRUE(KSCShortcut(53, kOpt | kShift).isValid());
        EXPECT_FALSE(KSCShortcut(0, kShift).isValid());
        EXPECT_FALSE(KSCShortcut(0, 0).isValid());
        EXPECT_EQ(KSCShortcut(0, kOpt).isValid(), on);
        EXPECT_EQ(KSCShortcut(49, 0).isValid(), on);
        EXPECT_EQ(KSCShortcut(53, 0).isValid(), on);
    }
}

TEST(KSCShortcut, ArchiveRoundTripsAndRejectsWhatIsNotAnArchive) {
    const QVariantMap noKey = KSCShortcut(KSCShortcut::kNoKey, kCmd).archive();
    EXPECT_EQ(noKey.value("KeyCode"), QVariant(qint64(-1)));
    EXPECT_EQ(noKey.value("ModifierFlags"), QVariant(qint64(kCmd)));
    EXPECT_EQ(KSCShortcut::fromArchive(noKey)->keyCode(), KSCShortcut::kNoKey);

    const auto decoded = KSCShortcut::fromArchive(
        QVariantMap{{"KeyCode", qint64(-7)}, {"ModifierFlags", qint64(kShift | 0x1)}});
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->keyCode(), KSCShortcut::kNoKey);
    EXPECT_EQ(decoded->modifierFlags(), kShift);
    EXPECT_EQ(KSCShortcut::fromArchive(QVariantMap{{"ModifierFlags", qint64(kCmd)}})->keyCode(),
              0u);
    EXPECT_FALSE(KSCShortcut::fromArchive(QVariantMap{{"KeyCode", "12"}}));
    EXPECT_FALSE(KSCShortcut::fromArchive(QVariantList{}));
}

TEST(KSCShortcut, FromKeyEventTakesScanCodeAndQtModifiers) {
    // The fixed layout places key code N at scan code N + 8.
    const QKeyEvent event(QEvent::KeyPress, Qt::Key_K,
                          Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier, 40 + 8, 0, 0);
    const auto layout = qrv::testing::FixedKeyboardLayout::us();
    const KSCShortcutPtr shortcut = KSCShortcut::shortcutWithEvent(event, layout);
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(shortcut->keyCode(), 40u);
    EXPECT_EQ(shortcut->modifierFlags(), kCmd | kCtrl | kOpt);
    EXPECT_FALSE(KSCShortcut::shortcutWithEvent(
        QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, 3, 0, 0), layout));
}

} // namespace
