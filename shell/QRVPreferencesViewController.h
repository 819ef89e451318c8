#pragma once

#include "shell/QRVViewController.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace qrv {

class AccessKit;
class AccessKitViewController;

// The preferences window's content: the permissions the program asks for,
// listed by the permission library's own view with a reason each, and a way
// to open the privacy settings. While the pane is on screen it follows the
// library's guiding overlay: accessKitBusy() is true while the overlay shows,
// and the pane's controls wait meanwhile.
//
// The class operations are the one way the program shows the user how to
// grant a permission; the editor's gates and the welcome window use them.
class QRVPreferencesViewController : public QRVViewController {
    Q_OBJECT
    Q_PROPERTY(bool accessKitBusy READ accessKitBusy NOTIFY accessKitBusyChanged)
  public:
    explicit QRVPreferencesViewController(AccessKit& sharedKit, QObject* parent = nullptr);

    QWidget* containerView() const { return m_containerView; }
    // Made on the first appearance, reused after.
    AccessKitViewController* accessKitViewController() const { return m_accessKitViewController; }
    // The prepared shared kit while the view is on screen, null otherwise.
    AccessKit* accessKit() const { return m_accessKit; }
    bool accessKitBusy() const;

    void viewWillAppear() override;
    void viewDidAppear() override;
    void viewDidDisappear() override;
    void openPrivacyPreferences();

    // The shared kit with its overlay ending when the settings quit or lose
    // the focus, or when this program is active again.
    static AccessKit& preparedAccessKit(AccessKit& sharedKit);
    static void showFullDiskAccessInstructions(AccessKit& sharedKit);
    static void showAccessibilityInstructions(AccessKit& sharedKit);

  signals:
    void accessKitBusyChanged(bool busy);

  protected:
    void loadView(QWidget* view) override;

  private:
    void setAccessKit(AccessKit* kit);
    void updateBusyState();

    AccessKit& m_sharedKit;
    QPointer<QWidget> m_containerView;
    QPointer<QLabel> m_busyLabel;
    QPointer<QPushButton> m_openButton;
    AccessKitViewController* m_accessKitViewController = nullptr;
    AccessKit* m_accessKit = nullptr;
    bool m_busy = false;
};

} // namespace qrv
