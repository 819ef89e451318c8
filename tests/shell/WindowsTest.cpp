#include "ShellFixture.h"
#include "platform/PermissionStatus.h"
#include "platform/widgets/AccessKitViewController.h"
#include "shell/QRVHelpWindowController.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVPreferencesViewController.h"
#include "shell/QRVPreferencesWindowController.h"
#include "shell/QRVWindowChrome.h"
#include "shell/QRVWindowFrameAutosave.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace qrv;
using qrv::testing::ShellTest;

namespace {

TEST_F(ShellTest, HelpIsMadeOnceOursReadOnlyAtTheTopAndInThePalettesColours) {
    launched();
    delegate->showHelpWindow();
    QRVHelpWindowController* help = delegate->helpWindowController();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(help->window()));
    help->window()->close();
    delegate->showHelpWindow();
    EXPECT_EQ(delegate->helpWindowController(), help);
    EXPECT_TRUE(help->window()->isVisible());

    QTextBrowser* text = help->textView();
    EXPECT_TRUE(text->document()->toPlainText().startsWith("Quorvane Help"));
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->textCursor().position(), 0);
    auto colours = [&] {
        QSet<QRgb> found;
        for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                found << it.fragment().charFormat().foreground().color().rgb();
        return found;
    };
    for (const QColor& colour : {QColor(0xee, 0xee, 0xee), QColor(Qt::black)}) {
        QPalette palette = text->palette();
        palette.setColor(QPalette::Text, colour);
        text->setPalette(palette);
        EXPECT_EQ(colours(), (QSet<QRgb>{colour.rgb()}));
    }
}

TEST_F(ShellTest, PreferencesAreMadeOnceWithThePermissionsPaneReadAgainWhenShown) {
    platform.permissions.set(PermissionStatus::kFullDiskAccess, PermissionStatus::kDenied);
    launched();
    delegate->showPreferencesWindow();
    QRVPreferencesWindowController* preferences = delegate->preferencesWindowController();
    QRVPreferencesViewController* pane = preferences->preferencesViewController();
    ASSERT_NE(pane->accessKitViewController(), nullptr);
    EXPECT_EQ(pane->accessKit(), &platform.accessKit);
    QWidget* list = pane->accessKitViewController()->view();
    EXPECT_TRUE(list->isVisible());
    const auto stateOf = [&](const QString& permission) {
        return list->findChild<QPushButton*>(permission)->text();
    };
    EXPECT_EQ(stateOf(PermissionStatus::kFullDiskAccess), "Grant Access…");
    EXPECT_EQ(stateOf(PermissionStatus::kAssistive), "Show Settings…");
    preferences->window()->close();
    EXPECT_EQ(pane->accessKit(), nullptr);
    platform.permissions.set(PermissionStatus::kFullDiskAccess, PermissionStatus::kGranted);
    delegate->showPreferencesWindow();
    EXPECT_EQ(delegate->preferencesWindowController(), preferences);
    EXPECT_EQ(stateOf(PermissionStatus::kFullDiskAccess), "Show Settings…");
}

TEST_F(ShellTest, BecomingMainLooksAtEditRequestsOnceHalfASecondLater) {
    launched();
    QRVMainWindowController* main = delegate->mainWindowController();
    int checks = 0;
    main->setEditRequestsCheck([&] { ++checks; });
    auto send = [&](QEvent::Type type) {
        QEvent event(type);
        QCoreApplication::sendEvent(main->window(), &event);
    };
    platform.scheduler.runPending(); // the launch turns
    checks = 0;

    send(QEvent::WindowActivate);
    platform.scheduler.advance(Millis(300));
    send(QEvent::WindowDeactivate);
    send(QEvent::WindowActivate);
    platform.scheduler.advance(Millis(499));
    EXPECT_EQ(checks, 0);
    platform.scheduler.advance(Millis(1));
    EXPECT_EQ(checks, 1);

    send(QEvent::WindowActivate);
    send(QEvent::WindowDeactivate); // another window became main in time
    platform.scheduler.advance(Millis(2000));
    EXPECT_EQ(checks, 1);
}

