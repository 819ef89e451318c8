#include "TelemetryTestSupport.h"
#include "platform/qt/QtScheduler.h"
#include "support/QtPrinters.h"
#include "telemetry/TLMCrashes.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

// Records what a unit tells its delegates, and filters the logs it is told to.
struct RecordingDelegate final : TLMChannelDelegate {
    QStringList events;
    QStringList filteredNames;
    QList<int> failureCodes;

    void note(const char* event, const TLMLogPtr& log) {
        events << QStringLiteral("%1 %2").arg(QLatin1String(event), qrv::testing::nameOf(log));
    }
    void prepareLog(TLMChannelUnitDefault&, const TLMLogPtr& log) override { note("prepare", log); }
    void didPrepareLog(TLMChannelUnitDefault&, const TLMLogPtr& log, const QString&,
                       quint32) override {
        note("prepared", log);
    }
    bool shouldFilterLog(TLMChannelUnitDefault&, const TLMLogPtr& log) override {
        note("filter?", log);
        return filteredNames.contains(qrv::testing::nameOf(log));
    }
    void didCompleteEnqueueingLog(TLMChannelUnitDefault&, const TLMLogPtr& log,
                                  const QString&) override {
        note("enqueued", log);
    }
    void willSendLog(TLMChannelUnitDefault&, const TLMLogPtr& log) override { note("send", log); }
    void didSucceedSendingLog(TLMChannelUnitDefault&, const TLMLogPtr& log) override {
        note("sent", log);
    }
    void didFailSendingLog(TLMChannelUnitDefault&, const TLMLogPtr& log,
                           const TLMHttpError& error) override {
        note("failed", log);
        failureCodes << error.code;
    }
};

class ChannelTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(env.listening); }

    std::shared_ptr<TLMChannelUnitDefault>
    makeUnit(TLMChannelUnitConfiguration configuration = TLMCrashes::channelConfiguration()) {
        auto made = group->addChannelUnit(configuration);
        made->addDelegate(delegate);
        env.scheduler.runPending();
        return made;
    }
    void enqueue(const QString& name) {
        unit->enqueueItem(qrv::testing::namedLog(name), TLMFlagsCritical);
        env.scheduler.runPending();
    }
    qint64 storedLogs() const { return group->storage()->countLogs(); }

    qrv::testing::TelemetryEnvironment env;
    std::unique_ptr<TLMChannelGroup> group =
        std::make_unique<TLMChannelGroup>(env.context, env.groupOptions());
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    std::shared_ptr<TLMChannelUnitDefault> unit = makeUnit();
};

TEST_F(ChannelTest, StoresACrashReportAndSendsItAloneASecondLaterUnlessFiltered) {
    delegate->filteredNames << "secret";
    enqueue("secret"); // neither stored nor counted
    EXPECT_EQ(storedLogs(), 0);
    EXPECT_EQ(unit->itemsCount(), 0);
    EXPECT_FALSE(unit->isTimerRunning());
    EXPECT_EQ(delegate->events.last(), "enqueued secret");
    delegate->events.clear();

    enqueue("a");
    EXPECT_EQ(storedLogs(), 1);
    env.scheduler.advance(999ms);
    EXPECT_TRUE(unit->pendingBatchIds().isEmpty());
    env.scheduler.advance(1ms);
    ASSERT_EQ(unit->pendingBatchIds().size(), 1);
    const QString batchId = unit->pendingBatchIds().first();

    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0; }));
    ASSERT_EQ(env.server.requests().size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(env.server.requests()[0].body).object();
    EXPECT_EQ(body.value("batchId").toString(), batchId);
    ASSERT_EQ(env.logsOfRequest(0).size(), 1);
    EXPECT_EQ(env.logsOfRequest(0)[0].toObject().value("id").toString(), "a");
    EXPECT_EQ(env.logsOfRequest(0)[0].toObject().value("type").toString(), "crashReport");
    EXPECT_EQ(delegate->events, (QStringList{"prepare a", "prepared a", "filter? a", "enqueued a",
                                             "send a", "sent a"}));
    EXPECT_TRUE(unit->isIdle());
}

