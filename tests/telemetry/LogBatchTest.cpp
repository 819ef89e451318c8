#include "TelemetryTestSupport.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;
using qrv::testing::namedLog;
using qrv::testing::nameOf;
using qrv::testing::StoreFolder;

namespace {

struct Batch {
    QStringList names;
    QString id;
    bool more = false;
};

Batch load(TLMLogDBStorage& store, const QString& group, int limit,
           const QSet<QString>& excludedKeys = {}) {
    Batch batch;
    int calls = 0;
    batch.more = store.loadLogsWithGroupId(group, limit, excludedKeys,
                                           [&](const QList<TLMLogPtr>& logs, const QString& id) {
                                               ++calls;
                                               for (const TLMLogPtr& log : logs)
                                                   batch.names << nameOf(log);
                                               batch.id = id;
                                           });
    EXPECT_EQ(calls, 1);
    return batch;
}

class LogBatches : public ::testing::Test {
  protected:
    StoreFolder folder;
    TLMLogDBStorage store{folder.file, folder.encrypter};
};

TEST_F(LogBatches, AreHandedOutMostImportantAndOldestFirstAndNotTwice) {
    QStringList important, ordinary;
    for (int i = 0; i < 60; ++i) {
        const QString name = QString::number(i);
        (i % 4 == 0 ? important : ordinary) << name;
        ASSERT_TRUE(store.saveLog(namedLog(name), "Crashes", i % 4 == 0 ? 2 : 1));
    }
    ASSERT_TRUE(store.saveLog(namedLog("other group"), "Analytics", 2));
    const QStringList expected = important + ordinary;

    const Batch first = load(store, "Crashes", 50);
    EXPECT_TRUE(first.more);
    EXPECT_EQ(first.names, expected.mid(0, 50));
    const Batch second = load(store, "Crashes", 50);
    EXPECT_FALSE(second.more);
    EXPECT_EQ(second.names, expected.mid(50));
    EXPECT_NE(first.id, second.id);
    const Batch none = load(store, "Crashes", 50);
    EXPECT_TRUE(none.names.isEmpty());
    EXPECT_TRUE(none.id.isNull());

    // After a restart nothing is handed out yet: the first batch comes again.
    {
        TLMLogDBStorage restarted(folder.file, folder.encrypter);
        EXPECT_EQ(load(restarted, "Crashes", 50).names, first.names);
    }

    store.deleteLogsWithBatchId(first.id, "Crashes");
    EXPECT_EQ(store.countLogs(), 11);
    EXPECT_EQ(folder.sql("SELECT count(*) FROM logs WHERE groupId = 'Crashes';"), "10");
    store.deleteLogsWithBatchId(first.id, "Crashes"); // already done: nothing more goes
    EXPECT_EQ(store.countLogs(), 11);
    TLMLogDBStorage restarted(folder.file, folder.encrypter);
    EXPECT_EQ(load(restarted, "Crashes", 50).names, expected.mid(50));
}

TEST_F(LogBatches, GroupsWithQuotesAndPercentSignsDeleteOnlyTheirOwnLogs) {
    const QStringList groups{"it's", "' OR '1'='1", "100%", "100", "it"};
    for (const QString& group : groups)
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(store.saveLog(namedLog(group + QString::number(i)), group, 1));

    const Batch batch = load(store, "it's", 2);
    store.deleteLogsWithBatchId(batch.id, "it's");
    EXPECT_EQ(folder.sql("SELECT group_concat(groupId, '|') FROM logs WHERE groupId LIKE 'it%';"),
              "it's|it|it|it");

    const QList<TLMLogPtr> removed = store.deleteLogsWithGroupId("' OR '1'='1");
    EXPECT_EQ(removed.size(), 3);
    EXPECT_EQ(store.deleteLogsWithGroupId("100%").size(), 3);
    EXPECT_EQ(folder.sql("SELECT groupId, count(*) FROM logs GROUP BY groupId ORDER BY groupId;"),
              "100|3\nit|3\nit's|1");
}

TEST_F(LogBatches, DeletingAGroupForgetsOnlyItsOwnBatches) {
    ASSERT_TRUE(store.saveLog(namedLog("a"), "Crashes", 1));
    ASSERT_TRUE(store.saveLog(namedLog("b"), "CrashesExtra", 1));
    ASSERT_EQ(load(store, "CrashesExtra", 10).names, QStringList{"b"});

    store.deleteLogsWithGroupId("Crashes");
    // "b" is still in flight and must not be sent a second time.
    EXPECT_TRUE(load(store, "CrashesExtra", 10).names.isEmpty());
}

TEST_F(LogBatches, UnreadableRowsAreDroppedWhenMetHoweverManyThereAre) {
    ASSERT_TRUE(store.saveLog(namedLog("first"), "g", 1));
    folder.sql("INSERT INTO logs (groupId, log, priority) VALUES ('g', 'not base64 !', 1), "
               "('g', 'e30=', 1);"); // the second is "{}", a JSON object that is not a log
    folder.sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
               "INSERT INTO logs (groupId, log, priority) SELECT 'g', 'garbage', 1 FROM n;");
    ASSERT_TRUE(store.saveLog(namedLog("last"), "g", 1));

