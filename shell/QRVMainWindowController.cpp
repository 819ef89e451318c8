#include "shell/QRVMainWindowController.h"

#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsViewController.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

namespace qrv {

QRVMainWindowController::QRVMainWindowController(QRVEditorServices editorServices, QObject* parent)
    : QObject(parent) {
    m_window = new QMainWindow;
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window->setObjectName(QStringLiteral("QRVMainWindow"));
    m_window->setWindowTitle(QString::fromLatin1(appinfo::kApplicationName));
    m_window->resize(760, 480);
    // The recorders test their keys against this window's menus.
    editorServices.mainMenu = [window = m_window]() -> const QWidget* {
        return window ? window->menuBar() : nullptr;
    };
    m_shortcutsViewController =
        std::make_unique<QRVShortcutsViewController>(std::move(editorServices));
    buildMenus();
    m_window->setCentralWidget(m_shortcutsViewController->view());
}

QRVMainWindowController::~QRVMainWindowController() {
    // The controller owns its view: take it back from the window before both go.
    if (m_window)
        m_window->takeCentralWidget();
    m_shortcutsViewController.reset();
    delete m_window;
}

void QRVMainWindowController::buildMenus() {
    QMenuBar* bar = m_window->menuBar();
    m_applicationMenu = bar->addMenu(QString::fromLatin1(appinfo::kApplicationName));
    QAction* quit = m_applicationMenu->addAction(
        tr("Quit %1").arg(QString::fromLatin1(appinfo::kApplicationName)));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    using Command = QRVShortcutsCommands::Command;
    QRVShortcutsCommands* commands = m_shortcutsViewController->commands();
    m_fileMenu = bar->addMenu(tr("File"));
    for (Command command : {Command::AddShortcut, Command::SelectOtherApplication})
        m_fileMenu->addAction(commands->action(command));
    m_fileMenu->addSeparator();
    for (Command command :
         {Command::Import, Command::ExportAll, Command::ExportSelected, Command::CreateRequest})
        m_fileMenu->addAction(commands->action(command));
    m_fileMenu->addSeparator();
    QAction* close = m_fileMenu->addAction(tr("Close"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, m_window, &QWidget::close);

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
    QAction* minimize = m_windowMenu->addAction(tr("Minimize"));
    connect(minimize, &QAction::triggered, m_window, &QWidget::showMinimized);
    m_helpMenu = bar->addMenu(tr("Help"));
}

void QRVMainWindowController::showWindow() {
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace qrv
