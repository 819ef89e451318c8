#include "StoreTestSupport.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct CliRun {
    int status = -1;
    QString out;
};

CliRun cli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QRV_BINARY_DIR "/bin/quorvane-cli"), arguments);
    CliRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

TEST(TelemetryCli, AddsListsCountsAndPurgesLogsInTheDataFolder) {
    qrv::testing::TempHome home;
    const QStringList telemetry{"--home", home.path(), "telemetry"};
    const CliRun added = cli(
        telemetry + QStringList{"add", "--group", "it's", "--priority", "2", "--bytes", "2048"});
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "yes (SQLite result 0: not an error)\n");
    const QString file =
        home.file("Library/Application Support/com.brackwyn.Quorvane/telemetry/Logs.sqlite");
    EXPECT_EQ(qrv::testing::sqliteShell(file, "SELECT groupId, priority, length(log) FROM logs;"),
              "it's|2|2048");

    const CliRun tooLarge =
        cli(telemetry + QStringList{"add", "--group=g", "--priority=1", "--bytes=10485760"});
    EXPECT_EQ(tooLarge.status, 1);
    EXPECT_EQ(tooLarge.out, "no (SQLite result 1: SQL logic error)\n");

    EXPECT_EQ(cli(telemetry + QStringList{"list"}).out,
              "ID\tGROUP\tPRIORITY\tSIZE\tTYPE\n1\tit's\t2\t2048\tcrashReport\n");
    EXPECT_EQ(cli(telemetry + QStringList{"count"}).out, "1\n");
    EXPECT_EQ(cli(telemetry + QStringList{"purge"}).out, "Deleted 1 log(s).\n");
    EXPECT_EQ(cli(telemetry + QStringList{"count"}).out, "0\n");
    EXPECT_EQ(
        cli(telemetry + QStringList{"add", "--group", "g", "--priority", "256", "--bytes", "1"})
            .status,
        2);
    EXPECT_EQ(cli(telemetry + QStringList{"shred"}).status, 2);
}

TEST(TelemetryCli, OpeningAnOldFileMigratesItAsTheProgramWould) {
    qrv::testing::StoreFolder folder;
    {
        TLMLogDBStorage store(folder.file);
        ASSERT_TRUE(store.saveLog(qrv::testing::namedLog("old"), "g", 1));
    }
    folder.sql("PRAGMA user_version = 3;");
    qrv::testing::TempHome home;
    const CliRun count = cli({"--home", home.path(), "telemetry", "--db", folder.file, "count"});
    EXPECT_EQ(count.status, 0);
    EXPECT_EQ(count.out, "0\n");
    EXPECT_EQ(folder.sql("PRAGMA user_version;"), "5");
}

} // namespace
