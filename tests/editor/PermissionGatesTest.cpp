// The editor's permission gates, with the permission double, scripted alerts
// and virtual time.
#include "ShortcutsEditorFixture.h"

using namespace qrv;
using namespace qrv::testing;
using Command = QRVShortcutsCommands::Command;

namespace {

const QString kFullDiskAccess = PermissionStatus::kFullDiskAccess;
const QString kAssistive = PermissionStatus::kAssistive;
const QString kMail = QStringLiteral("com.example.mail");
const QString kFdaText = QStringLiteral(
    "Quorvane needs “Full Disk Access” permissions in order to edit keyboard shortcuts.");
constexpr int kGrant = 0, kCancel = 1;

class PermissionGatesTest : public ShortcutsEditorFixture {
  protected:
    void setGranted(const QString& permission, bool granted) {
        world.permissions.set(permission,
                              granted ? PermissionStatus::kGranted : PermissionStatus::kDenied);
    }
    static QStringList buttonTitles(const Alert& alert) {
        QStringList out;
        for (const auto& button : alert.buttons)
            out << button.title;
        return out;
    }
    // An application's bundle, not running, is selected; the workspace finds
    // it when installed. Answers the name the editor shows for it.
    QString selectNotRunning(const QString& bundleIdentifier, bool installed = true) {
        const QString path = world.makeAppBundle(bundleIdentifier.section(u'.', -1),
                                                 {{"CFBundleIdentifier", bundleIdentifier}});
        if (installed)
            world.workspace.install(bundleIdentifier, path);
        controller.selectApplicationWithPath(path);
        EXPECT_EQ(controller.application()->bundleIdentifier(), bundleIdentifier);
        return controller.application()->localizedName();
    }
};

TEST_F(PermissionGatesTest, EveryEditIsRefusedWithoutFullDiskAccessEvenWhenTheUserThenGrantsIt) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    controller.setSelectionIndexes({0});
    controller.copy(); // copying reads only
    setGranted(kFullDiskAccess, false);
    world.accessKit.onAsk = [&](const QString& permission) {
        world.accessKit.grant(permission);
    };

    world.alerts.answer(kGrant);
    action(Command::AddShortcut)->trigger();
    ASSERT_EQ(world.alerts.shown.size(), 1);
    const Alert& alert = world.alerts.shown.first();
    EXPECT_EQ(alert.style, Alert::Style::Warning);
    EXPECT_EQ(alert.messageText, QStringLiteral("Full Disk Access"));
    EXPECT_EQ(alert.informativeText, kFdaText);
    EXPECT_EQ(buttonTitles(alert), (QStringList{"Grant Permission", "Cancel"}));
    // The instructions opened with all three stop options, and the user granted...
    EXPECT_EQ(world.accessKit.asked, QStringList{kFullDiskAccess});
    EXPECT_EQ(world.accessKit.askedWith.value(0), FakeAccessKit::kAllStops);
    EXPECT_TRUE(world.permissions.isGranted(kFullDiskAccess));
    // ...yet the action that asked did not go ahead.
    EXPECT_EQ(titles(), QStringList{"Bold"});
    EXPECT_EQ(titleEditor(), nullptr);

    const auto refusedWithCancel = [&](const std::function<void()>& edit) {
        setGranted(kFullDiskAccess, false);
        const qsizetype before = world.alerts.shown.size();
        world.alerts.answer(kCancel);
        edit();
        EXPECT_EQ(world.alerts.shown.size(), before + 1);
        EXPECT_EQ(world.alerts.shown.last().messageText, QStringLiteral("Full Disk Access"));
    };
    controller.setSelectionIndexes({0});
    refusedWithCancel([&] { action(Command::RemoveShortcut)->trigger(); });
    refusedWithCancel([&] { controller.paste(); });
    QRVShortcutView* view = recorder(0);
    ASSERT_NE(view, nullptr);
    refusedWithCancel([&] { QTest::mouseClick(view, Qt::LeftButton, {}, view->rect().center()); });
    EXPECT_FALSE(view->isRecording());

