#include "platform/qt/QtScheduler.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

using namespace qrv;
using namespace std::chrono_literals;
using qrv::testing::VirtualScheduler;

namespace {

TEST(VirtualScheduler, RunsDueWorkInTimeThenSubmissionOrderWithAnHonestClock) {
    VirtualScheduler s;
    QStringList log;
    auto queue = s.createSerialQueue("q");
    s.afterMain(500ms, [&] {
        log << "main 500";
        s.afterMain(50ms, [&] { log << QStringLiteral("then at %1").arg(s.elapsed().count()); });
    });
    s.asyncMain([&] { log << "main now"; });
    queue->after(100ms, [&] { log << "queue 100"; });
    queue->async([&] { log << "queue now"; });
    s.perform(&log, "p", 100ms, [&] { log << "perform 100"; });
    EXPECT_TRUE(log.isEmpty()); // nothing runs until the test says so

    s.advance(100ms);
    EXPECT_EQ(log, (QStringList{"main now", "queue now", "queue 100", "perform 100"}));
    s.advance(399ms);
    EXPECT_EQ(log.size(), 4);
    s.advance(1ms);
    EXPECT_EQ(log.last(), "main 500");
    s.advance(1s);
    EXPECT_EQ(log.last(), "then at 550");
    EXPECT_EQ(s.elapsed(), 1500ms);
    EXPECT_EQ(s.now(), VirtualScheduler().now().addMSecs(1500));
}

TEST(VirtualScheduler, CancellingDropsOnlyThatTargetAndKeyAndCoalescingRunsOnceAfterTheLast) {
    VirtualScheduler s;
    int a = 0, b = 0, other = 0;
    const int targetA = 0, targetB = 0;
    s.perform(&targetA, "load", 500ms, [&] { ++a; });
    s.perform(&targetA, "other", 500ms, [&] { ++other; });
    s.perform(&targetB, "load", 500ms, [&] { ++b; });
    s.cancelPerforms(&targetA, "load");
    s.advance(1s);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(other, 1);
    EXPECT_EQ(b, 1);

    s.perform(&targetA, "x", 1ms, [&] { ++a; });
    s.perform(&targetA, "y", 1ms, [&] { ++a; });
    s.cancelAllPerforms(&targetA);
    s.advance(1s);
    EXPECT_EQ(a, 0);

    int runs = 0;
    for (int i = 0; i < 5; ++i) {
        s.performCoalesced(&runs, "read", 500ms, [&] { ++runs; });
        s.advance(200ms);
    }
    EXPECT_EQ(runs, 0);
    s.advance(299ms);
    EXPECT_EQ(runs, 0);
    s.advance(1ms);
    EXPECT_EQ(runs, 1);
}

TEST(VirtualScheduler, RepeatingTimerFiresUntilCancelled) {
    VirtualScheduler s;
    auto queue = s.createSerialQueue("telemetry");
    QList<qint64> fired;
    auto timer = queue->startTimer(10s, 1s, [&] {
        EXPECT_TRUE(queue->isCurrent());
        fired << s.elapsed().count();
    });
    s.advance(12s);
    EXPECT_EQ(fired, (QList<qint64>{10000, 11000, 12000}));
    EXPECT_TRUE(timer->isActive());
    timer->cancel();
    EXPECT_FALSE(timer->isActive());
    s.advance(10s);
    EXPECT_EQ(fired.size(), 3);
    EXPECT_FALSE(queue->isCurrent());

    bool once = false;
    auto single = queue->startTimer(1s, 0ms, [&] { once = true; });
    s.advance(1s);
    EXPECT_TRUE(once);
    EXPECT_FALSE(single->isActive());
}

TEST(VirtualScheduler, BackgroundWorkWaitsForTheTestWhenAsked) {
    VirtualScheduler s;
    s.setBackgroundRunsAutomatically(false);
    QStringList log;
    s.asyncGlobal([&] {
        log << "background";
        s.asyncMain([&] { log << "published"; });
    });
    s.advance(1s);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(s.pendingBackgroundCount(), 1u);
    EXPECT_EQ(s.runBackground(), 1);
    s.runPending();
    EXPECT_EQ(log, (QStringList{"background", "published"}));
}

// The real scheduler: only what virtual time cannot show (threads).
TEST(QtScheduler, SerialQueueRunsInOrderOnItsOwnThread) {
    QtScheduler s;
    auto queue = s.createSerialQueue("serial");
    QList<int> order;
    std::atomic<int> done{0};
    QThread* seen = nullptr;
    for (int i = 0; i < 100; ++i)
        queue->async([&, i] {
            order << i;
            seen = QThread::currentThread();
            ++done;
        });
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return done.load() == 100; }));
    EXPECT_EQ(seen, queue->thread());
    EXPECT_NE(seen, QThread::currentThread());
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order.at(i), i);
}

