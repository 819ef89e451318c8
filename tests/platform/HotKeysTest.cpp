#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/linux/PreferencesHotKeys.h"
#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QVariantMap entry(const QVariant& enabled, qint64 character, qint64 keyCode, qint64 modifiers) {
    return {{"enabled", enabled},
            {"value", QVariantMap{{"parameters", QVariantList{character, keyCode, modifiers}},
                                  {"type", "standard"}}}};
}

class HotKeysTest : public ::testing::Test {
  protected:
    void writeTable(const QVariant& table) {
        const QString path = home.preferencesFile("com.apple.symbolichotkeys");
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(plist::encode(QVariantMap{{"AppleSymbolicHotKeys", table}}, plist::Format::Xml)
                       .value());
    }

    testing::TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    PreferencesHotKeys hotKeys{preferences};
};

TEST_F(HotKeysTest, ReadsEveryEntryWithItsStateInNumberOrder) {
    writeTable(QVariantMap{
        // Command-Shift-3 as the platform writes it (event modifier flags).
        {"28", entry(true, '3', 20, 0x120000)},
        // Disabled; Control with the function-key bit, which has no Carbon bit.
        {"10", entry(false, 0xFFFF, 96, 0x840000)},
        {"64", entry(true, ' ', 49, 0x100000)},
        // Carbon bits and an integer for "enabled" are understood too.
        {"7", entry(1, 'f', 3, 0x1100)},
        // No key, or not a hot key at all: left out.
        {"99", entry(true, 0xFFFF, 0xFFFF, 0)},
        {"100", QVariantMap{{"enabled", true}}},
        {"101", QStringLiteral("garbage")},
    });
    const auto read = hotKeys.copySymbolicHotKeys();
    ASSERT_TRUE(read) << read.error().toStdString();
    ASSERT_EQ(read->size(), 4);
    const SymbolicHotKey& f = read->at(0);
    EXPECT_EQ(f.character, "f");
    EXPECT_EQ(f.keyCode, 3);
    EXPECT_EQ(f.carbonModifiers, 0x1100u);
    EXPECT_TRUE(f.enabled);
    EXPECT_EQ(read->at(1).keyCode, 96);
    EXPECT_EQ(read->at(1).carbonModifiers, 0x1000u);
    EXPECT_FALSE(read->at(1).enabled);
    EXPECT_EQ(read->at(1).character, "");
    EXPECT_EQ(read->at(2).carbonModifiers, 0x300u);
    EXPECT_EQ(read->at(2).character, "3");
    EXPECT_EQ(read->at(3).keyCode, 49);
    EXPECT_EQ(read->at(3).carbonModifiers, 0x100u);
}

TEST_F(HotKeysTest, NoTableIsNoHotKeysAndABadOneIsAnError) {
    const auto none = hotKeys.copySymbolicHotKeys();
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isEmpty());

    writeTable(QVariantList{1, 2});
    const auto bad = hotKeys.copySymbolicHotKeys();
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error(), "The system-wide keyboard shortcuts are not stored as a dictionary.");
}

} // namespace
