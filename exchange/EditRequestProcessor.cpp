#include "exchange/EditRequestProcessor.h"

#include "platform/AlertPresenter.h"
#include "platform/Workspace.h"

#include <QCoreApplication>

namespace qrv {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("EditRequests", text);
}

bool sameIdentifierIgnoringCase(const QString& a, const QString& b) {
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

EditRequestProcessor::EditRequestProcessor(EditRequestTarget& target, AlertPresenter& alerts,
                                           Workspace& workspace)
    : m_target(target)
    , m_alerts(alerts)
    , m_workspace(workspace) {}

void EditRequestProcessor::menuShortcutRequestNotification(const QJsonObject& userInfo) {
    m_request = userInfo;
    processRequest();
}

void EditRequestProcessor::processRequest() {
    if (m_target.applications().isEmpty() || !m_request)
        return;
    const EditRequest request = EditRequest::fromUserInfo(*m_request);
    m_request.reset(); // each request is processed at most once
    m_menusLoaded = false;
    if (!request.isRequestOfVersion1) {
        m_alerts.beep();
        return;
    }
    // A row whose title is being typed counts as titled: a request without a
    // title then gets a row of its own instead of taking over that one.
    m_target.endEditing();
    if (!chooseApplication(request))
        return;

    // Records of all applications carry no identifier, and a request names
    // them with an empty one: both mean the same. A named application's rows
    // carry the identifier as the list has it, whatever case the file used.
    const QString owner =
        request.bundleIdentifier.isEmpty() ? QString() : m_target.application()->bundleIdentifier();
    const QList<QRVMenuShortcutPtr> current =
        m_target.menuShortcuts().value_or(QList<QRVMenuShortcutPtr>());
    QList<QRVMenuShortcutPtr> matching;
    for (const QRVMenuShortcutPtr& record : current)
        if (record->bundleIdentifier() == owner) // a null string equals the empty one
            matching.append(record);

    const std::optional<QString> title = resolvedTitle(request, matching);
    QRVMenuShortcutPtr target;
    if (!title) {
        if (!matching.isEmpty() && matching.first()->title().isEmpty())
            target = matching.first();
    } else {
        for (const QRVMenuShortcutPtr& record : matching)
            if (record->title() == *title) {
                target = record;
                break;
            }
    }

    QList<QRVMenuShortcutPtr> shortcuts;
    for (const QRVMenuShortcutPtr& record : current)
        if (!record->isPlaceholder() || record == target)
            shortcuts.append(record);
    if (!target) {
        const QString empty(QLatin1String(""));
        target = QRVMenuShortcut::create(owner, title.value_or(empty), empty);
        const QString key = menuKeyFor(title);
        if (!key.isEmpty())
            target->setKeyEquivalent(key);
        shortcuts.append(target);
    }
    if (shortcuts != current)
        m_target.setMenuShortcuts(shortcuts);
    m_target.validateShortcuts();
    m_target.editRequestedShortcut(target, title.has_value());
}

bool EditRequestProcessor::chooseApplication(const EditRequest& request) {
    const QString& wanted = request.bundleIdentifier;
    if (wanted.isEmpty()) {
        m_target.setApplication(m_target.allApplicationsApplication());
        return true;
    }
    const auto selectedIsWanted = [&] {
        const QRVAplicationPtr selected = m_target.application();
        return selected && sameIdentifierIgnoringCase(selected->bundleIdentifier(), wanted);
    };
    for (const QRVAplicationPtr& application : m_target.applications())
        if (sameIdentifierIgnoringCase(application->bundleIdentifier(), wanted)) {
            m_target.setApplication(application);
            break;
        }
    if (!selectedIsWanted()) {
        const QUrl url = m_workspace.urlForApplication(wanted);
        if (!url.isEmpty())
            m_target.selectApplicationWithPath(url.toLocalFile());
    }
    if (selectedIsWanted())
        return true;
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText =
        tr("Cannot find application “%1”").arg(request.localizedName.value_or(wanted));
    alert.buttons = {{tr("OK"), QStringLiteral("\r")}};
    m_alerts.runModal(alert);
    return false;
}

std::optional<QString>
EditRequestProcessor::resolvedTitle(const EditRequest& request,
                                    const QList<QRVMenuShortcutPtr>& matching) {
    if (!request.title)
        return std::nullopt;
    if (request.parents.isEmpty())
        return *request.title;
    const QString path = request.pathTitle();
    for (const QRVMenuShortcutPtr& record : matching)
        if (record->title() == path)
            return path;
    // A top-level title without a space names its item well enough by the
    // path; "Open Recent"-like menus may hold items named like others.
    if (!request.parents.first().contains(QLatin1Char(' ')))
        return path;
    loadMenusOnce();
    const QRVMenuItemList items = m_target.allMenuItems().value_or(QRVMenuItemList());
    if (items.isEmpty())
        return path;
    bool found = false;
    for (const QRVMenuItemPtr& item : items) {
        if (item->title() != *request.title)
            continue;
        if (item->prefersFullTitle() || found)
            return path;
        found = true;
    }
    return *request.title;
}

void EditRequestProcessor::loadMenusOnce() {
    if (m_menusLoaded || m_target.topLevelMenuItems())
        return;
    m_menusLoaded = true;
    m_target.loadApplicationMenuItemsNow();
}

QString EditRequestProcessor::menuKeyFor(const std::optional<QString>& title) {
    if (!title)
        return QString();
    loadMenusOnce();
    QRVMenuItemPtr item;
    if (title->startsWith(QRVMenuShortcut::kPathSeparator)) {
        // The look-up takes the path as items show it: without the leading ESC.
        item = m_target.menuItemMatchingFullDisplayTitle(title->mid(1));
    } else {
        item = m_target.leafMenuItemMatchingTitle(*title);
        if (!item)
            item = m_target.menuItemMatchingFullDisplayTitle(*title);
    }
    return item ? item->keyEquivalent() : QString();
}

} // namespace qrv
