#include "platform/qt/MenuKeyMapping.h"

#include "platform/Accessibility.h"
#include "support/QtPrinters.h"

#include <QKeySequence>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

MenuKeyAttributes map(const char* portable) {
    const auto attributes = menuKeyAttributes(QKeySequence(QString::fromUtf8(portable))[0]);
    EXPECT_TRUE(attributes.has_value()) << portable;
    return attributes.value_or(MenuKeyAttributes{});
}

TEST(MenuKeyMapping, QtModifiersBecomeThePlatformsBits) {
    // Control is Command (no bit), Alt Option, Meta Control, Shift Shift.
    EXPECT_EQ(map("Ctrl+S").modifiers, 0);
    EXPECT_EQ(map("Ctrl+S").character, "S");
    EXPECT_EQ(map("S").modifiers, ax::kNoCommandModifier);
    EXPECT_EQ(map("Ctrl+Alt+Shift+Z").modifiers, ax::kOptionModifier | ax::kShiftModifier);
    EXPECT_EQ(map("Meta+K").modifiers, ax::kNoCommandModifier | ax::kControlModifier);
    EXPECT_EQ(map("Ctrl++").character, "+");
    EXPECT_EQ(map("Ctrl+\xc3\x84").character, QString::fromUtf8("\xc3\x84")); // Ä
    EXPECT_FALSE(map("Ctrl+S").glyph.has_value());
}

TEST(MenuKeyMapping, KeysWithoutACharacterBecomeGlyphsAndUnshowableKeysNothing) {
    const QList<std::pair<const char*, int>> expected{
        {"Tab", 2},        {"Space", 9}, {"Return", 11}, {"Enter", 11},
        {"Backspace", 23}, {"Esc", 27},  {"PgUp", 98},   {"Left", 100},
        {"Right", 101},    {"Up", 104},  {"Down", 106},  {"PgDown", 107},
        {"End", 105},      {"F1", 111},  {"F12", 122},   {"F20", 130},
    };
    for (const auto& [key, glyph] : expected) {
        const MenuKeyAttributes attributes = map(key);
        EXPECT_EQ(attributes.glyph, glyph) << key;
        EXPECT_TRUE(attributes.character.isEmpty()) << key;
    }

    EXPECT_FALSE(menuKeyAttributes(QKeyCombination(Qt::ControlModifier, Qt::Key_VolumeUp)));
    EXPECT_FALSE(menuKeyAttributes(QKeyCombination(Qt::ControlModifier, Qt::Key_Shift)));
    EXPECT_FALSE(menuKeyAttributes(QKeyCombination()));
}

} // namespace
