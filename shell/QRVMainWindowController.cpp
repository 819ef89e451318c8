#include "shell/QRVMainWindowController.h"

#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsViewController.h"
#include "platform/AppInfo.h"
#include "platform/MainThread.h"
#include "platform/Scheduler.h"
#include "shell/QRVWindowChrome.h"

#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QPointer>
#include <QVBoxLayout>

namespace qrv {
namespace {

const QString kCheckEditRequestsKey = QStringLiteral("checkEditRequests");

// The application's commands keep their keys in every window of the program,
// not only in the one that shows the menu bar.
QAction* addAction(QMenu* menu, const QString& text, const QKeySequence& key = {}) {
    QAction* action = menu->addAction(text);
    action->setShortcut(key);
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

} // namespace

QRVMainWindowController::QRVMainWindowController(const DesktopServices& services, QObject* parent)
    : QRVWindowController(new QMainWindow, parent)
    , m_scheduler(services.scheduler) {
    QRV_ASSERT_MAIN_THREAD();
    windowDidLoad(services);
    rememberFrame(QStringLiteral("QRVMainWindow"), services.userDefaults, services.scheduler);
}

QRVMainWindowController::~QRVMainWindowController() {
    m_scheduler.cancelAllPerforms(this);
    // The editor owns its view: take it out of the window before both go.
    if (m_shortcutsViewController && m_shortcutsViewController->isViewLoaded())
        m_shortcutsViewController->view()->setParent(nullptr);
    m_shortcutsViewController.reset();
}

QMainWindow* QRVMainWindowController::mainWindow() const {
    return qobject_cast<QMainWindow*>(window());
}

void QRVMainWindowController::windowDidLoad(const DesktopServices& services) {
    QMainWindow* window = mainWindow();
    window->setObjectName(QStringLiteral("QRVMainWindow"));
    window->setWindowTitle(QString::fromLatin1(appinfo::kApplicationName));
    window->resize(760, 480);
    setMovableByWindowBackground(window, true);
    // The recorders test their keys against this window's menus.
    auto mainMenu = [menuBar = QPointer<QMenuBar>(window->menuBar())]() -> const QWidget* {
        return menuBar;
    };
    m_shortcutsViewController =
        std::make_unique<QRVShortcutsViewController>(QRVEditorServices{services, mainMenu});
    auto* background = new QRVVisualEffectView(window);
    auto* layout = new QVBoxLayout(background);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_shortcutsViewController->view());
    window->setCentralWidget(background);
    buildMenus();
    window->installEventFilter(this);
}

void QRVMainWindowController::buildMenus() {
    const QString name = QString::fromLatin1(appinfo::kApplicationName);
    QMenuBar* bar = mainWindow()->menuBar();

    m_applicationMenu = bar->addMenu(name);
    m_actions.preferences =
        addAction(m_applicationMenu, tr("Preferences…"), QKeySequence::Preferences);
    m_actions.preferences->setMenuRole(QAction::PreferencesRole);
    m_actions.checkForUpdates = addAction(m_applicationMenu, tr("Check for Updates…"));
    m_applicationMenu->addSeparator();
    m_actions.quit = addAction(m_applicationMenu, tr("Quit %1").arg(name), QKeySequence::Quit);
    m_actions.quit->setMenuRole(QAction::QuitRole);

    using Command = QRVShortcutsCommands::Command;
    QRVShortcutsCommands* commands = m_shortcutsViewController->commands();
    m_fileMenu = bar->addMenu(tr("File"));
    for (Command command : {Command::AddShortcut, Command::SelectOtherApplication})
        m_fileMenu->addAction(commands->action(command));
    m_fileMenu->addSeparator();
    // Enabled once the application delegate installs their handlers.
    for (Command command :
         {Command::Import, Command::ExportAll, Command::ExportSelected, Command::CreateRequest})
        m_fileMenu->addAction(commands->action(command));
    m_fileMenu->addSeparator();
    QAction* close = addAction(m_fileMenu, tr("Close"), QKeySequence::Close);
    connect(close, &QAction::triggered, this, [] {
        if (QWidget* active = QApplication::activeWindow())
            active->close();
    });

    m_editMenu = bar->addMenu(tr("Edit"));
    for (Command command : {Command::Copy, Command::Paste, Command::RemoveShortcut})
        m_editMenu->addAction(commands->action(command));
    // What the menus offer is looked at again as they open.
    for (QMenu* menu : {m_fileMenu, m_editMenu})
        connect(menu, &QMenu::aboutToShow, commands, [this, commands] {
            m_shortcutsViewController->windowDidUpdate();
            commands->updateEnabling();
        });

    m_windowMenu = bar->addMenu(tr("Window"));
    QAction* minimize = addAction(m_windowMenu, tr("Minimize"));
    connect(minimize, &QAction::triggered, this, [] {
        if (QWidget* active = QApplication::activeWindow())
            active->showMinimized();
    });

    m_helpMenu = bar->addMenu(tr("Help"));
    m_actions.help = addAction(m_helpMenu, tr("%1 Help").arg(name), QKeySequence::HelpContents);
    m_helpMenu->addSeparator();
    m_actions.contactSupport = addAction(m_helpMenu, tr("Contact Support…"));
    m_actions.supportAndFeedback = addAction(m_helpMenu, tr("Support and Feedback…"));
    m_actions.signUpForNews = addAction(m_helpMenu, tr("Sign Up for News…"));
}

void QRVMainWindowController::windowDidBecomeMain() {
    m_scheduler.performCoalesced(this, kCheckEditRequestsKey, kEditRequestsDelay,
                                 [this] { checkEditRequests(); });
}

void QRVMainWindowController::windowDidResignMain() {
    m_scheduler.cancelPerforms(this, kCheckEditRequestsKey);
}

void QRVMainWindowController::checkEditRequests() {
    if (m_editRequestsCheck)
        m_editRequestsCheck();
}

bool QRVMainWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window()) {
        if (event->type() == QEvent::WindowActivate)
            windowDidBecomeMain();
        else if (event->type() == QEvent::WindowDeactivate)
            windowDidResignMain();
    }
    return QRVWindowController::eventFilter(watched, event);
}

} // namespace qrv
