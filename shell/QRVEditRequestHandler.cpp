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

void QRVEditRequestHandler::_loadApplicationMenuItems(bool inPlace) {
    m_controller._loadApplicationMenuItems(inPlace);
}

// FIXME: the two look-ups belong to title validation, which brings them to
// the editor controller; until it is in, these follow the same rules (exact
// titles; a leaf title that two items share names none; the first item of
// each level along a path). Forward to the controller once it has them.
QRVMenuItemPtr QRVEditRequestHandler::leafMenuItemMatchingTitle(const QString& title) const {
    QRVMenuItemPtr found;
    for (const QRVMenuItemPtr& item : m_controller.leafMenuItems().value_or(QRVMenuItemList()))
        if (item->title() == title) {
            if (found)
                return nullptr;
            found = item;
        }
    return found;
}

QRVMenuItemPtr QRVEditRequestHandler::menuItemMatchingFullDisplayTitle(const QString& title) const {
    QRVMenuItemList level = m_controller.topLevelMenuItems().value_or(QRVMenuItemList());
    const QStringList pieces = title.split(QRVMenuItem::kPathSeparator, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const auto item = std::find_if(level.cbegin(), level.cend(), [&](const QRVMenuItemPtr& it) {
            return it->title() == pieces.at(i);
        });
        if (item == level.cend())
            return nullptr;
        if (i == pieces.size() - 1)
            return *item;
        level = (*item)->children();
    }
    return nullptr;
}

void QRVEditRequestHandler::editRequestedShortcut(const QRVMenuShortcutPtr& shortcut,
                                                  bool recordKey) {
    m_controller.editRequestedShortcut(shortcut, recordKey);
}

} // namespace qrv
