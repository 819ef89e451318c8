#include "TelemetryTestSupport.h"
#include "support/HelperPrograms.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// Serves this thread's event loop meanwhile, for a loopback server of the test.
CliRun cli(const QStringList& arguments) {
    QProcess process;
    process.start(qrv::testing::helperProgram(QStringLiteral("quorvane-cli")), arguments);
    CliRun run;
    if (!qrv::testing::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 90000))
        return run;
    run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The files of a folder with their sizes and modification times.
QStringList folderState(const QString& path) {
    QStringList state;
    for (const QFileInfo& info : QDir(path).entryInfoList(QDir::Files | QDir::Hidden))
        state << QStringLiteral("%1 %2 %3")
                     .arg(info.fileName())
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch());
    return state;
}

class TelemetryCli : public ::testing::Test {
  protected:
    CliRun telemetry(const QStringList& arguments) {
        return cli(QStringList{"--home", home.path(), "telemetry"} + arguments);
    }
    // Adds a log to the home's store; answers the exit status.
    int add(const QString& group, const QString& priority = "2", const QString& bytes = "100") {
        return telemetry({"add", "--group", group, "--priority", priority, "--bytes", bytes})
            .status;
    }

    qrv::testing::TempHome home;
};

TEST_F(TelemetryCli, AddsListsCountsAndPurgesLogsInTheDataFolder) {
    const CliRun added =
        telemetry({"add", "--group", "it's", "--priority", "2", "--bytes", "2048"});
    EXPECT_EQ(added.status, 0);
    EXPECT_EQ(added.out, "yes (SQLite result 0: not an error)\n");
    const QString file =
        home.file("Library/Application Support/com.brackwyn.Quorvane/telemetry/Logs.sqlite");
    EXPECT_EQ(qrv::testing::sqliteShell(file, "SELECT groupId, priority, length(log) FROM logs;"),
              "it's|2|2048");

    const CliRun tooLarge = telemetry({"add", "--group=g", "--priority=1", "--bytes=10485760"});
    EXPECT_EQ(tooLarge.status, 1);
    EXPECT_EQ(tooLarge.out, "no (SQLite result 1: the log (10485760 bytes) is larger than the "
                            "store can ever hold (10442784 bytes))\n");

    EXPECT_EQ(telemetry({"list"}).out,
              "ID\tGROUP\tPRIORITY\tSIZE\tTYPE\n1\tit's\t2\t2048\tcrashReport\n");
    EXPECT_EQ(telemetry({"count"}).out, "1\n");
    EXPECT_EQ(telemetry({"purge"}).out, "Deleted 1 log(s).\n");
    EXPECT_EQ(telemetry({"count"}).out, "0\n");
    EXPECT_EQ(add("g", "256", "1"), 2);
    const CliRun unknown = telemetry({"shred"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err.count("usage:"), 1) << unknown.err.toStdString();
}

TEST_F(TelemetryCli, ReadingLeavesTheStoreAsItIsAndWritingMigratesItAsTheProgramWould) {
    qrv::testing::StoreFolder folder;
    {
        TLMLogDBStorage store(folder.file, folder.encrypter);
        ASSERT_TRUE(store.saveLog(qrv::testing::namedLog("old"), "g", 1));
    }
    folder.sql("PRAGMA user_version = 3;");
    const QStringList before = folderState(folder.dir.path());
    EXPECT_EQ(telemetry({"--db", folder.file, "count"}).out, "1\n");
    EXPECT_TRUE(telemetry({"--db", folder.file, "list"}).out.contains("\tg\t1\t"));
    EXPECT_EQ(folderState(folder.dir.path()), before);

    EXPECT_EQ(telemetry({"--db", folder.file, "purge"}).out, "Deleted 0 log(s).\n");
    EXPECT_EQ(folder.sql("PRAGMA user_version;"), "5");
}

TEST_F(TelemetryCli, NeverChangesAFileThatIsNotItsStore) {
    qrv::testing::StoreFolder folder;
    const QString notes = folder.dir.filePath("notes.txt");
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Shopping: milk, bread.\n");
    }
    const QString foreign = folder.dir.filePath("other.sqlite");
    qrv::testing::sqliteShell(foreign, "CREATE TABLE logs (line TEXT); INSERT INTO logs "
                                       "VALUES ('kept'); PRAGMA user_version = 2;");
    const QString newer = folder.dir.filePath("newer.sqlite");
    { TLMLogDBStorage store(newer, folder.encrypter); }
    qrv::testing::sqliteShell(newer, "PRAGMA user_version = 6;");

    for (const QString& path : {notes, foreign, newer}) {
        const QByteArray contents = contentsOf(path);
        for (const QStringList& verb :
             {QStringList{"list"}, QStringList{"count"}, QStringList{"purge"},
              QStringList{"add", "--group", "g", "--priority", "1", "--bytes", "10"},
              QStringList{"flush", "--url", "http://127.0.0.1:9"}}) {
            SCOPED_TRACE(path.toStdString() + ' ' + verb.first().toStdString());
            const CliRun run = telemetry(QStringList{"--db", path} + verb);
            if (path == newer && (verb.first() == "list" || verb.first() == "count")) {
                EXPECT_EQ(run.status, 0);
                continue;
            }
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.err.contains("is not a telemetry log store")) << run.err.toStdString();
            EXPECT_EQ(contentsOf(path), contents);
        }
    }
    EXPECT_EQ(QDir(folder.dir.path()).entryList(QDir::Files),
              (QStringList{"newer.sqlite", "notes.txt", "other.sqlite"}));
    EXPECT_TRUE(cli({"telemetry", "--help"})
                    .out.contains("a file that is anything else (a text file, another program's "
                                  "database) is refused and left as it is"));
}

