#include "platform/UserDefaults.h"

#include "platform/linux/PlistFilePreferenceStore.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

TEST(UserDefaults, StoredBeatsRegisteredAndConvertsLikeThePlatform) {
    qrv::testing::TempHome home;
    PlistFilePreferenceStore store(home.path());
    UserDefaults defaults(store, "com.brackwyn.Quorvane");
    defaults.registerDefaults({{"count", qint64(5)}, {"flag", true}});
    EXPECT_EQ(defaults.integerForKey("count"), 5);
    EXPECT_TRUE(defaults.boolForKey("flag"));
    EXPECT_EQ(defaults.integerForKey("missing"), 0);
    EXPECT_FALSE(defaults.boolForKey("missing"));
    EXPECT_TRUE(defaults.stringForKey("missing").isNull());

    defaults.setInteger("count", 7);
    defaults.setObject("flag", QStringLiteral("NO"));
    defaults.setObject("yes", QStringLiteral("YES"));
    defaults.setObject("text", QStringLiteral("12"));
    defaults.setObject("real", 2.9);
    EXPECT_EQ(defaults.integerForKey("count"), 7);
    EXPECT_FALSE(defaults.boolForKey("flag"));
    EXPECT_TRUE(defaults.boolForKey("yes"));
    EXPECT_EQ(defaults.integerForKey("text"), 12);
    EXPECT_EQ(defaults.integerForKey("real"), 2);
    EXPECT_EQ(defaults.stringForKey("count"), "7");
    EXPECT_TRUE(defaults.stringForKey("dict").isNull());

    // Settings live in the preference file of our bundle identifier.
    EXPECT_EQ(PlistFilePreferenceStore(home.path()).copyValue("count", "com.brackwyn.Quorvane"),
              qint64(7));
    defaults.removeObject("count");
    EXPECT_EQ(defaults.integerForKey("count"), 5); // the registered value shows again
}

} // namespace
