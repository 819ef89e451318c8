#include "editor/QRVShortcutsViewTableCellView.h"

#include "editor/QRVShortcutView.h"
#include "editor/QRVShortcutsTableAccessibility.h"
#include "editor/QRVWarningView.h"

#include <QHBoxLayout>
#include <QStyle>

namespace qrv {

QRVShortcutsViewTableCellView::QRVShortcutsViewTableCellView(
    const KSCShortcutViewServices& services, BWToolTipManager& toolTips, QWidget* parent)
    : QWidget(parent) {
    installShortcutsTableAccessibility(this);
    setObjectName(QStringLiteral("shortcut"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    m_warningView = new QRVWarningView(toolTips, this);
    m_warningView->setObjectName(QStringLiteral("warningView"));
    m_warningView->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    m_warningView->setFocusPolicy(Qt::NoFocus);
    m_warningView->hide();
    m_shortcutView = new QRVShortcutView(services, this);
    m_shortcutView->setObjectName(QStringLiteral("shortcutView"));
    layout->addWidget(m_warningView);
    layout->addWidget(m_shortcutView, 1);
}

void QRVShortcutsViewTableCellView::setWarningMessage(const QString& message) {
    m_warningView->setToolTip(message);
    m_warningView->setAccessibleName(message);
    m_warningView->setVisible(!message.isEmpty());
}

void QRVShortcutsViewTableCellView::prepareForReuse() {
    m_shortcutView->shortcutValueChange = nullptr;
}

} // namespace qrv
