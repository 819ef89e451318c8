#include "FileHelpers.h"
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
using namespace Qt::StringLiterals;

namespace {

QVariantMap entry(const QVariant& enabled, qint64 character, qint64 keyCode, qint64 modifiers) {
    return {{u"enabled"_s, enabled},
            {u"value"_s, QVariantMap{{u"parameters"_s, QVariantList{character, keyCode, modifiers}},
                                     {u"type"_s, u"standard"_s}}}};
}

class HotKeysTest : public ::testing::Test {
  protected:
    void writeTable(const QVariant& table) {
        ASSERT_TRUE(qrv::testing::writeFile(
            home.preferencesFile(u"com.apple.symbolichotkeys"_s),
            plist::encode(QVariantMap{{u"AppleSymbolicHotKeys"_s, table}}).value()));
    }

    qrv::testing::TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    PreferencesHotKeys hotKeys{preferences};
};

TEST_F(HotKeysTest, ReadsEveryEntryWithItsStateInNumberOrder) {
    writeTable(QVariantMap{
        // Command-Shift-3 as the platform writes it (event modifier flags).
        {u"28"_s, entry(true, '3', 20, 0x120000)},
        // Disabled; Control with the function-key bit, which has no Carbon bit.
        {u"10"_s, entry(false, 0xFFFF, 96, 0x840000)},
        {u"64"_s, entry(true, ' ', 49, 0x100000)},
        // Carbon bits and an integer for "enabled" are understood too.
        {u"7"_s, entry(1, 'f', 3, 0x1100)},
        // No key, or not a hot key at all: left out.
        {u"99"_s, entry(true, 0xFFFF, 0xFFFF, 0)},
        {u"100"_s, QVariantMap{{u"enabled"_s, true}}},
        {u"101"_s, u"garbage"_s},
    });
    const auto read = hotKeys.copySymbolicHotKeys();
    ASSERT_TRUE(read) << read.error().toStdString();
    ASSERT_EQ(read->size(), 4);
    const SymbolicHotKey& f = read->at(0);
    EXPECT_EQ(f.character, u"f"_s);
    EXPECT_EQ(f.keyCode, 3);
    EXPECT_EQ(f.carbonModifiers, 0x1100u);
    EXPECT_TRUE(f.enabled);
    EXPECT_EQ(read->at(1).keyCode, 96);
    EXPECT_EQ(read->at(1).carbonModifiers, 0x1000u);
    EXPECT_FALSE(read->at(1).enabled);
    EXPECT_EQ(read->at(1).character, u""_s);
    EXPECT_EQ(read->at(2).carbonModifiers, 0x300u);
    EXPECT_EQ(read->at(2).character, u"3"_s);
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
    EXPECT_EQ(bad.error(), u"The system-wide keyboard shortcuts are not stored as a dictionary."_s);
}

} // namespace
