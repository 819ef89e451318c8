#include "shell/QRVMainWindowController.h"

#include "editor/QRVShortcutsViewController.h"
#include "platform/AppInfo.h"
#include "platform/MainThread.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

namespace qrv {

QRVMainWindowController::QRVMainWindowController(const DesktopServices& services, QObject* parent)
    : QObject(parent) {
    QRV_ASSERT_MAIN_THREAD();
    m_window = new QMainWindow;
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window->setObjectName(QStringLiteral("QRVMainWindow"));
    m_window->setWindowTitle(QString::fromLatin1(appinfo::kApplicationName));
    m_window->resize(760, 480);
    buildMenus();
    m_shortcutsViewController = std::make_unique<QRVShortcutsViewController>(services);
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

    m_fileMenu = bar->addMenu(tr("File"));
    QAction* close = m_fileMenu->addAction(tr("Close"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, m_window, &QWidget::close);

    m_editMenu = bar->addMenu(tr("Edit"));
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
