#include "shell/QRVWindowController.h"

#include "shell/QRVWindowFrameAutosave.h"

namespace qrv {

QRVWindowController::QRVWindowController(QWidget* window, QObject* parent)
    : QObject(parent)
    , m_window(window) {
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
}

QRVWindowController::~QRVWindowController() {
    delete m_window;
}

void QRVWindowController::rememberFrame(const QString& name, UserDefaults& defaults,
                                        Scheduler& scheduler) {
    m_frame = new QRVWindowFrameAutosave(*m_window, name, defaults, scheduler);
}

void QRVWindowController::showWindow() {
    if (!m_window)
        return;
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void QRVWindowController::saveWindowFrame() {
    if (m_frame)
        m_frame->saveFrame();
}

} // namespace qrv
