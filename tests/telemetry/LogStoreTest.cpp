#include "TelemetryTestSupport.h"
#include "support/QtPrinters.h"
#include "telemetry/TLMLogArchiver.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qrv;
using qrv::testing::namedLog;
using qrv::testing::nameOf;
using qrv::testing::StoreFolder;

namespace {

constexpr qint64 kSmallLimit = 64 * 1024;

TEST(LogStore, ANewDatabaseLivesInTheDataFolderWithSchemaVersionAndAutoVacuum) {
    qrv::testing::TempHome home;
    const QString file =
        home.file("Library/Application Support/com.brackwyn.Quorvane/telemetry/Logs.sqlite");
    ASSERT_EQ(TLMDataFolder::forHome(home.path()) + "/Logs.sqlite", file);
    TLMLogDBStorage store(file, TLMEncrypter::withNewKey());
    ASSERT_TRUE(QFileInfo::exists(file));
    const auto sql = [&](const char* statement) {
        return qrv::testing::sqliteShell(file, statement);
    };
    EXPECT_EQ(sql("PRAGMA user_version;"), "5");
    EXPECT_EQ(sql("PRAGMA auto_vacuum;"), "1");
    EXPECT_EQ(sql("SELECT sql FROM sqlite_master WHERE name = 'logs';"),
              "CREATE TABLE \"logs\" (\"id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"groupId\" TEXT "
              "NOT NULL, \"log\" TEXT NOT NULL, \"targetToken\" TEXT, \"targetKey\" TEXT, "
              "\"priority\" INTEGER)");
    EXPECT_EQ(sql("SELECT sql FROM sqlite_master WHERE type = 'index';"),
              "CREATE INDEX \"ix_logs_priority\" ON \"logs\" (\"priority\")");
    EXPECT_EQ(store.maxSizeInBytes(), 10 * 1024 * 1024);
}

TEST(LogStore, AFileOfAnOlderVersionOrNotADatabaseOrTruncatedIsReplaced) {
    StoreFolder folder;
    {
        TLMLogDBStorage store(folder.file, folder.encrypter);
        ASSERT_TRUE(store.saveLog(namedLog("kept"), "Crashes", TLMFlagsCritical));
    }
    EXPECT_EQ(TLMLogDBStorage(folder.file, folder.encrypter).countLogs(), 1);
    folder.sql("PRAGMA user_version = 4;");
    {
        TLMLogDBStorage migrated(folder.file, folder.encrypter);
        EXPECT_EQ(migrated.countLogs(), 0);
        EXPECT_EQ(folder.sql("PRAGMA user_version;"), "5");
        EXPECT_EQ(folder.sql("SELECT name FROM sqlite_master WHERE type = 'index';"),
                  "ix_logs_priority");
        EXPECT_TRUE(migrated.saveLog(namedLog("new"), "Crashes", TLMFlagsCritical));
    }

    ASSERT_TRUE(QFile::remove(folder.file));
    {
        QFile text(folder.file);
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("These are not the logs you are looking for.\n");
    }
    {
        TLMLogDBStorage store(folder.file, folder.encrypter);
        EXPECT_EQ(folder.sql("PRAGMA user_version;"), "5");
        for (int i = 0; i < 100; ++i)
            ASSERT_TRUE(store.saveLog(namedLog(QString::number(i), 1024), "g", 1));
    }
    ASSERT_GT(QFileInfo(folder.file).size(), 40000);
    ASSERT_TRUE(QFile::resize(folder.file, 20000));

    TLMLogDBStorage store(folder.file, folder.encrypter);
    EXPECT_EQ(store.countLogs(), 0);
    EXPECT_EQ(folder.sql("PRAGMA integrity_check;"), "ok");
    EXPECT_TRUE(store.saveLog(namedLog("after"), "g", 1));
    EXPECT_EQ(store.countLogs(), 1);
}

// The identifiers of the stored logs of a priority, oldest first.
QStringList idsOfPriority(const StoreFolder& folder, int priority) {
    return folder
        .sql(QStringLiteral("SELECT group_concat(id) FROM (SELECT id FROM logs WHERE priority = %1 "
                            "ORDER BY id);")
                 .arg(priority))
        .split(',', Qt::SkipEmptyParts);
}

// True when `after` is `before` less some of its oldest entries.
bool lostOnlyTheOldest(const QStringList& before, const QStringList& after) {
    return after.size() < before.size() && after == before.mid(before.size() - after.size());
}

// Limits the store to kSmallLimit and fills it with ~1 KiB logs of one
// priority, well past the point where saving starts to evict; answers their ids.
QStringList fillPastLimit(const StoreFolder& folder, TLMLogDBStorage& store, quint32 priority) {
    bool limited = false;
    store.setMaxStorageSize(kSmallLimit, [&](bool changed) { limited = changed; });
    EXPECT_TRUE(limited);
    for (int i = 0; i < 80; ++i)
        EXPECT_TRUE(store.saveLog(namedLog(QString::number(i), 1024), "g", priority));
    const QStringList full = idsOfPriority(folder, int(priority));
    EXPECT_LT(full.size(), 80);
    return full;
}

TEST(LogStore, AFullStoreEvictsTheOldestLogsOfEqualOrLowerPriorityButNotForAnImpossibleLog) {
    StoreFolder folder;
    TLMLogDBStorage store(folder.file, folder.encrypter);
    const QStringList full = fillPastLimit(folder, store, 1);
    // Below the limit, yet more than the pages left beside the schema can
    // take: refused before anything is evicted.
    for (const qint64 size : {kSmallLimit, kSmallLimit - 8 * 1024}) {
        int result = -1;
        QString problem;
        EXPECT_FALSE(store.saveLog(namedLog("huge", size), "g", 2, &result, &problem));
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(problem.startsWith(
            QStringLiteral("the log (%1 bytes) is larger than the store can ever hold").arg(size)))
            << problem.toStdString();
        EXPECT_EQ(idsOfPriority(folder, 1), full);
    }
    EXPECT_FALSE(store.saveLog(nullptr, "g", 2));

    int result = -1;
    ASSERT_TRUE(store.saveLog(namedLog("important", 2048), "g", 2, &result));
    EXPECT_EQ(result, 0);
    const QStringList afterImportant = idsOfPriority(folder, 1);
    EXPECT_TRUE(lostOnlyTheOldest(full, afterImportant)) << afterImportant.join(',').toStdString();
    const QStringList important = idsOfPriority(folder, 2);
    ASSERT_EQ(important.size(), 1);

    // More priority-1 logs make room among the priority-1 logs, oldest first.
    QStringList stored = afterImportant;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(store.saveLog(namedLog("ordinary", 2048), "g", 1));
        QStringList now = idsOfPriority(folder, 1);
        const QString added = now.takeLast();
        EXPECT_EQ(now, stored.mid(stored.size() - now.size()));
        stored = now << added;
    }
    EXPECT_FALSE(stored.contains(afterImportant.first()));