    EXPECT_EQ(titles(), QStringList{"Bold"});
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@b"}}));
    EXPECT_EQ(world.accessKit.asked, QStringList{kFullDiskAccess}); // Cancel opens nothing

    // Granted, the same edits go ahead without a word.
    setGranted(kFullDiskAccess, true);
    const qsizetype alertsBefore = world.alerts.shown.size();
    controller.paste();
    EXPECT_EQ(titles(), (QStringList{"Bold", "Bold"}));
    EXPECT_EQ(world.alerts.shown.size(), alertsBefore);
}

struct TitleGateCase {
    const char* name;
    bool accessibility, fullDiskAccess;
    bool clickEdits, clickExplains;   // textFieldCanEdit
    bool selectEdits, selectExplains; // textFieldShouldSelect
};

class TitleFieldGates : public PermissionGatesTest,
                        public ::testing::WithParamInterface<TitleGateCase> {};

TEST_P(TitleFieldGates, ExplainMissingFullDiskAccessOnExactlyOnePath) {
    const TitleGateCase& c = GetParam();
    setGranted(kAssistive, c.accessibility);
    setGranted(kFullDiskAccess, c.fullDiskAccess);
    world.alerts.answer(kCancel);
    world.alerts.answer(kCancel);

    EXPECT_EQ(controller.textFieldCanEdit(), c.clickEdits);
    EXPECT_EQ(world.alerts.shown.size(), c.clickExplains ? 1 : 0);
    world.alerts.shown.clear();
    EXPECT_EQ(controller.textFieldShouldSelect(), c.selectEdits);
    EXPECT_EQ(world.alerts.shown.size(), c.selectExplains ? 1 : 0);
    for (const Alert& alert : world.alerts.shown)
        EXPECT_EQ(alert.informativeText, kFdaText);
}

