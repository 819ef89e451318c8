#include "model/KeyEquivalentTable.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Platform.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/testing/FixedKeyboardLayout.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

constexpr quint64 kCmd = KSCShortcut::Command;

QString write(quint64 keyCode, quint64 flags = 0) {
    const KSCShortcut shortcut(keyCode, flags);
    return QRVMenuShortcut::keyEquivalentFromShortcut(&shortcut);
}

// keyCode * 1e7 + flags, or -1 for no shortcut: one value to compare.
qint64 read(const QString& keyEquivalent) {
    const KSCShortcutPtr s = QRVMenuShortcut::shortcutFromKeyEquivalent(keyEquivalent);
    return s ? qint64(s->keyCode() * 10000000 + s->modifierFlags()) : -1;
}
qint64 key(quint64 keyCode, quint64 flags = 0) {
    return qint64(keyCode * 10000000 + flags);
}

// The process-wide table holds the fixed U.S. layout (FixedLayoutEnvironment).
TEST(KeyEquivalentNotation, ReadsModifiersInAnyOrderAndWritesThemInOne) {
    EXPECT_EQ(read("@~x"), key(7, kCmd | KSCShortcut::Option));
    EXPECT_EQ(read("~@x"), key(7, kCmd | KSCShortcut::Option));
    EXPECT_EQ(read("$$@^x"), key(7, kCmd | KSCShortcut::Control | KSCShortcut::Shift));
    EXPECT_EQ(write(7, KSCShortcut::Shift | KSCShortcut::Control | KSCShortcut::Option | kCmd),
              QString("@~^$x"));
    EXPECT_EQ(write(0, kCmd | KSCShortcut::Shift),
              QString("@$a")); // Shift is never an upper-case letter
}

TEST(KeyEquivalentNotation, StringsWithoutAKnownKeyReadAsNothing) {
    EXPECT_EQ(read(QString()), -1);
    EXPECT_EQ(read(""), -1);
    EXPECT_EQ(read("@"), -1);
    EXPECT_EQ(read("@X"), -1);  // the layout half holds lower-case texts only
    EXPECT_EQ(read("@xy"), -1); // the whole remainder is the key text
    EXPECT_EQ(read("@@"), -1);  // a modifier character cannot be a key
    EXPECT_TRUE(QRVMenuShortcut::keyEquivalentFromShortcut(nullptr).isNull());
    EXPECT_TRUE(write(KSCShortcut::kNoKey, kCmd).isNull());
}

TEST(KeyEquivalentNotation, SpaceFunctionKeysAndGlyphKeys) {
    EXPECT_EQ(read(QString(QChar(0xF717))), key(90)); // F20 reads and writes like F1-F19
    EXPECT_EQ(write(90, kCmd), QStringLiteral(u"@\uF717"));
    EXPECT_EQ(write(36, kCmd), QStringLiteral(u"@\u21A9"));
    EXPECT_EQ(read(QStringLiteral(u"@\u2305")), key(36, kCmd)); // keypad Enter reads as Return
    EXPECT_EQ(read(QStringLiteral(u"\u2912")), key(115));
    EXPECT_EQ(read(QStringLiteral(u"\u21F2")), key(119));
}

TEST(KeyEquivalentNotation, HigherKeyCodeWinsAndTheLayoutBeatsTheFixedHalf) {
    // Keypad 1 (83) and the main-row 1 (18) type the same text.
    EXPECT_EQ(read("@1"), key(83, kCmd));
    EXPECT_EQ(write(83, kCmd), QString("@1"));
    EXPECT_EQ(write(18, kCmd), QString("@1"));
    EXPECT_EQ(read("?"), key(114)); // no key types "?" unshifted: Help

    qrv::testing::FixedKeyboardLayout questionMark = qrv::testing::FixedKeyboardLayout::us();
    questionMark.setText(44, "?");
    questionMark.setText(123, QStringLiteral(u"\u2190"));
    const KeyEquivalentTable table = KeyEquivalentTable::build(&questionMark);
    EXPECT_EQ(QRVMenuShortcut::shortcutFromKeyEquivalent("?", table)->keyCode(), 44u);
    EXPECT_EQ(
        QRVMenuShortcut::shortcutFromKeyEquivalent(QStringLiteral(u"\u2190"), table)->keyCode(),
        123u);
    EXPECT_EQ(KeyEquivalentTable::build(nullptr).entries(), KeyEquivalentTable::fixedEntries());
}

// Real layouts, compiled from the system's XKB data.
class XkbLayoutNotation : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        auto created = XkbKeyboardLayout::create({GetParam(), {}});
        ASSERT_TRUE(created) << created.error().toStdString();
        layout = std::move(created).value();
        PlatformServices services = platform();
        services.keyboardLayout = layout.get();
        scoped.emplace(services);
        table.emplace(KeyEquivalentTable::build(layout.get()));
    }
    KSCShortcutPtr readOnLayout(const QString& text) const {
        return QRVMenuShortcut::shortcutFromKeyEquivalent(text, *table);
    }

    std::unique_ptr<XkbKeyboardLayout> layout;
    std::optional<ScopedPlatform> scoped;
    std::optional<KeyEquivalentTable> table;
};

TEST_P(XkbLayoutNotation, EveryWritableKeyReadsBackAsItself) {
    int writable = 0;
    for (quint64 code = 0; code < 128; ++code) {
        const QString written = write(code, kCmd);
        if (written.isNull())
            continue;
        ++writable;
        const KSCShortcutPtr back = readOnLayout(written);
        if (QStringLiteral("@~^$").contains(written.back())) {
            EXPECT_FALSE(back) << code; // a modifier character cannot be a key
            continue;
        }
        ASSERT_TRUE(back) << code << " wrote " << written.toStdString();
        EXPECT_EQ(back->modifierFlags(), kCmd);
        if (code == 76) { // keypad Enter's glyph stays Return's
            EXPECT_EQ(back->keyCode(), 36u);
        } else if (back->keyCode() != code) {
            // Keys that type the same text read as the highest of them (the
            // keypad digits), and the German keypad decimal key is written by
            // its name "."; either way the same string is written again.
            EXPECT_EQ(write(back->keyCode(), kCmd), written) << code;
        }
    }
    EXPECT_GT(writable, 80);
}

TEST_P(XkbLayoutNotation, KeypadAndHelpBehaveAsOnThePlatform) {
    EXPECT_EQ(readOnLayout("@1")->keyCode(), 83u);
    EXPECT_EQ(write(83, kCmd), QString("@1"));
    EXPECT_EQ(readOnLayout("?")->keyCode(), 114u);
    // A keypad key that types something else than its name does not take the
    // main-row key's text: "-" stays the minus key, and German "," the comma.
    EXPECT_EQ(readOnLayout("@-")->keyCode(), layout->translate(27) == "-" ? 27u : 44u);
    EXPECT_EQ(readOnLayout("@,")->keyCode(), 43u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, XkbLayoutNotation, ::testing::Values("us", "de"));

} // namespace
