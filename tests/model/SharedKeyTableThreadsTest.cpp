// The shared key table is read by background work (validation, conversions)
// while the main thread may be ending the program. Reading it must never
// wait for the main thread: the main thread's scheduler, when it goes, waits
// for the background queue, and a reader waiting for the main thread would
// hang both for ever.
#include "model/KSCShortcut.h"
#include "model/KeyEquivalentTable.h"
#include "model/QRVMenuShortcut.h"
#include "platform/qt/QtScheduler.h"
#include "platform/testing/FixedKeyboardLayout.h"

#include <QThread>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace qrv;

namespace {

TEST(SharedKeyTable, BackgroundReadersNeverWaitForAMainThreadThatIsQuitting) {
    KeyEquivalentTable::resetShared(); // as in a run that has not built it yet
    auto scheduler = std::make_unique<QtScheduler>();
    std::atomic<bool> started{false};
    KSCShortcutPtr read;
    QString name;
    scheduler->asyncGlobal([&] {
        started = true;
        QThread::msleep(50); // the main thread is in the scheduler's destructor by now
        read = QRVMenuShortcut::shortcutFromKeyEquivalent(QStringLiteral(u"@\u2190"));
        name = KSCShortcut(40, KSCShortcut::Command).keyCodeString();
    });
    while (!started)
        QThread::yieldCurrentThread();
    // A hang is this test's failure: end the process with a message rather
    // than leave it to the suite's timeout.
    std::promise<void> gone;
    std::thread watchdog([finished = gone.get_future()] {
        if (finished.wait_for(std::chrono::seconds(60)) == std::future_status::timeout) {
            std::fprintf(stderr, "Deadlock: the scheduler never finished going.\n");
            std::_Exit(EXIT_FAILURE);
        }
    });
    scheduler.reset(); // waits for the background task
    gone.set_value();
    watchdog.join();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->keyCode(), 123u);
    EXPECT_TRUE(name.isEmpty()); // no layout installed: the key has no name yet
}

TEST(SharedKeyTable, ALayoutChangeReplacesTheTableWhileReadersKeepTheirs) {
    auto german = qrv::testing::FixedKeyboardLayout::us();
    german.setText(16, QStringLiteral("z")); // the key right of T
    german.setText(6, QStringLiteral("y"));
    const std::shared_ptr<const KeyEquivalentTable> before = KeyEquivalentTable::shared();
    KeyEquivalentTable::installShared(german);
    EXPECT_EQ(before->keyCode(QStringLiteral("z")), 6u); // a reader's table does not change
    EXPECT_EQ(KeyEquivalentTable::shared()->keyCode(QStringLiteral("z")), 16u);
    EXPECT_EQ(KSCShortcut(16, 0).keyCodeString(), QStringLiteral("Z"));
}

} // namespace