TEST_F(ChannelTest, KeepsAtMostThreeBatchesInFlightAndFlushesAgainWhenOneEnds) {
    for (const char* name : {"1", "2", "3", "4", "5"})
        enqueue(name);
    env.scheduler.advance(1s);
    EXPECT_EQ(unit->pendingBatchIds().size(), 3);
    EXPECT_TRUE(unit->isPendingBatchQueueFull());
    EXPECT_TRUE(unit->isAvailableBatchFromStorage());

    enqueue("6");
    env.scheduler.advance(1s); // the timer's flush finds the queue full
    EXPECT_EQ(unit->pendingBatchIds().size(), 3);
    EXPECT_EQ(unit->itemsCount(), 0);
    EXPECT_TRUE(unit->isAvailableBatchFromStorage());

    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0 && unit->isIdle(); }));
    EXPECT_EQ(env.server.requests().size(), 6);
    for (qsizetype i = 0; i < env.server.requests().size(); ++i)
        EXPECT_EQ(env.logsOfRequest(i).size(), 1);
}

TEST_F(ChannelTest, AFinalFailureDisablesTheUnitEmptiesItAndDiscardsLaterLogsUntilReenabled) {
    env.server.respondWith({400, {}, {}});
    enqueue("in flight");
    env.scheduler.advance(1s);
    enqueue("waiting");
    EXPECT_EQ(storedLogs(), 2);

    ASSERT_TRUE(env.settle([&] { return !unit->isEnabled(); }));
    EXPECT_EQ(storedLogs(), 0);
    EXPECT_TRUE(delegate->events.contains("failed in flight"));
    EXPECT_TRUE(delegate->events.contains("failed waiting"));

    delegate->failureCodes.clear();
    enqueue("later");
    EXPECT_EQ(storedLogs(), 0);
    EXPECT_EQ(delegate->failureCodes, QList<int>{100});

    unit->setEnabled(true, false);
    enqueue("after");
    EXPECT_EQ(storedLogs(), 1);
    env.scheduler.advance(1s);
    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0; }));
    EXPECT_EQ(env.server.requests().size(), 2);
}

TEST_F(ChannelTest, PausedUnitsHoldLogsBackAndResumingSendsThem) {
    unit->pauseWithIdentifyingObject(this);
    enqueue("held");
    env.scheduler.advance(5s);
    EXPECT_TRUE(unit->pendingBatchIds().isEmpty());
    unit->resumeWithIdentifyingObject(this);
    env.scheduler.runPending();
    env.scheduler.advance(1s);
    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0; }));
}

TEST_F(ChannelTest, LogsLeftByAnEarlierRunAreSentAtStart) {
    ASSERT_TRUE(group->storage()->saveLog(qrv::testing::namedLog("left"), "Crashes", 2));
    group = std::make_unique<TLMChannelGroup>(env.context, env.groupOptions()); // a new run
    unit = makeUnit();
    env.scheduler.advance(1s);
    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0; }));
    EXPECT_EQ(env.logsOfRequest(0)[0].toObject().value("id").toString(), "left");
}

TEST_F(ChannelTest, LongFlushIntervalsAreMeasuredFromTheOldestLogAcrossRestarts) {
    const auto slow = TLMChannelUnitConfiguration::defaultConfiguration("Slow", 60);
    auto first = makeUnit(slow);
    EXPECT_EQ(first->resolveFlushInterval(), 60u);
    const QString key = TLMChannelUnitDefault::startTimerKey("Slow");
    EXPECT_TRUE(env.defaults.objectForKey(key).toDateTime().isValid());

    env.scheduler.advance(25s);
    auto afterRestart = makeUnit(slow);
    EXPECT_EQ(afterRestart->resolveFlushInterval(), 35u);
    env.scheduler.advance(35s);
    EXPECT_EQ(afterRestart->resolveFlushInterval(), 0u);
    EXPECT_FALSE(env.defaults.objectForKey(key).isValid());
}

