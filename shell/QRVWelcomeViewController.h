#pragma once

#include "shell/QRVViewController.h"

#include <QPointer>
#include <QPushButton>

namespace qrv {

class AccessKit;
class Scheduler;
class Workspace;

// The welcome window's content: the two permissions, each with a button that
// asks for it and says "Permission Granted" once it is. The buttons are kept
// current while the view is visible: when it appears, and 0.1 s after any
// application becomes active (coming back from the settings), repeated
// activations collapsing into one update. Closing the window is the user's.
class QRVWelcomeViewController : public QRVViewController {
    Q_OBJECT
  public:
    QRVWelcomeViewController(AccessKit& sharedKit, Workspace& workspace, Scheduler& scheduler,
                             QObject* parent = nullptr);
    ~QRVWelcomeViewController() override;

    QPushButton* fdaButton() const { return m_fdaButton; }
    QPushButton* accessibilityButton() const { return m_accessibilityButton; }

    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewDidDisappear() override;
    void scheduleUpdateAuthorizationButtons();
    void updateAuthorizationButtons();
    // Not granted: "Grant Permission", enabled; granted: "Permission
    // Granted", disabled; a state beyond those leaves the button as it is.
    void updateAuthorizationButton(QPushButton* button, const QString& identifier);

    void requestFdaAuthorization();
    void requestAccessibilityAuthorization();

  protected:
    void loadView(QWidget* view) override;

  private:
    AccessKit& m_kit;
    Workspace& m_workspace;
    Scheduler& m_scheduler;
    QPointer<QPushButton> m_fdaButton;
    QPointer<QPushButton> m_accessibilityButton;
    QMetaObject::Connection m_activationObserver;
};

} // namespace qrv
