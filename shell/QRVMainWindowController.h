#pragma once

#include "editor/QRVEditorServices.h"

#include <QMainWindow>
#include <QObject>
#include <QPointer>
class QMenu;

#include <memory>

namespace qrv {

class QRVShortcutsViewController;

// Owns the main window: its menu bar and, as the editor grows, its content.
class QRVMainWindowController : public QObject {
    Q_OBJECT
  public:
    explicit QRVMainWindowController(QRVEditorServices editorServices, QObject* parent = nullptr);
    ~QRVMainWindowController() override;

    QMainWindow* window() const { return m_window; }
    // The window's content: the source list of applications and the editor.
    QRVShortcutsViewController* shortcutsViewController() const {
        return m_shortcutsViewController.get();
    }
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
    std::unique_ptr<QRVShortcutsViewController> m_shortcutsViewController;
    QMenu* m_applicationMenu = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
};

} // namespace qrv
