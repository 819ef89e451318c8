#include "ShellFixture.h"
#include "shell/QRVMainWindowController.h"
#include "shell/RepliesIO.h"

#include <QAction>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing;

namespace {

using SupportActionsTest = ShellTest;

TEST_F(SupportActionsTest, TheMenusReachTheUpdaterTheSupportPageAndTheFeedbackWindow) {
    launched();
    platform.scheduler.runPending(); // finishLaunching, then loadUpdater
    platform.scheduler.runPending();
    EXPECT_EQ(support->sharedUpdater().delegate(), support.get());
    EXPECT_TRUE(support->sharedUpdater().userAgentString().startsWith("Quorvane/"));

    // Option held: the telemetry feed, only inside the period by the delegate's clock.
    support->setOptionKeyCheck([] { return true; });
    const auto& actions = delegate->mainWindowController()->applicationActions();
    actions.checkForUpdates->trigger();
    ASSERT_EQ(http.requests.size(), 1);
    EXPECT_TRUE(http.requests[0].url.path().startsWith("/v0.1/public/updates/apps/"));
    setNow(QDateTime(QDate(2026, 5, 31), QTime(0, 0)));
    EXPECT_TRUE(support->feedURLStringForUpdater(support->sharedUpdater())
                    .endsWith("/menuShortcuts/updates/cast.php"));

    actions.contactSupport->trigger();
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0].fragment(), "contact");
    actions.supportAndFeedback->trigger();
    ASSERT_NE(support->sharedReplies().window(), nullptr);
    EXPECT_TRUE(support->sharedReplies().window()->isVisible());
}

} // namespace