// Offscreen there is no window manager, so the window follows the pointer itself.
TEST(WindowChrome, ABackgroundPressMovesAMovableWindowAndControlsKeepTheirClicks) {
    QRVVisualEffectView window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new QPushButton("Button", &window);
    layout->addWidget(button);
    layout->addStretch(1);
    window.resize(300, 200);
    window.move(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto drag = [&](QWidget* target, QPoint from, QPoint by) {
        const QPoint global = target->mapToGlobal(from);
        QMouseEvent press(QEvent::MouseButtonPress, from, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QMouseEvent move(QEvent::MouseMove, from + by, global + by, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, from + by, global + by, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    };
    const QPoint background(150, 180);
    drag(&window, background, QPoint(40, 25));
    EXPECT_EQ(window.pos(), QPoint(100, 100)) << "not movable by its background";

    setMovableByWindowBackground(&window, true);
    drag(&window, background, QPoint(40, 25));
    EXPECT_EQ(window.pos(), QPoint(140, 125));
    EXPECT_FALSE(window.movingWindow());

    drag(button, QPoint(5, 5), QPoint(40, 25));
    EXPECT_EQ(window.pos(), QPoint(140, 125)) << "a press on a control is the control's";
}

TEST_F(ShellTest, TheMainWindowIsMovableByItsBackgroundAndOpensWhereTheUserLeftIt) {
    launched();
    QWidget* window = delegate->mainWindowController()->window();
    EXPECT_TRUE(isMovableByWindowBackground(window));
    EXPECT_NE(qobject_cast<QRVVisualEffectView*>(
                  delegate->mainWindowController()->mainWindow()->centralWidget()),
              nullptr);
    window->resize(700, 420);
    window->move(60, 40);
    // Moves are written once the user stops.
    platform.scheduler.advance(Millis(1000));
    const QString key = QRVWindowFrameAutosave::keyForName("QRVMainWindow");
    EXPECT_TRUE(defaults.stringForKey(key).startsWith("60 40 700 420"));

    delegate.reset();
    launched();
    window = delegate->mainWindowController()->window();
    EXPECT_EQ(window->pos(), QPoint(60, 40));
    EXPECT_EQ(window->size(), QSize(700, 420));
}

TEST(WindowFrame, ARememberedFrameIsReadStrictlyAndPutBackOnAScreen) {
    EXPECT_EQ(QRVWindowFrameAutosave::parseFrame("10 20 300 200 0 0 1920 1080"),
              QRect(10, 20, 300, 200));
    for (const char* junk : {"", "1 2 3", "a b c d", "0 0 0 10", "0 0 -5 10"})
        EXPECT_FALSE(QRVWindowFrameAutosave::parseFrame(junk).has_value()) << junk;

    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    // On the second screen and fitting: as it was.
    EXPECT_EQ(QRVWindowFrameAutosave::fittedFrame(QRect(2000, 100, 800, 600), screens),
              QRect(2000, 100, 800, 600));
    // That screen is gone: back onto the first one.
    EXPECT_EQ(QRVWindowFrameAutosave::fittedFrame(QRect(2000, 100, 800, 600), {screens[0]}),
              QRect(1120, 100, 800, 600));
    // Larger than the screen: as large as the screen.
    EXPECT_EQ(QRVWindowFrameAutosave::fittedFrame(QRect(-50, -50, 4000, 3000), {screens[0]}),
              QRect(0, 0, 1920, 1080));
}

// Every command is in the menus; those whose parts are not in yet are there
// and disabled, never enabled and silent.
TEST_F(ShellTest, TheMenusHoldEveryCommandAndTheUnfinishedOnesAreDisabled) {
    launched();
    QMainWindow* window = delegate->mainWindowController()->mainWindow();
    QStringList entries;
    for (QAction* menu : window->menuBar()->actions()) {
        menu->menu()->aboutToShow();
        for (QAction* action : menu->menu()->actions())
            if (!action->isSeparator())
                entries << menu->text() + " > " + action->text() +
                               (action->isEnabled() ? "" : " (disabled)");
    }
    const QStringList expected{
        "Quorvane > Preferences…",
        "Quorvane > Check for Updates…",
        "Quorvane > Quit Quorvane",
        "File > Add Shortcut",
        "File > Add Application…",
        "File > Import Shortcuts…",
        "File > Export All Shortcuts… (disabled)",
        "File > Export Selected Shortcuts… (disabled)",
        "File > Create Request… (disabled)",
        "File > Close",
        "Edit > Copy (disabled)",
        "Edit > Paste (disabled)",
        "Edit > Remove Shortcut",
        "Window > Minimize",
        "Help > Quorvane Help",
        "Help > Contact Support…",
        "Help > Support and Feedback…",
        "Help > Sign Up for News…",
    };
    EXPECT_EQ(entries, expected);
}

} // namespace
