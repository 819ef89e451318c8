#pragma once

#include "exchange/EditRequestProcessor.h"

#include <QObject>

namespace qrv {

class EditRequestMailbox;
class QRVShortcutsViewController;

// The editor's side of edit requests: listens to the mailbox (a request kept
// there before the editor existed arrives now) and processes each request
// against the editor controller, once its view, and so its catalogue, has
// loaded. Lives as long as the main window's controller.
class QRVEditRequestHandler : public QObject, public EditRequestTarget {
    Q_OBJECT
  public:
    QRVEditRequestHandler(QRVShortcutsViewController& controller, EditRequestMailbox& mailbox,
                          AlertPresenter& alerts, Workspace& workspace, QObject* parent = nullptr);
    ~QRVEditRequestHandler() override;

    EditRequestProcessor& processor() { return m_processor; }

    // ---- EditRequestTarget
    const QRVAplicationList& applications() const override;
    QRVAplicationPtr application() const override;
    const QRVAplicationPtr& allApplicationsApplication() const override;
    void setApplication(QRVAplicationPtr application) override;
    void selectApplicationWithPath(const QString& path) override;
    const std::optional<QList<QRVMenuShortcutPtr>>& menuShortcuts() const override;
    void setMenuShortcuts(const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts) override;
    void validateShortcuts() override;
    std::optional<QRVMenuItemList> topLevelMenuItems() const override;
    std::optional<QRVMenuItemList> allMenuItems() const override;
    void loadApplicationMenuItemsNow() override;
    QRVMenuItemPtr leafMenuItemMatchingTitle(const QString& title) const override;
    QRVMenuItemPtr menuItemMatchingFullDisplayTitle(const QString& title) const override;
    void endEditing() override;
    void editRequestedShortcut(const QRVMenuShortcutPtr& shortcut, bool recordKey) override;

  private:
    QRVShortcutsViewController& m_controller;
    EditRequestMailbox& m_mailbox;
    EditRequestProcessor m_processor;
};

} // namespace qrv
