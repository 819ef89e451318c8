#include "shell/QRVWelcomeViewController.h"

#include "platform/AccessKit.h"
#include "platform/MainThread.h"
#include "platform/Scheduler.h"
#include "platform/Workspace.h"
#include "shell/QRVPreferencesViewController.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace qrv {

namespace {
const QString kUpdateButtonsKey = QStringLiteral("updateAuthorizationButtons");
constexpr Millis kUpdateDelay{100};
} // namespace

QRVWelcomeViewController::QRVWelcomeViewController(AccessKit& sharedKit, Workspace& workspace,
                                                   Scheduler& scheduler, QObject* parent)
    : QRVViewController(QStringLiteral("QRVWelcomeView"), parent)
    , m_kit(sharedKit)
    , m_workspace(workspace)
    , m_scheduler(scheduler) {}

QRVWelcomeViewController::~QRVWelcomeViewController() {
    m_scheduler.cancelAllPerforms(this);
}

void QRVWelcomeViewController::loadView(QWidget* view) {
    auto* grid = new QGridLayout(view);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    const auto addPermission = [&](int line, const QString& name, const QString& reason,
                                   const QString& objectName) {
        auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(name.toHtmlEscaped()), view);
        auto* text = new QLabel(reason, view);
        text->setWordWrap(true);
        auto* button = new QPushButton(tr("Grant Permission"), view);
        button->setObjectName(objectName);
        button->setAccessibleDescription(name);
        grid->addWidget(title, line, 0);
        grid->addWidget(text, line + 1, 0);
        grid->addWidget(button, line, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
        grid->setRowMinimumHeight(line + 2, 14);
        return button;
    };
    m_fdaButton =
        addPermission(0, tr("Full Disk Access"),
                      tr("Lets Quorvane edit the keyboard shortcut settings of your applications."),
                      QStringLiteral("fdaButton"));
    m_accessibilityButton = addPermission(
        3, tr("Accessibility"),
        tr("Lets Quorvane read application menus to complete titles and check for conflicts."),
        QStringLiteral("accessibilityButton"));
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(6, 1);
    connect(m_fdaButton, &QPushButton::clicked, this,
            &QRVWelcomeViewController::requestFdaAuthorization);
    connect(m_accessibilityButton, &QPushButton::clicked, this,
            &QRVWelcomeViewController::requestAccessibilityAuthorization);
}

void QRVWelcomeViewController::viewWillAppear() {
    updateAuthorizationButtons();
}

void QRVWelcomeViewController::viewDidAppear() {
    if (!m_activationObserver)
        m_activationObserver =
            connect(&m_workspace, &Workspace::didActivateApplication, this,
                    &QRVWelcomeViewController::scheduleUpdateAuthorizationButtons);
}

void QRVWelcomeViewController::viewDidDisappear() {
    disconnect(m_activationObserver);
    m_activationObserver = {};
}

void QRVWelcomeViewController::scheduleUpdateAuthorizationButtons() {
    QRV_ASSERT_MAIN_THREAD();
    m_scheduler.performCoalesced(this, kUpdateButtonsKey, kUpdateDelay,
                                 [this] { updateAuthorizationButtons(); });
}

void QRVWelcomeViewController::updateAuthorizationButtons() {
    updateAuthorizationButton(m_fdaButton, PermissionStatus::kFullDiskAccess);
    updateAuthorizationButton(m_accessibilityButton, PermissionStatus::kAssistive);
}

void QRVWelcomeViewController::updateAuthorizationButton(QPushButton* button,
                                                         const QString& identifier) {
    if (!button)
        return;
    const int status = m_kit.privacyAuthorizationStatus(identifier);
    if (status < PermissionStatus::kGranted) {
        button->setText(tr("Grant Permission"));
        button->setEnabled(true);
    } else if (status == PermissionStatus::kGranted) {
        button->setText(tr("Permission Granted"));
        button->setEnabled(false);
    }
}

void QRVWelcomeViewController::requestFdaAuthorization() {
    m_kit.requestPrivacyAuthorization(PermissionStatus::kFullDiskAccess, false);
    scheduleUpdateAuthorizationButtons();
}

void QRVWelcomeViewController::requestAccessibilityAuthorization() {
    QRVPreferencesViewController::showAccessibilityInstructions(m_kit);
}

} // namespace qrv