// The diagnostics tool's flush: it ends in time whatever the service does,
// with each batch still in flight and the way its request last failed.
TEST_F(ChannelTest, AFlushOfTheStoreEndsInTimeWithThePendingBatchesAndTheirLastFailure) {
    unit.reset();
    for (const char* groupId : {"Crashes", "Other"})
        ASSERT_TRUE(group->storage()->saveLog(qrv::testing::namedLog(groupId), groupId, 2));
    env.server.close(); // every connection is refused
    std::optional<TLMFlushReport> report;
    group->flushStoredLogs(TLMCrashes::channelConfiguration(), 60s,
                           [&](const TLMFlushReport& flushed) { report = flushed; });
    const auto failedOnce = [&] {
        for (const auto& call : group->ingestion()->client().pendingCalls())
            if (call->lastFailure().isEmpty())
                return false;
        return group->ingestion()->client().pendingCalls().size() == 2;
    };
    ASSERT_TRUE(env.settle(failedOnce));
    env.scheduler.advance(59s);
    env.scheduler.runPending();
    EXPECT_FALSE(report);
    env.scheduler.advance(1s);
    ASSERT_TRUE(env.settle([&] { return report.has_value(); }));

    ASSERT_EQ(report->batches.size(), 2);
    QStringList groups;
    for (const TLMFlushedBatch& batch : report->batches) {
        EXPECT_TRUE(batch.pending);
        EXPECT_EQ(batch.lastFailure, "connection refused");
        groups << batch.groupId;
    }
    EXPECT_EQ(groups, (QStringList{"Crashes", "Other"}));
    EXPECT_FALSE(report->allSucceeded());
    EXPECT_EQ(storedLogs(), 2);
}

// Holds the logs queue inside a delegate call until the test lets it go.
struct BlockingDelegate final : TLMChannelDelegate {
    std::atomic<bool> entered{false};
    std::atomic<bool> released{false};

    bool shouldFilterLog(TLMChannelUnitDefault&, const TLMLogPtr&) override {
        entered = true;
        while (!released)
            QThread::usleep(200);
        return true;
    }
};

// On real threads: what matters here is which thread lets go last.
TEST(ChannelGroupTeardown, AGroupDroppedWhileADelegateRunsOnTheQueueEndsCleanly) {
    qrv::testing::TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    UserDefaults defaults{preferences, QStringLiteral("com.brackwyn.Quorvane")};
    QtScheduler scheduler;
    const TLMContext context{scheduler, defaults, home.path()};

    auto group = std::make_unique<TLMChannelGroup>(
        context, TLMChannelGroupOptions{
                     .config = {QUrl(QStringLiteral("http://127.0.0.1:9")),
                                qrv::testing::kTestAppSecret, true},
                     .storagePath = home.file(QStringLiteral("Logs.sqlite")),
                     .reachability = std::make_shared<qrv::testing::FakeReachability>(),
                 });
    auto unit = group->addChannelUnit(TLMChannelUnitConfiguration::defaultConfiguration(
        QStringLiteral("teardown"), TLMChannelUnitConfiguration::kDefaultFlushInterval));
    auto delegate = std::make_shared<BlockingDelegate>();
    unit->addDelegate(delegate);
    unit->enqueueItem(TLMLogSamples::crashReport(), 1);
    unit.reset();
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return delegate->entered.load(); }));

    // The running call now holds the last reference to the unit, and through
    // it to the queue: the queue goes on its own thread.
    group.reset();
    delegate->released = true;
    EXPECT_TRUE(qrv::testing::waitUntil([&] { return delegate.use_count() == 1; }));
}

} // namespace