    const Batch batch = load(store, "g", 2);
    EXPECT_EQ(batch.names, (QStringList{"first", "last"}));
    EXPECT_FALSE(batch.more);
    EXPECT_EQ(folder.sql("SELECT group_concat(id) FROM logs;"), "1,20004");
}

TEST_F(LogBatches, ABatchWhoseRowsCouldNotBeDeletedIsNotHandedOutAgain) {
    ASSERT_TRUE(store.saveLog(namedLog("sent"), "g", 1));
    const Batch sent = load(store, "g", 10);
    ASSERT_EQ(sent.names, QStringList{"sent"});
    folder.sql("CREATE TRIGGER keep BEFORE DELETE ON logs BEGIN SELECT RAISE(ABORT, 'kept'); END;");

    store.deleteLogsWithBatchId(sent.id, "g");
    EXPECT_EQ(store.countLogs(), 1);
    EXPECT_TRUE(load(store, "g", 10).names.isEmpty());

    folder.sql("DROP TRIGGER keep;");
    store.deleteLogsWithBatchId(sent.id, "g");
    EXPECT_EQ(store.countLogs(), 0);
}

// Logs addressed to transmission targets: the token is stored encrypted, the
// key in plain text for leaving paused targets out.
class TargetedLogs : public ::testing::Test {
  protected:
    qrv::testing::TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    UserDefaults defaults{preferences, "com.brackwyn.Quorvane"};
    StoreFolder folder;

    TLMLogPtr targeted(const QString& name, const QString& token) {
        TLMLogPtr log = namedLog(name);
        log->transmissionTargetTokens = {token};
        return log;
    }
};

TEST_F(TargetedLogs, KeepTheirTokenSecretCanBeLeftOutByKeyAndGoWithTheKey) {
    {
        TLMLogDBStorage store(folder.file, TLMEncrypter::withKeyIn(defaults));
        ASSERT_TRUE(store.saveLog(targeted("a", "keyA-secretA"), "g", 1));
        ASSERT_TRUE(store.saveLog(namedLog("plain"), "g", 1));
        ASSERT_TRUE(store.saveLog(targeted("b", "keyB-secretB"), "g", 1));
    }
    EXPECT_EQ(folder.sql("SELECT count(*) FROM logs WHERE targetToken LIKE '%secret%' OR log LIKE "
                         "'%secret%';"),
              "0");
    EXPECT_EQ(folder.sql("SELECT group_concat(ifnull(targetKey, '-')) FROM logs;"), "keyA,-,keyB");
    EXPECT_EQ(TLMAbstractLog::targetKeyFromToken("nodash"), "nodash");

    TLMLogDBStorage store(
        folder.file,
        TLMEncrypter::withKeyIn(defaults)); // a new run reads the tokens with the stored key
    QList<TLMLogPtr> logs;
    store.loadLogsWithGroupId(
        "g", 10, {"keyA"}, [&](const QList<TLMLogPtr>& loaded, const QString&) { logs = loaded; });
    ASSERT_EQ(logs.size(), 2);
    EXPECT_EQ(nameOf(logs.at(0)), "plain");
    EXPECT_TRUE(logs.at(0)->transmissionTargetTokens.isEmpty());
    EXPECT_EQ(nameOf(logs.at(1)), "b");
    EXPECT_EQ(logs.at(1)->transmissionTargetTokens, QSet<QString>{"keyB-secretB"});

    // Once the key is lost, the targeted logs go: their tokens cannot be read.
    defaults.removeObject(TLMEncrypter::kKeyDefaultsKey);
    TLMLogDBStorage withoutKey(folder.file, TLMEncrypter::withKeyIn(defaults));
    withoutKey.loadLogsWithGroupId(
        "g", 10, {}, [&](const QList<TLMLogPtr>& loaded, const QString&) { logs = loaded; });
    ASSERT_EQ(logs.size(), 1);
    EXPECT_EQ(nameOf(logs.at(0)), "plain");
    EXPECT_EQ(withoutKey.countLogs(), 1);
}

} // namespace
