#include "platform/LocalizedCompare.h"

#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

QStringList sorted(QStringList names) {
    std::stable_sort(names.begin(), names.end(), localizedStandardLessThan);
    return names;
}

TEST(LocalizedCompare, IgnoresCaseAndComparesNumbersByValue) {
    EXPECT_EQ(sorted({"b", "File 10", "a", "file 9", "B2", "Zed", "\u00c4rger", "A1"}),
              (QStringList{"a", "A1", "\u00c4rger", "b", "B2", "file 9", "File 10", "Zed"}));
    EXPECT_EQ(localizedStandardCompare("Safari", "safari"), 0);
}

// The test runs under whatever locale the machine has; the order must not
// fall back to code points in the C locale.
TEST(LocalizedCompare, HoldsInTheCLocale) {
    if (qEnvironmentVariable("QRV_LOCALE_CHILD") == "1") {
        EXPECT_EQ(sorted({"b", "a10", "A9", "\u00e4"}), (QStringList{"\u00e4", "A9", "a10", "b"}));
        return;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("LANG", "C.UTF-8");
    env.insert("QRV_LOCALE_CHILD", "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=LocalizedCompare.HoldsInTheCLocale"});
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString();
}

} // namespace
