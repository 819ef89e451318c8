#include "shell/QRVPermissionsView.h"

#include "platform/PermissionStatus.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>

namespace qrv {

QRVPermissionsView::QRVPermissionsView(PermissionStatus& permissions, QWidget* parent)
    : QWidget(parent)
    , m_permissions(permissions) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    const struct {
        QString permission, name, reason;
    } permissionsShown[] = {
        {PermissionStatus::kFullDiskAccess, tr("Full Disk Access"),
         tr("Edit keyboard shortcut settings")},
        {PermissionStatus::kAssistive, tr("Accessibility"),
         tr("Access application menu items for auto-completions")},
    };
    int row = 0;
    for (const auto& shown : permissionsShown) {
        auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(shown.name.toHtmlEscaped()), this);
        auto* reason = new QLabel(shown.reason, this);
        reason->setWordWrap(true);
        auto* state = new QLabel(this);
        state->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(name, row, 0);
        grid->addWidget(state, row, 1);
        grid->addWidget(reason, row + 1, 0, 1, 2);
        row += 2;
        m_rows.append({shown.permission, state});
    }
    grid->setColumnStretch(0, 1);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && isVisible())
                    updateAuthorizationStates();
            });
    updateAuthorizationStates();
}

QString QRVPermissionsView::stateText(const QString& permission) const {
    for (const Row& row : m_rows)
        if (row.permission == permission)
            return row.state->text();
    return {};
}

void QRVPermissionsView::updateAuthorizationStates() {
    for (const Row& row : std::as_const(m_rows))
        row.state->setText(m_permissions.isGranted(row.permission) ? tr("Granted")
                                                                   : tr("Not granted"));
}

void QRVPermissionsView::showEvent(QShowEvent* event) {
    updateAuthorizationStates();
    QWidget::showEvent(event);
}

} // namespace qrv