INSTANTIATE_TEST_SUITE_P(
    , TitleFieldGates,
    ::testing::Values(TitleGateCase{"Neither_ClickDoesNothingQuietly_TabExplains", false, false,
                                    false, false, false, true},
                      TitleGateCase{"AccessibilityOnly_ClickExplains_TabRefusesQuietly", true,
                                    false, false, true, false, false},
                      TitleGateCase{"FullDiskAccessOnly_BothEdit", false, true, true, false, true,
                                    false},
                      TitleGateCase{"Both_BothEdit", true, true, true, false, true, false}),
    [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(PermissionGatesTest, ADoubleClickIntoATitleWithoutAnyPermissionOpensNothingAndSaysNothing) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    setGranted(kAssistive, false);
    setGranted(kFullDiskAccess, false);
    const QRect cell = table()->visualRect(
        controller.menuShortcutsArrayController()->index(0, QRVShortcutsTableModel::TitleColumn));
    QTest::mouseDClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(titleEditor(), nullptr);
    EXPECT_TRUE(world.alerts.shown.isEmpty());
}

TEST_F(PermissionGatesTest, TheAccessibilityExplanationComesOncePerControllerAndGrantShowsHow) {
    setGranted(kAssistive, false);
    select(kNotes); // running, but its menus cannot be read
    world.alerts.answer(kGrant);
    EXPECT_FALSE(controller.textFieldShouldSelect()); // this selection is refused
    ASSERT_EQ(world.alerts.shown.size(), 1);
    const Alert& alert = world.alerts.shown.first();
    EXPECT_EQ(alert.style, Alert::Style::Warning);
    EXPECT_EQ(alert.messageText, QStringLiteral("Accessibilty Features"));
    EXPECT_EQ(alert.informativeText,
              QStringLiteral("Quorvane can auto-complete menu titles and check for conflicts.\n\n"
                             "Quorvane needs your permission to access application menu items."));
    EXPECT_EQ(buttonTitles(alert), (QStringList{"Grant Permission", "Cancel"}));
    EXPECT_EQ(world.accessKit.asked, QStringList{kAssistive});
    EXPECT_EQ(world.accessKit.askedWith.value(0), FakeAccessKit::kAllStops);
    EXPECT_EQ(controller.lastCheckedApplication(), nullptr);

    // The next selection runs the check again, now without the explanation,
    // neither for this application nor for another.
    EXPECT_TRUE(controller.textFieldShouldSelect());
    EXPECT_EQ(controller.lastCheckedApplication(), entry(kNotes));
    select(kDraw);
    EXPECT_TRUE(controller.textFieldShouldSelect());
    EXPECT_EQ(world.alerts.shown.size(), 1);
    EXPECT_EQ(world.accessKit.asked.size(), 1);
}

TEST_F(PermissionGatesTest,
       AnInstalledApplicationThatIsNotRunningIsOfferedToStartOncePerSelection) {
    const QString name = selectNotRunning(kMail);
    ASSERT_FALSE(name.isEmpty());
    world.alerts.answer(kCancel);
    EXPECT_TRUE(controller.textFieldShouldSelect()); // declining still selects
    ASSERT_EQ(world.alerts.shown.size(), 1);
    const Alert& offer = world.alerts.shown.first();
    EXPECT_EQ(offer.style, Alert::Style::Warning);
    EXPECT_EQ(offer.messageText, QStringLiteral("Run application “%1”").arg(name));
    EXPECT_EQ(offer.informativeText,
              QStringLiteral("Quorvane can auto-complete menu titles and check for conflicts.\n\n"
                             "For Quorvane to access menu items of “%1,” that application "
                             "needs to be running.")
                  .arg(name));
    EXPECT_EQ(buttonTitles(offer), (QStringList{"Start " + name, "Cancel"}));
    EXPECT_TRUE(world.workspace.launchRequests.isEmpty());

    // Selecting again for the same application offers nothing.
    EXPECT_TRUE(controller.textFieldShouldSelect());
    EXPECT_EQ(world.alerts.shown.size(), 1);

    // After another application was selected, it is offered again; starting
    // it does not wait for it.
    select(kNotes);
    EXPECT_TRUE(controller.textFieldShouldSelect()); // running: nothing to offer
    selectNotRunning(kMail);
    world.alerts.answer(kGrant);
    EXPECT_TRUE(controller.textFieldShouldSelect());
    EXPECT_EQ(world.alerts.shown.size(), 2);
    EXPECT_EQ(world.workspace.launchRequests, QStringList{kMail});
}

TEST_F(PermissionGatesTest, NoOfferWithoutAccessibilityOrForAnApplicationNobodyCanFind) {
    // Installed, but without accessibility its menus could not be read anyway.
    setGranted(kAssistive, false);
    selectNotRunning(kMail);
    world.alerts.answer(kCancel); // the accessibility explanation
    EXPECT_TRUE(controller.textFieldShouldSelect());
    ASSERT_EQ(world.alerts.shown.size(), 1);
    EXPECT_EQ(world.alerts.shown[0].messageText, QStringLiteral("Accessibilty Features"));

    // The workspace does not know where it is: there is nothing to start.
    setGranted(kAssistive, true);
    selectNotRunning(QStringLiteral("com.example.chat"), false);
    EXPECT_TRUE(controller.textFieldShouldSelect());
    EXPECT_EQ(world.alerts.shown.size(), 1);
    EXPECT_TRUE(world.workspace.launchRequests.isEmpty());
}

TEST_F(PermissionGatesTest, SelectingATitleFieldEndsARecordingAndKeepsItsKey) {
    storeTable(kNotes, {{"Bold", "@b"}});
    select(kNotes);
    QRVShortcutView* view = recorder(0);
    ASSERT_NE(view, nullptr);
    QTest::mouseClick(view, Qt::LeftButton, {}, view->rect().center());
    ASSERT_TRUE(view->isRecording());
    ASSERT_EQ(controller.currentShortcutRecorder(), view);

    EXPECT_TRUE(controller.textFieldShouldSelect());
    EXPECT_FALSE(view->isRecording());
    EXPECT_EQ(controller.currentShortcutRecorder(), nullptr);
    EXPECT_EQ(view->shortcutValue()->keyCode(), 11); // B
    EXPECT_EQ(fileTable(kNotes), QVariant(QVariantMap{{"Bold", "@b"}}));
}

} // namespace