TEST_F(TelemetryCli, FlushSendsEveryStoredLogAndPrintsEachBatchsAnswer) {
    qrv::testing::LoopbackHttpServer server;
    ASSERT_TRUE(server.listen());
    ASSERT_EQ(add("Crashes"), 0);
    ASSERT_EQ(add("Other"), 0);
    const QStringList flush{"flush", "--url", server.baseUrl().toString(), "--secret",
                            "0d3e8f51-27a4-4c69-b1f0-9e6a5c2d7b38"};
    const CliRun sent = telemetry(flush);
    EXPECT_EQ(sent.status, 0);
    const QStringList lines = sent.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << sent.out.toStdString();
    for (const QString& line : lines)
        EXPECT_TRUE(line.endsWith(": HTTP 200")) << line.toStdString();
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(telemetry({"count"}).out, "0\n");

    ASSERT_EQ(add("Crashes"), 0);
    server.respondWith({400, {}, {}});
    const CliRun refused = telemetry(flush);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.endsWith(": HTTP 400\n")) << refused.out.toStdString();

    EXPECT_EQ(telemetry({"flush", "--url", "http://192.168.1.20:8080"}).status, 2);
    EXPECT_EQ(telemetry({"flush"}).status, 2);
}

TEST_F(TelemetryCli, FlushGivesUpAfterItsTimeoutAndKeepsWhatWasNotSent) {
    ASSERT_EQ(add("Crashes"), 0);
    // Nothing listens on the discard port of this machine: the connection is refused.
    const CliRun refused = telemetry({"flush", "--url", "http://127.0.0.1:9", "--timeout", "2"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.endsWith(
        ": not sent within 2 seconds (connection refused); its logs stay stored\n"))
        << refused.out.toStdString();
    EXPECT_EQ(telemetry({"count"}).out, "1\n");
    EXPECT_EQ(telemetry({"flush", "--url", "http://127.0.0.1:9", "--timeout", "0"}).status, 2);
}

} // namespace
