#include "HttpTestSupport.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/qt/QtScheduler.h"
#include "support/TempHome.h"
#include "support/Wait.h"
#include "telemetry/TLMChannelGroup.h"
#include "telemetry/TLMLogSamples.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

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
                                QStringLiteral("0d3e8f51-27a4-4c69-b1f0-9e6a5c2d7b38"), true},
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
