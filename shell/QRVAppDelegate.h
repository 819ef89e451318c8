#pragma once

#include "platform/Services.h"

#include <QObject>
#include <memory>

namespace qrv {

class QRVMainWindowController;

// The application's delegate: owns the window controllers for the whole run
// and drives the launch sequence.
class QRVAppDelegate : public QObject {
    Q_OBJECT
  public:
    explicit QRVAppDelegate(const DesktopServices& services, QObject* parent = nullptr);
    ~QRVAppDelegate() override;

    void applicationDidFinishLaunching();

    // Created on first use and kept for the rest of the run.
    QRVMainWindowController* mainWindowController();

  private:
    DesktopServices m_services;
    std::unique_ptr<QRVMainWindowController> m_mainWindowController;
};

} // namespace qrv
