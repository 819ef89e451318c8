#pragma once

#include <QObject>
#include <QPointer>

#include <QMainWindow>
class QMenu;

namespace qrv {

// Owns the main window: its menu bar and, as the editor grows, its content.
class QRVMainWindowController : public QObject {
    Q_OBJECT
  public:
    explicit QRVMainWindowController(QObject* parent = nullptr);
    ~QRVMainWindowController() override;

    QMainWindow* window() const { return m_window; }
    void showWindow();

    // The standard menus, for other parts of the shell to fill.
    QMenu* applicationMenu() const { return m_applicationMenu; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* editMenu() const { return m_editMenu; }
    QMenu* windowMenu() const { return m_windowMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }

  private:
    void buildMenus();

    QPointer<QMainWindow> m_window;
    QMenu* m_applicationMenu = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
};

} // namespace qrv
