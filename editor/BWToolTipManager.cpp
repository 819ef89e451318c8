#include "editor/BWToolTipManager.h"

#include "editor/EditorThread.h"
#include "platform/Scheduler.h"

#include <QApplication>
#include <QCursor>
#include <QStyle>
#include <QToolTip>
#include <mutex>

namespace qrv {

namespace {
const QString kShowKey = QStringLiteral("showToolTip");
} // namespace

BWToolTipManager::BWToolTipManager(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler) {
    static std::once_flag once;
    std::call_once(once, [] {
        BWClass::forMetaObject(staticMetaObject)
            .addMethod(bwtooltipmanager::startTimer, &BWToolTipManager::originalStartTimer);
    });
}

BWToolTipManager::~BWToolTipManager() {
    m_scheduler.cancelAllPerforms(this);
}

double BWToolTipManager::usualDelay() {
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay) / 1000.0;
}

void BWToolTipManager::mouseEnteredView(QWidget* view) {
    assertEditorMainThread();
    BWClass::forMetaObject(*metaObject())
        .send(bwtooltipmanager::startTimer, *this, usualDelay(), BWToolTipUserInfo{view});
}

void BWToolTipManager::mouseExitedView(QWidget* view) {
    assertEditorMainThread();
    if (m_pendingView == view) {
        m_scheduler.cancelPerforms(this, kShowKey);
        m_pendingView = nullptr;
    }
    if (m_shownView == view && QToolTip::isVisible())
        QToolTip::hideText();
    if (m_shownView == view)
        m_shownView = nullptr;
}

void BWToolTipManager::originalStartTimer(BWToolTipManager& manager, double delay,
                                          const BWToolTipUserInfo& userInfo) {
    manager.m_scheduler.cancelPerforms(&manager, kShowKey);
    manager.m_pendingView = userInfo.view;
    if (delay <= 0) {
        manager.show(userInfo.view);
        return;
    }
    manager.m_scheduler.perform(&manager, kShowKey, Millis(qRound64(delay * 1000)),
                                [&manager] { manager.show(manager.m_pendingView); });
}

void BWToolTipManager::show(QWidget* view) {
    m_pendingView = nullptr;
    if (!view || view->toolTip().isEmpty() || !view->isVisible())
        return;
    const QPoint cursor = QCursor::pos();
    // Under the pointer when it is over the view, else below the view.
    const QPoint at = view->rect().contains(view->mapFromGlobal(cursor))
                          ? cursor
                          : view->mapToGlobal(view->rect().bottomLeft());
    m_shownView = view;
    QToolTip::showText(at, view->toolTip(), view, view->rect());
}

} // namespace qrv
