#include "shell/QRVAppDelegate.h"

#include "platform/MainThread.h"
#include "shell/QRVMainWindowController.h"

namespace qrv {

QRVAppDelegate::QRVAppDelegate(const DesktopServices& services, QObject* parent)
    : QObject(parent)
    , m_services(services) {}

QRVAppDelegate::~QRVAppDelegate() = default;

QRVMainWindowController* QRVAppDelegate::mainWindowController() {
    QRV_ASSERT_MAIN_THREAD();
    if (!m_mainWindowController)
        m_mainWindowController = std::make_unique<QRVMainWindowController>(m_services);
    return m_mainWindowController.get();
}

void QRVAppDelegate::applicationDidFinishLaunching() {
    QRV_ASSERT_MAIN_THREAD();
    mainWindowController()->showWindow();
}

} // namespace qrv
