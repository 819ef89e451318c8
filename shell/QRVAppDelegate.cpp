#include "shell/QRVAppDelegate.h"

#include "shell/QRVMainWindowController.h"

namespace qrv {

QRVAppDelegate::QRVAppDelegate(QRVEditorServices editorServices, QObject* parent)
    : QObject(parent)
    , m_editorServices(std::move(editorServices)) {}

QRVAppDelegate::~QRVAppDelegate() = default;

QRVMainWindowController* QRVAppDelegate::mainWindowController() {
    if (!m_mainWindowController)
        m_mainWindowController = std::make_unique<QRVMainWindowController>(m_editorServices);
    return m_mainWindowController.get();
}

void QRVAppDelegate::applicationDidFinishLaunching() {
    mainWindowController()->showWindow();
}

} // namespace qrv
