#pragma once

#include "platform/Services.h"
#include "shell/QRVAppSupport.h"
#include "shell/QRVModalRunner.h"

namespace qrv {

// The support half of the application delegate on the program's services
// (the system log, the browser, HTTPS) and modal dialogs. Main thread; lives as long
// as the delegate that uses it.
class QRVNativeSupport {
  public:
    explicit QRVNativeSupport(const DesktopServices& services)
        : support({services.userDefaults, services.preferences, services.scheduler, services.alerts,
                   services.systemLog, services.urlOpener, services.http, m_modal},
                  AppSupportIdentity::standard(services.home)) {}

  private:
    QRVDialogModalRunner m_modal;

  public:
    QRVAppSupport support;
};

} // namespace qrv
