#include "platform/linux/XkbKeyboardLayout.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

std::unique_ptr<XkbKeyboardLayout> load(const char* layout, const char* variant = "") {
    auto created = XkbKeyboardLayout::create({layout, variant});
    EXPECT_TRUE(created) << created.error().toStdString();
    return created ? std::move(created).value() : nullptr;
}

TEST(XkbKeyboardLayout, TranslatesKeysAtThePlatformsPositions) {
    const auto us = load("us");
    ASSERT_TRUE(us);
    EXPECT_EQ(us->translate(0), QString("a"));
    EXPECT_EQ(us->translate(6), QString("z"));
    EXPECT_EQ(us->translate(50), QString("`"));
    EXPECT_EQ(us->translate(49), QString(" "));
    EXPECT_EQ(us->translate(83), QString("1")); // keypad with Num Lock on
    EXPECT_EQ(us->translate(65), QString("."));
    EXPECT_EQ(us->translate(78), QString("-"));
    EXPECT_EQ(us->translate(122), QString()); // F1 types nothing
    EXPECT_EQ(us->translate(127), QString());
    EXPECT_EQ(us->translate(500), QString());
    EXPECT_EQ(us->keyCodeForScanCode(38), std::optional<quint16>(0));    // evdev KEY_A + 8
    EXPECT_EQ(us->keyCodeForScanCode(118), std::optional<quint16>(114)); // Insert is Help
    EXPECT_FALSE(us->keyCodeForScanCode(1));
    EXPECT_EQ(us->inputSourceId(), QString("org.freedesktop.xkb.us"));
    EXPECT_FALSE(us->localizedName().isEmpty());
}

TEST(XkbKeyboardLayout, GermanDeadKeysGiveTheirSpacingCharacter) {
    const auto de = load("de");
    ASSERT_TRUE(de);
    EXPECT_EQ(de->translate(27), QStringLiteral(u"\u00DF"));
    EXPECT_EQ(de->translate(24), QStringLiteral(u"\u00B4"));
    EXPECT_EQ(de->translate(50), QString("^"));
    EXPECT_EQ(de->translate(6), QString("y"));
    EXPECT_EQ(de->localizedName(), QString("German"));
    const auto nodead = load("de", "nodeadkeys");
    ASSERT_TRUE(nodead);
    EXPECT_EQ(nodead->inputSourceId(), QString("org.freedesktop.xkb.de.nodeadkeys"));
}

TEST(XkbKeyboardLayout, UnknownLayoutsAreReportedByName) {
    const auto missing = XkbKeyboardLayout::create({"xx-nonexistent", ""});
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().contains("xx-nonexistent"));
    EXPECT_FALSE(XkbKeyboardLayout::create({"", ""}));
}

TEST(XkbKeyboardLayout, UserLayoutComesFromTheEnvironmentFirst) {
    qputenv("XKB_DEFAULT_LAYOUT", "fr,de");
    qputenv("XKB_DEFAULT_VARIANT", "oss,");
    const auto names = XkbKeyboardLayout::userLayoutNames();
    qunsetenv("XKB_DEFAULT_LAYOUT");
    qunsetenv("XKB_DEFAULT_VARIANT");
    EXPECT_EQ(names.layout, QString("fr"));
    EXPECT_EQ(names.variant, QString("oss"));
    EXPECT_FALSE(XkbKeyboardLayout::userLayoutNames().layout.isEmpty());
}

} // namespace
