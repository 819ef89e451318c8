#include "shell/QRVPreferencesViewController.h"

#include "platform/AccessKit.h"
#include "platform/MainThread.h"
#include "platform/widgets/AccessKitViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qrv {

QRVPreferencesViewController::QRVPreferencesViewController(AccessKit& sharedKit, QObject* parent)
    : QRVViewController(QStringLiteral("QRVPreferencesView"), parent)
    , m_sharedKit(sharedKit) {}

void QRVPreferencesViewController::loadView(QWidget* view) {
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    m_containerView = new QWidget(view);
    m_containerView->setObjectName(QStringLiteral("containerView"));
    layout->addWidget(m_containerView, 1);
    auto* footer = new QHBoxLayout;
    m_busyLabel =
        new QLabel(tr("Follow the instructions beside the settings, then come back."), view);
    m_busyLabel->setWordWrap(true);
    m_busyLabel->setVisible(false);
    m_openButton = new QPushButton(tr("Open Privacy Settings…"), view);
    m_openButton->setObjectName(QStringLiteral("openPrivacyPreferences"));
    connect(m_openButton, &QPushButton::clicked, this,
            &QRVPreferencesViewController::openPrivacyPreferences);
    footer->addWidget(m_busyLabel, 1);
    footer->addStretch(0);
    footer->addWidget(m_openButton);
    layout->addLayout(footer);
}

bool QRVPreferencesViewController::accessKitBusy() const {
    return m_accessKit && m_accessKit->isOverlayShown();
}

void QRVPreferencesViewController::viewWillAppear() {
    QRV_ASSERT_MAIN_THREAD();
    if (m_accessKitViewController)
        return;
    m_accessKitViewController = new AccessKitViewController(m_sharedKit, this);
    m_accessKitViewController->setRequestedPrivacyCategoryIdentifiers(
        {PermissionStatus::kFullDiskAccess, PermissionStatus::kAssistive});
    m_accessKitViewController->setReasonStrings(
        {{PermissionStatus::kFullDiskAccess, tr("Edit keyboard shortcut settings")},
         {PermissionStatus::kAssistive, tr("Access application menu items for auto-completions")}});
    QWidget* list = m_accessKitViewController->view();
    if (m_containerView) {
        // Fills the container and follows its size, as a layout would.
        auto* fill = new QVBoxLayout(m_containerView);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(list);
        // Made while the view shows: a child added then is not shown with it.
        list->show();
    } else {
        list->setGeometry(QRect());
    }
}

void QRVPreferencesViewController::viewDidAppear() {
    setAccessKit(&preparedAccessKit(m_sharedKit));
}

void QRVPreferencesViewController::viewDidDisappear() {
    setAccessKit(nullptr);
}

void QRVPreferencesViewController::setAccessKit(AccessKit* kit) {
    if (m_accessKit == kit)
        return;
    if (m_accessKit)
        disconnect(m_accessKit, nullptr, this, nullptr);
    m_accessKit = kit;
    if (m_accessKit)
        connect(m_accessKit, &AccessKit::overlayShownChanged, this,
                &QRVPreferencesViewController::updateBusyState);
    updateBusyState();
}

void QRVPreferencesViewController::updateBusyState() {
    const bool busy = accessKitBusy();
    if (m_openButton)
        m_openButton->setEnabled(!busy);
    if (m_busyLabel)
        m_busyLabel->setVisible(busy);
    if (busy == m_busy)
        return;
    m_busy = busy;
    emit accessKitBusyChanged(busy);
}

void QRVPreferencesViewController::openPrivacyPreferences() {
    m_sharedKit.openPrivacyPreferencesWithAnchor(QString());
}

AccessKit& QRVPreferencesViewController::preparedAccessKit(AccessKit& sharedKit) {
    return qrv::preparedAccessKit(sharedKit);
}

void QRVPreferencesViewController::showFullDiskAccessInstructions(AccessKit& sharedKit) {
    showAccessInstructions(sharedKit, PermissionStatus::kFullDiskAccess);
}

void QRVPreferencesViewController::showAccessibilityInstructions(AccessKit& sharedKit) {
    showAccessInstructions(sharedKit, PermissionStatus::kAssistive);
}

} // namespace qrv
