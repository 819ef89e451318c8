#include "shell/QRVAppDelegate.h"

#include "shell/QRVMainWindowController.h"

namespace qrv {

QRVAppDelegate::QRVAppDelegate(const DesktopServices& services, QObject* parent)
    : QObject(parent)
    , m_services(services) {}

QRVAppDelegate::~QRVAppDelegate() = default;

QRVMainWindowController* QRVAppDelegate::mainWindowController() {
    if (!m_mainWindowController)
        m_mainWindowController = std::make_unique<QRVMainWindowController>(m_services);
    return m_mainWindowController.get();
}

void QRVAppDelegate::applicationDidFinishLaunching() {
    mainWindowController()->showWindow();
}

} // namespace qrv
