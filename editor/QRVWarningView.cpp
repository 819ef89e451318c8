#include "editor/QRVWarningView.h"

#include "editor/BWToolTipManager.h"

#include <QEvent>
#include <QStyle>
#include <mutex>

namespace qrv {

namespace {

inline constexpr BWSelector<void(BWToolTipManager&, double, const BWToolTipUserInfo&)>
    bw_startTimer{"bw_startTimer:userInfo:"};

// Tool tips of warning views wait for nothing; all others keep their delay.
void replacementStartTimer(BWToolTipManager& manager, double delay,
                           const BWToolTipUserInfo& userInfo) {
    if (delay < 10.0 && qobject_cast<QRVWarningView*>(userInfo.view.data()))
        delay = 0;
    BWClass::forMetaObject(*manager.metaObject()).send(bw_startTimer, manager, delay, userInfo);
}

void initializeClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        BWClass& managerClass = BWClass::forMetaObject(BWToolTipManager::staticMetaObject);
        managerClass.addMethod(bw_startTimer, &replacementStartTimer);
        // Without the replacement the tool tip only comes later: nothing to report.
        (void)managerClass.bw_swizzleMethod(bwtooltipmanager::startTimer, bw_startTimer, nullptr);
    });
}

} // namespace

QRVWarningView::QRVWarningView(BWToolTipManager& toolTips, QWidget* parent)
    : QToolButton(parent)
    , m_toolTips(toolTips) {
    initializeClass();
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    setAccessibleName(tr("Warning"));
}

QRVWarningView::~QRVWarningView() {
    m_toolTips.mouseExitedView(this);
}

QSize QRVWarningView::sizeHint() const {
    return {18, 18};
}

bool QRVWarningView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        m_toolTips.mouseEnteredView(this);
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        m_toolTips.mouseExitedView(this);
        break;
    case QEvent::ToolTip:
        // The manager shows it; Qt's own, later, would only repeat it.
        return true;
    default:
        break;
    }
    return QToolButton::event(event);
}

} // namespace qrv
