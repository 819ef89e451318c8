#pragma once

#include "platform/linux/JournalSystemLog.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "platform/qt/QtHttpTransport.h"
#include "shell/QRVAppSupport.h"
#include "shell/QRVModalRunner.h"

namespace qrv {

// The support half of the application delegate on the real services: the
// journal, the browser, HTTPS and modal dialogs. Main thread; lives as long
// as the delegate that uses it.
class QRVNativeSupport {
  public:
    QRVNativeSupport(UserDefaults& defaults, PreferenceStore& preferences, Scheduler& scheduler,
                     AlertPresenter& alerts, const QString& preferencesHome)
        : support({defaults, preferences, scheduler, alerts, m_log, m_browser, m_http, m_modal},
                  AppSupportIdentity::standard(preferencesHome)) {}

  private:
    JournalSystemLog m_log;
    DesktopUrlOpener m_browser;
    QtHttpTransport m_http;
    QRVDialogModalRunner m_modal;

  public:
    QRVAppSupport support;
};

} // namespace qrv
