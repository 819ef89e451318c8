#include "ShellFixture.h"
#include "editor/QRVShortcutsViewController.h"
#include "model/QRVMenuShortcut.h"
#include "platform/plist/PlistCodec.h"
#include "shell/QRVHelpWindowController.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVNewsletterPrompt.h"

#include <QFile>
#include <QTest>

using namespace qrv;
using qrv::testing::ShellTest;

namespace {

class QuitTest : public ShellTest {
  protected:
    void setUsage(qint64 operations, qint64 sessions) {
        defaults.setInteger(QRVNewsletterPrompt::kUsageOperationsKey, operations);
        defaults.setInteger(QRVNewsletterPrompt::kUsageSessionsKey, sessions);
    }
    QVariant stored(const QString& key) {
        return platform.preferences.copyValue(key, defaults.domain());
    }
};

TEST_F(QuitTest, ThePromptNeedsFourEditsInFourSessionsAndNoEarlierAnswer) {
    struct Case {
        qint64 operations, sessions;
        bool suppressed, shown;
    };
    for (const Case& c :
         {Case{4, 3, false, false}, Case{3, 4, false, false}, Case{4, 4, false, true},
          Case{40, 9, false, true}, Case{4, 4, true, false}}) {
        qrv::testing::ScriptedAlertPresenter alerts;
        setUsage(c.operations, c.sessions);
        defaults.setBool(QRVNewsletterPrompt::kSuppressKey, c.suppressed);
        alerts.answer(1); // Later
        const auto answer = QRVNewsletterPrompt::run(alerts, defaults, "Quorvane");
        EXPECT_EQ(alerts.shown.size(), c.shown ? 1 : 0)
            << c.operations << "/" << c.sessions << " suppressed " << c.suppressed;
        EXPECT_EQ(answer, c.shown ? QRVNewsletterPrompt::Answer::Later
                                  : QRVNewsletterPrompt::Answer::NotShown);
    }
}

TEST_F(QuitTest, LaterAsksAgainNoThanksIsRememberedAndOkOpensTheNewsletterPage) {
    setUsage(5, 4);
    const auto quitAnswering = [&](int button) {
        delegate.reset();
        launched();
        platform.alerts.answer(button);
        EXPECT_EQ(runUntilExit([&] { delegate->quit(); }), 0);
    };
    quitAnswering(1); // Later
    EXPECT_FALSE(stored(QRVNewsletterPrompt::kSuppressKey).isValid());
    EXPECT_FALSE(stored(QRVNewsletterPrompt::kAcceptedKey).isValid());
    quitAnswering(2); // No, Thanks
    EXPECT_EQ(platform.alerts.shown.size(), 2);
    EXPECT_EQ(stored(QRVNewsletterPrompt::kAcceptedKey), QVariant(false));
    EXPECT_EQ(stored(QRVNewsletterPrompt::kSuppressKey), QVariant(true));
    EXPECT_TRUE(browser.opened.isEmpty());

    defaults.removeObject(QRVNewsletterPrompt::kSuppressKey);
    quitAnswering(0); // OK
    ASSERT_EQ(platform.alerts.shown.size(), 3);
    const Alert& alert = platform.alerts.shown[2];
    EXPECT_EQ(alert.style, Alert::Style::Informational);
    EXPECT_EQ(alert.messageText, "Sign up for News from Brackwyn Software");
    EXPECT_EQ(alert.informativeText,
              "We hope you enjoy using Quorvane. Don't forget to sign up for our low traffic "
              "newsletter to receive news about applications, updates, and special offers.");
    QStringList buttons;
    for (const auto& button : alert.buttons)
        buttons << button.title;
    EXPECT_EQ(buttons, (QStringList{"OK", "Later", "No, Thanks"}));
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0].scheme(), "https");
    EXPECT_EQ(browser.opened[0].query(), "referrer=Quorvane");
    EXPECT_EQ(stored(QRVNewsletterPrompt::kAcceptedKey), QVariant(true));
    EXPECT_EQ(stored(QRVNewsletterPrompt::kSuppressKey), QVariant(true));
    EXPECT_FALSE(QRVNewsletterPrompt::isDue(defaults));
}

TEST_F(QuitTest, QuittingSavesTheEditsThatWaitAndRemembersTheWindow) {
    launched();
    QRVShortcutsViewController* editor =
        delegate->mainWindowController()->shortcutsViewController();
    editor->setMenuShortcuts(
        QList<QRVMenuShortcutPtr>{QRVMenuShortcut::create(QString(), "Minimize", "@m")});
    editor->setNeedsSaving(true);
    delegate->mainWindowController()->window()->move(130, 90);

    EXPECT_EQ(runUntilExit([&] { delegate->quit(); }), 0);
    EXPECT_FALSE(editor->needsSaving());
    QFile global(platform.home.file("Library/Preferences/.GlobalPreferences.plist"));
    ASSERT_TRUE(global.open(QIODevice::ReadOnly));
    const auto decoded = plist::decode(global.readAll());
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value().toMap().value("NSUserKeyEquivalents").toMap(),
              (QVariantMap{{"Minimize", "@m"}}));
    EXPECT_TRUE(stored("NSWindow Frame QRVMainWindow").toString().startsWith("130 90 "));
}

TEST_F(QuitTest, ClosingTheLastWindowQuitsButNotWhileAnotherIsOpen) {
    launched();
    delegate->showHelpWindow();
    QWidget* main = delegate->mainWindowController()->window();
    QWidget* help = delegate->helpWindowController()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    bool ranOnAfterMainClosed = false;
    EXPECT_EQ(runUntilExit([&] {
                  main->close();
                  QTimer::singleShot(200, qApp, [&] {
                      ranOnAfterMainClosed = true;
                      help->close();
                  });
              }),
              0);
    EXPECT_TRUE(ranOnAfterMainClosed);
    EXPECT_TRUE(platform.alerts.shown.isEmpty()); // closing is not quitting: no prompt
}

} // namespace
