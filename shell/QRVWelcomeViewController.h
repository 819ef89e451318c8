#pragma once

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace qrv {

class AccessKit;
class Scheduler;
class Workspace;

// The welcome window's content: the two permissions, each with a button that
// asks for it and says "Permission Granted" once it is. The buttons are kept
// current while the view is visible: when it appears, and 0.1 s after any
// application becomes active (coming back from the settings), repeated
// activations collapsing into one update. Closing the window is the user's.
class QRVWelcomeViewController : public QObject {
    Q_OBJECT
  public:
    QRVWelcomeViewController(AccessKit& sharedKit, Workspace& workspace, Scheduler& scheduler,
                             QObject* parent = nullptr);
    ~QRVWelcomeViewController() override;

    // Loaded on first use; its window owns it from then on.
    QWidget* view();
    QPushButton* fdaButton() const { return m_fdaButton; }
    QPushButton* accessibilityButton() const { return m_accessibilityButton; }

    void viewWillAppear();
    void viewDidAppear();
    void viewDidDisappear();
    void scheduleUpdateAuthorizationButtons();
    void updateAuthorizationButtons();
    // Not granted: "Grant Permission", enabled; granted: "Permission
    // Granted", disabled; a state beyond those leaves the button as it is.
    void updateAuthorizationButton(QPushButton* button, const QString& identifier);

    void requestFdaAuthorization();
    void requestAccessibilityAuthorization();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    AccessKit& m_kit;
    Workspace& m_workspace;
    Scheduler& m_scheduler;
    QPointer<QWidget> m_view;
    QPointer<QPushButton> m_fdaButton;
    QPointer<QPushButton> m_accessibilityButton;
    QMetaObject::Connection m_activationObserver;
};

} // namespace qrv
