#include "shell/QRVAppDelegate.h"

#include "shell/QRVMainWindowController.h"

namespace qrv {

QRVAppDelegate::QRVAppDelegate(QObject* parent)
    : QObject(parent) {}

QRVAppDelegate::~QRVAppDelegate() = default;

QRVMainWindowController* QRVAppDelegate::mainWindowController() {
    if (!m_mainWindowController)
        m_mainWindowController = std::make_unique<QRVMainWindowController>();
    return m_mainWindowController.get();
}

void QRVAppDelegate::applicationDidFinishLaunching() {
    mainWindowController()->showWindow();
}

} // namespace qrv
