#include "editor/KSCRecorderMonitors.h"

#include "editor/EditorThread.h"
#include "editor/KSCShortcutView.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace qrv {

namespace {

// Keys whose press and release change only the modifiers.
bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
        return true;
    default:
        return false;
    }
}

// Owned by the application object, so a monitor never outlives it; made
// again should a later application object need one.
template <typename Monitor> Monitor& sharedInstance(QPointer<Monitor>& slot) {
    assertEditorMainThread();
    if (!slot)
        slot = new Monitor(QCoreApplication::instance());
    return *slot;
}

} // namespace

KSCRecorderKeyMonitor& KSCRecorderKeyMonitor::shared() {
    static QPointer<KSCRecorderKeyMonitor> instance;
    return sharedInstance(instance);
}

void KSCRecorderKeyMonitor::watch(bool on) {
    if (on)
        QCoreApplication::instance()->installEventFilter(this);
    else
        QCoreApplication::instance()->removeEventFilter(this);
}

bool KSCRecorderKeyMonitor::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!m_view)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress || (type == QEvent::KeyRelease && isModifierKey(key->key())))
        m_view->handleRecordingKeyEvent(*key);
    // Nothing typed while recording goes on: not to the focus widget (Tab,
    // Return), not to the shortcut map or the menus (Ctrl+W, Ctrl+Q).
    event->accept();
    return true;
}

KSCResignObserver& KSCResignObserver::shared() {
    static QPointer<KSCResignObserver> instance;
    return sharedInstance(instance);
}

void KSCResignObserver::watch(bool on) {
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = on && m_view ? m_view->window() : nullptr;
    if (m_window)
        m_window->installEventFilter(this);
}

bool KSCResignObserver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && watched == m_window && m_view)
        m_view->setRecording(false);
    return false;
}

} // namespace qrv
