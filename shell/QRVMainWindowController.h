#pragma once

#include "platform/Services.h"
#include "shell/QRVWindowController.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace qrv {

class QRVShortcutsViewController;

// The main window: the editor as its content and the application's menu bar.
// Half a second after the window comes to the front (becomes main) it asks
// for pending edit requests to be looked at; leaving the front before then
// cancels the look, so switching back and forth quickly asks only once.
class QRVMainWindowController : public QRVWindowController {
    Q_OBJECT
  public:
    // The menu commands that are the application's rather than the editor's.
    struct ApplicationActions {
        QAction* preferences = nullptr;
        QAction* quit = nullptr;
        QAction* help = nullptr;
        // Support and updates.
        QAction* checkForUpdates = nullptr;
        QAction* contactSupport = nullptr;
        QAction* supportAndFeedback = nullptr;
        QAction* signUpForNews = nullptr;
    };

    static constexpr std::chrono::milliseconds kEditRequestsDelay{500};

    explicit QRVMainWindowController(const DesktopServices& services, QObject* parent = nullptr);
    ~QRVMainWindowController() override;

    QMainWindow* mainWindow() const;
    // The window's content: the source list of applications and the editor.
    QRVShortcutsViewController* shortcutsViewController() const {
        return m_shortcutsViewController.get();
    }
    const ApplicationActions& applicationActions() const { return m_actions; }

    QMenu* applicationMenu() const { return m_applicationMenu; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* editMenu() const { return m_editMenu; }
    QMenu* windowMenu() const { return m_windowMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }

    // What the delayed look at the edit requests runs (the application delegate's).
    void setEditRequestsCheck(std::function<void()> check) {
        m_editRequestsCheck = std::move(check);
    }

    void windowDidBecomeMain();
    void windowDidResignMain();
    void checkEditRequests();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void windowDidLoad(const DesktopServices& services);
    void buildMenus();

    Scheduler& m_scheduler;
    std::unique_ptr<QRVShortcutsViewController> m_shortcutsViewController;
    std::function<void()> m_editRequestsCheck;
    ApplicationActions m_actions;
    QMenu* m_applicationMenu = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
};

} // namespace qrv
