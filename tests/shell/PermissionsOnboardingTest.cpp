// The welcome window's content and the preferences pane, with the
// permission double and virtual time.
#include "platform/testing/FakeAccessKit.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/VirtualScheduler.h"
#include "platform/widgets/AccessKitViewController.h"
#include "shell/QRVPreferencesViewController.h"
#include "shell/QRVWelcomeViewController.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing;
using namespace std::chrono_literals;

namespace {

const QString kFullDiskAccess = PermissionStatus::kFullDiskAccess;
const QString kAssistive = PermissionStatus::kAssistive;

class WelcomeViewTest : public ::testing::Test {
  protected:
    WelcomeViewTest() {
        permissions.set(kFullDiskAccess, PermissionStatus::kNotDetermined);
        permissions.set(kAssistive, PermissionStatus::kDenied);
    }
    void show() { controller->view()->show(); }
    QPushButton* fda() const { return controller->fdaButton(); }
    QPushButton* accessibility() const { return controller->accessibilityButton(); }
    void activateSomeApplication() {
        workspace.activate(RunningApplication{"org.example.settings"});
    }

    FakePermissionStatus permissions;
    FakeAccessKit kit{permissions};
    FakeWorkspace workspace;
    VirtualScheduler scheduler;
    std::unique_ptr<QRVWelcomeViewController> controller =
        std::make_unique<QRVWelcomeViewController>(kit, workspace, scheduler);
};

TEST_F(WelcomeViewTest, ButtonsShowTheStateWhenTheViewAppearsAndAStateBeyondGrantedChangesNothing) {
    permissions.set(kAssistive, PermissionStatus::kGranted);
    show();
    EXPECT_EQ(fda()->text(), QStringLiteral("Grant Permission"));
    EXPECT_TRUE(fda()->isEnabled());
    EXPECT_EQ(accessibility()->text(), QStringLiteral("Permission Granted"));
    EXPECT_FALSE(accessibility()->isEnabled());
    permissions.set(kAssistive, 3);
    controller->updateAuthorizationButtons();
    EXPECT_EQ(accessibility()->text(), QStringLiteral("Permission Granted"));
    EXPECT_FALSE(accessibility()->isEnabled());
}

TEST_F(WelcomeViewTest, AGrantInTheSettingsShowsAMomentAfterComingBack) {
    show();
    kit.grant(kFullDiskAccess);
    kit.grant(kAssistive);
    activateSomeApplication();
    scheduler.advance(50ms);
    activateSomeApplication(); // within the moment: one update, 0.1 s after the last
    scheduler.advance(99ms);
    EXPECT_EQ(fda()->text(), QStringLiteral("Grant Permission"));
    scheduler.advance(1ms);
    EXPECT_EQ(fda()->text(), QStringLiteral("Permission Granted"));
    EXPECT_FALSE(fda()->isEnabled());
    EXPECT_EQ(accessibility()->text(), QStringLiteral("Permission Granted"));
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(WelcomeViewTest, HiddenOrGoneTheViewWaitsForNoActivation) {
    show();
    controller->view()->hide();
    activateSomeApplication();
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    // Shown again, it reads the state at once.
    kit.grant(kFullDiskAccess);
    controller->view()->show();
    EXPECT_EQ(fda()->text(), QStringLiteral("Permission Granted"));
    controller->scheduleUpdateAuthorizationButtons();
    controller.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(WelcomeViewTest, TheButtonsAskForTheirPermissions) {
    show();
    kit.onRequest = [&](const QString& permission) {
        kit.grant(permission);
    };
    fda()->click();
    EXPECT_EQ(kit.requests, QStringList{kFullDiskAccess}); // not silent
    scheduler.advance(100ms);
    EXPECT_EQ(fda()->text(), QStringLiteral("Permission Granted"));

    accessibility()->click();
    EXPECT_EQ(kit.asked, QStringList{kAssistive});
    EXPECT_EQ(kit.askedWith.value(0), FakeAccessKit::kAllStops);
}

class PreferencesPaneTest : public ::testing::Test {
  protected:
    FakePermissionStatus permissions;
    FakeAccessKit kit{permissions};
    QRVPreferencesViewController controller{kit};
};

TEST_F(PreferencesPaneTest, ListsBothPermissionsOnceAndIsBusyWhileTheOverlayShowsOnScreen) {
    QSignalSpy busy(&controller, &QRVPreferencesViewController::accessKitBusyChanged);
    // Off screen the pane has no list and follows no kit.
    EXPECT_EQ(controller.accessKitViewController(), nullptr);
    kit.askAccessForPanelIdentifier(kAssistive);
    EXPECT_FALSE(controller.accessKitBusy());
    kit.endOverlay();

    QWidget* view = controller.view();
    view->show();
    AccessKitViewController* list = controller.accessKitViewController();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->view()->parentWidget(), controller.containerView());
    QStringList texts;
    for (const QLabel* label : list->view()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Edit keyboard shortcut settings")));
    EXPECT_TRUE(
        texts.contains(QStringLiteral("Access application menu items for auto-completions")));
    // Its own controls: one per permission, in the order asked for.
    const auto buttons = list->view()->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons.at(0)->objectName(), kFullDiskAccess);
    EXPECT_EQ(buttons.at(1)->objectName(), kAssistive);

    ASSERT_EQ(controller.accessKit(), &kit);
    EXPECT_TRUE(kit.stopOnQuitOfSystemPreferences());
    EXPECT_TRUE(kit.stopOnDeactivateOfSystemPreferences());
    EXPECT_TRUE(kit.stopOnActivateOfHostApplication());
    auto* open = view->findChild<QPushButton*>(QStringLiteral("openPrivacyPreferences"));
    ASSERT_NE(open, nullptr);
    buttons.at(0)->click();
    EXPECT_EQ(kit.asked.last(), kFullDiskAccess);
    EXPECT_TRUE(controller.accessKitBusy());
    EXPECT_FALSE(open->isEnabled());
    kit.endOverlay();
    EXPECT_FALSE(controller.accessKitBusy());
    EXPECT_TRUE(open->isEnabled());
    EXPECT_EQ(busy.size(), 2);
    open->click(); // the privacy settings, at no permission in particular
    EXPECT_EQ(kit.opened, QStringList{QString()});

    // Leaving the screen while the overlay shows ends being busy for the pane.
    kit.askAccessForPanelIdentifier(kAssistive);
    view->hide();
    EXPECT_EQ(controller.accessKit(), nullptr);
    EXPECT_FALSE(controller.accessKitBusy());
    EXPECT_EQ(busy.size(), 4);
    view->show();
    EXPECT_EQ(controller.accessKitViewController(), list);
}

} // namespace
