#include "LoopbackHttpServer.h"
#include "StoreTestSupport.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct CliRun {
    int status = -1;
    QString out;
};

// Serves this thread's event loop meanwhile, for a loopback server of the test.
CliRun cli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QRV_BINARY_DIR "/bin/quorvane-cli"), arguments);
    CliRun run;
    if (!qrv::testing::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 90000))
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
        TLMLogDBStorage store(folder.file, folder.encrypter);
        ASSERT_TRUE(store.saveLog(qrv::testing::namedLog("old"), "g", 1));
    }
    folder.sql("PRAGMA user_version = 3;");
    qrv::testing::TempHome home;
    const CliRun count = cli({"--home", home.path(), "telemetry", "--db", folder.file, "count"});
    EXPECT_EQ(count.status, 0);
    EXPECT_EQ(count.out, "0\n");
    EXPECT_EQ(folder.sql("PRAGMA user_version;"), "5");
}

TEST(TelemetryCli, FlushSendsEveryStoredLogAndPrintsEachBatchsAnswer) {
    qrv::testing::TempHome home;
    qrv::testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.listen());
    const QStringList telemetry{"--home", home.path(), "telemetry"};
    for (const char* group : {"Crashes", "Other"})
        ASSERT_EQ(cli(telemetry +
                      QStringList{"add", "--group", group, "--priority", "2", "--bytes", "100"})
                      .status,
                  0);
    const QStringList flush =
        telemetry + QStringList{"flush", "--url", server.baseUrl().toString(), "--secret",
                                "0d3e8f51-27a4-4c69-b1f0-9e6a5c2d7b38"};
    const CliRun sent = cli(flush);
    EXPECT_EQ(sent.status, 0);
    const QStringList lines = sent.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << sent.out.toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.endsWith(": HTTP 200")) << line.toStdString();
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(cli(telemetry + QStringList{"count"}).out, "0\n");

    ASSERT_EQ(cli(telemetry +
                  QStringList{"add", "--group", "Crashes", "--priority", "2", "--bytes", "100"})
                  .status,
              0);
    server.respondWith({400, {}, {}});
    const CliRun refused = cli(flush);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.endsWith(": HTTP 400\n")) << refused.out.toStdString();

    EXPECT_EQ(cli(telemetry + QStringList{"flush", "--url", "http://192.168.1.20:8080"}).status, 2);
    EXPECT_EQ(cli(telemetry + QStringList{"flush"}).status, 2);
}

} // namespace