    // A large log clears as many of the oldest as it needs.
    ASSERT_TRUE(store.saveLog(namedLog("large", 30 * 1024), "g", 1));
    QStringList afterLarge = idsOfPriority(folder, 1);
    afterLarge.takeLast();
    EXPECT_LT(afterLarge.size(), stored.size() - 10); // 30 KiB: many 2 KiB logs went
    EXPECT_TRUE(lostOnlyTheOldest(stored, afterLarge));
    EXPECT_EQ(idsOfPriority(folder, 2), important);
    EXPECT_LE(QFileInfo(folder.file).size(), kSmallLimit);
}

TEST(LogStore, ALogIsDroppedWhenOnlyMoreImportantLogsCouldMakeRoom) {
    StoreFolder folder;
    TLMLogDBStorage store(folder.file, folder.encrypter);
    const QStringList full = fillPastLimit(folder, store, 2);
    int result = -1;
    EXPECT_FALSE(store.saveLog(namedLog("ordinary", 16 * 1024), "g", 1, &result));
    EXPECT_EQ(result, 13);
    EXPECT_EQ(idsOfPriority(folder, 2), full);
    EXPECT_TRUE(idsOfPriority(folder, 1).isEmpty());
}

TEST(LogStore, TheLimitCannotShrinkBelowTheStoredData) {
    StoreFolder folder;
    TLMLogDBStorage store(folder.file, folder.encrypter);
    for (int i = 0; i < 40; ++i)
        ASSERT_TRUE(store.saveLog(namedLog(QString::number(i), 1024), "g", 1));
    bool changed = true;
    store.setMaxStorageSize(16 * 1024, [&](bool ok) { changed = ok; });
    EXPECT_FALSE(changed);
    EXPECT_EQ(store.maxSizeInBytes(), 10 * 1024 * 1024);
    store.setMaxStorageSize(1000 * 1000, [&](bool ok) { changed = ok; });
    EXPECT_TRUE(changed);
    EXPECT_EQ(store.maxSizeInBytes(), 245 * 4096); // rounded up to whole pages
}

} // namespace