TEST(QtScheduler, BackgroundWorkFinishesBeforeTheSchedulerGoes) {
    std::atomic<bool> release{false};
    std::atomic<bool> handedOver{false};
    auto scheduler = std::make_unique<QtScheduler>();
    QtScheduler* raw = scheduler.get();
    raw->asyncGlobal([&, raw] {
        while (!release)
            QThread::usleep(100);
        raw->asyncMain([] {}); // a result handed back at quit time
        handedOver = true;
    });
    std::unique_ptr<QThread> releaser(QThread::create([&] {
        QThread::msleep(20);
        release = true;
    }));
    releaser->start();
    scheduler.reset(); // must wait for the task, not leave it a dangling scheduler
    EXPECT_TRUE(handedOver);
    releaser->wait();
    QCoreApplication::processEvents();
}

TEST(QtScheduler, CancelledPerformNeverRuns) {
    QtScheduler s;
    int runs = 0, later = 0;
    s.perform(&runs, "k", 0ms, [&] { ++runs; });
    s.cancelPerforms(&runs, "k");
    s.perform(&later, "k", 1ms, [&] { ++later; });
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return later == 1; }));
    EXPECT_EQ(runs, 0);
}

} // namespace

TEST(QtScheduler, ThreadHooksRunOnEveryQueueThreadBeforeItsTasksAndWhenItEnds) {
    QtScheduler s;
    auto early = s.createSerialQueue("early"); // started before the hooks came
    // The pool's thread runs its `finished` hook whenever it ends, maybe
    // after this test: the hooks keep their counters alive themselves.
    struct Counts {
        std::atomic<int> started{0};
        std::atomic<int> finished{0};
    };
    const auto counts = std::make_shared<Counts>();
    std::atomic<int>& started = counts->started;
    std::atomic<int>& finished = counts->finished;
    static thread_local bool prepared = false;
    s.addThreadHooks({[counts] {
                          prepared = true;
                          ++counts->started;
                      },
                      [counts] {
                          ++counts->finished;
                      }});
    auto late = s.createSerialQueue("late");
    std::atomic<int> preparedTasks{0};
    for (const auto& queue : {early, late})
        queue->async([&] { preparedTasks += prepared ? 1 : 0; });
    s.asyncGlobal([&] { preparedTasks += prepared ? 1 : 0; });
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return preparedTasks.load() == 3; }));
    EXPECT_GE(started.load(), 3);
    early.reset();
    late.reset();
    EXPECT_EQ(finished.load(), 2); // the pool's thread lives on
}

TEST(QtScheduler, ASerialQueueReleasedByItsOwnTaskEndsWithoutWaitingForItself) {
    QtScheduler s;
    auto queue = s.createSerialQueue("self-releasing");
    std::atomic<bool> ranLast{false};
    std::atomic<bool> droppedLater{false};
    std::atomic<bool> mainLetGo{false};
    auto holder = std::make_shared<std::shared_ptr<SerialQueue>>(queue);
    queue->async([holder, &ranLast, &mainLetGo] {
        while (!mainLetGo)
            QThread::usleep(100);
        holder->reset(); // the last reference goes here, on the queue's thread
        ranLast = true;
    });
    queue->async([&droppedLater] { droppedLater = true; });
    queue.reset();
    holder.reset();
    mainLetGo = true;
    ASSERT_TRUE(qrv::testing::waitUntil([&] { return ranLast.load(); }));
    QThread::msleep(20);
    EXPECT_FALSE(droppedLater.load()); // what was still waiting is dropped
}
