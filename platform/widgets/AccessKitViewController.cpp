#include "platform/widgets/AccessKitViewController.h"

#include "platform/AccessKit.h"
#include "platform/widgets/AccessInstructions.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace qrv {

AccessKitViewController::AccessKitViewController(AccessKit& kit, QObject* parent)
    : QObject(parent)
    , m_kit(kit) {}

AccessKitViewController::~AccessKitViewController() {
    delete m_view; // when no layout took it
}

void AccessKitViewController::setRequestedPrivacyCategoryIdentifiers(
    const QStringList& identifiers) {
    m_identifiers = identifiers;
}

void AccessKitViewController::setReasonStrings(const QHash<QString, QString>& reasons) {
    m_reasons = reasons;
}

QWidget* AccessKitViewController::view() {
    if (m_view)
        return m_view;
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("AccessKitView"));
    m_view->installEventFilter(this);
    auto* grid = new QGridLayout(m_view);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    int line = 0;
    for (const QString& identifier : std::as_const(m_identifiers)) {
        auto* name = new QLabel(
            QStringLiteral("<b>%1</b>").arg(access::permissionName(identifier).toHtmlEscaped()),
            m_view);
        auto* state = new QLabel(m_view);
        auto* button = new QPushButton(m_view);
        button->setObjectName(identifier);
        connect(button, &QPushButton::clicked, this,
                [this, identifier] { m_kit.askAccessForPanelIdentifier(identifier); });
        auto* reason = new QLabel(m_reasons.value(identifier), m_view);
        reason->setWordWrap(true);
        grid->addWidget(name, line, 0);
        grid->addWidget(state, line, 1, Qt::AlignRight);
        grid->addWidget(button, line, 2, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(reason, line + 1, 0, 1, 2);
        grid->setRowMinimumHeight(line + 2, 12);
        line += 3;
        m_rows.append({identifier, state, button});
    }
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(line, 1);
    connect(&m_kit, &AccessKit::overlayShownChanged, this,
            &AccessKitViewController::updateAuthorizationStates);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    updateAuthorizationStates();
            });
    updateAuthorizationStates();
    return m_view;
}

void AccessKitViewController::updateAuthorizationStates() {
    const bool busy = m_kit.isOverlayShown();
    for (const Row& row : std::as_const(m_rows)) {
        const bool granted = m_kit.isGranted(row.identifier);
        row.state->setText(granted ? tr("Granted") : tr("Not granted"));
        row.button->setText(granted ? tr("Show Settings…") : tr("Grant Access…"));
        row.button->setEnabled(!busy);
    }
}

bool AccessKitViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Show)
        updateAuthorizationStates();
    return QObject::eventFilter(watched, event);
}

} // namespace qrv
