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
    const auto de = load("de");
    ASSERT_TRUE(us && de);
    const struct {
        const XkbKeyboardLayout& layout;
        quint16 keyCode;
        QString typed;
    } cases[] = {
        {*us, 0, "a"},           {*us, 6, "z"},  {*us, 50, "`"},
        {*us, 49, " "},          {*us, 83, "1"},                 // keypad with Num Lock on
        {*us, 65, "."},          {*us, 78, "-"}, {*us, 122, ""}, // F1 types nothing
        {*us, 127, ""},          {*us, 500, ""}, {*de, 27, u"\u00DF"_qs},
        {*de, 24, u"\u00B4"_qs}, // dead keys give their spacing character
        {*de, 50, "^"},          {*de, 6, "y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.layout.translate(c.keyCode), c.typed)
            << c.layout.inputSourceId().toStdString() << ' ' << c.keyCode;
    EXPECT_EQ(us->keyCodeForScanCode(38), std::optional<quint16>(0));    // evdev KEY_A + 8
    EXPECT_EQ(us->keyCodeForScanCode(118), std::optional<quint16>(114)); // Insert is Help
    EXPECT_FALSE(us->keyCodeForScanCode(1));
    EXPECT_EQ(us->inputSourceId(), QString("org.freedesktop.xkb.us"));
    EXPECT_FALSE(us->localizedName().isEmpty());
    EXPECT_EQ(de->localizedName(), QString("German"));
    const auto nodead = load("de", "nodeadkeys");
    ASSERT_TRUE(nodead);
    EXPECT_EQ(nodead->inputSourceId(), QString("org.freedesktop.xkb.de.nodeadkeys"));
}

TEST(XkbKeyboardLayout, UnknownLayoutsAreReportedByNameAndTheUsersComesFromTheEnvironment) {
    const auto missing = XkbKeyboardLayout::create({"xx-nonexistent", ""});
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().contains("xx-nonexistent"));
    EXPECT_FALSE(XkbKeyboardLayout::create({"", ""}));

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
