#include "shell/QRVEditRequestHandler.h"

#include "editor/QRVShortcutsViewController.h"
#include "exchange/EditRequestMailbox.h"

namespace qrv {

QRVEditRequestHandler::QRVEditRequestHandler(QRVShortcutsViewController& controller,
                                             EditRequestMailbox& mailbox, AlertPresenter& alerts,
                                             Workspace& workspace, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_mailbox(mailbox)
    , m_processor(*this, alerts, workspace) {
    // A request that came before the catalogue waits in the processor until the view has loaded.
    connect(&m_controller, &QRVShortcutsViewController::viewLoaded, this,
            [this] { m_processor.processRequest(); });
    m_mailbox.setReceiver([this](const QJsonObject& userInfo) {
        m_processor.menuShortcutRequestNotification(userInfo);
    });
}

QRVEditRequestHandler::~QRVEditRequestHandler() {
    m_mailbox.setReceiver({});
}

const QRVAplicationList& QRVEditRequestHandler::applications() const {
    return m_controller.applications();
}

QRVAplicationPtr QRVEditRequestHandler::application() const {
    return m_controller.application();
}

const QRVAplicationPtr& QRVEditRequestHandler::allApplicationsApplication() const {
    return m_controller.allApplicationsApplication();
}

void QRVEditRequestHandler::setApplication(QRVAplicationPtr application) {
    m_controller.setApplication(std::move(application));
}

void QRVEditRequestHandler::selectApplicationWithPath(const QString& path) {
    m_controller.selectApplicationWithPath(path);
}

const std::optional<QList<QRVMenuShortcutPtr>>& QRVEditRequestHandler::menuShortcuts() const {
    return m_controller.menuShortcuts();
}

void QRVEditRequestHandler::setMenuShortcuts(
    const std::optional<QList<QRVMenuShortcutPtr>>& shortcuts) {
    m_controller.setMenuShortcuts(shortcuts);
}

void QRVEditRequestHandler::validateShortcuts() {
    m_controller.validateShortcuts();
}

std::optional<QRVMenuItemList> QRVEditRequestHandler::topLevelMenuItems() const {
    return m_controller.topLevelMenuItems();
}

std::optional<QRVMenuItemList> QRVEditRequestHandler::allMenuItems() const {
    return m_controller.allMenuItems();
}

void QRVEditRequestHandler::loadApplicationMenuItemsNow() {
    m_controller.loadApplicationMenuItemsNow();
}

QRVMenuItemPtr QRVEditRequestHandler::leafMenuItemMatchingTitle(const QString& title) const {
    return m_controller.leafMenuItemMatchingTitle(title);
}

QRVMenuItemPtr QRVEditRequestHandler::menuItemMatchingFullDisplayTitle(const QString& title) const {
    return m_controller.menuItemMatchingFullDisplayTitle(title);
}

void QRVEditRequestHandler::endEditing() {
    m_controller.endTitleEditing();
}

void QRVEditRequestHandler::editRequestedShortcut(const QRVMenuShortcutPtr& shortcut,
                                                  bool recordKey) {
    m_controller.editRequestedShortcut(shortcut, recordKey);
}

} // namespace qrv
