#pragma once

#include "editor/QRVEditorServices.h"

#include <QObject>
#include <memory>

namespace qrv {

class QRVMainWindowController;

// The application's delegate: owns the window controllers for the whole run
// and drives the launch sequence.
class QRVAppDelegate : public QObject {
    Q_OBJECT
  public:
    explicit QRVAppDelegate(QRVEditorServices editorServices, QObject* parent = nullptr);
    ~QRVAppDelegate() override;

    void applicationDidFinishLaunching();

    // Created on first use and kept for the rest of the run.
    QRVMainWindowController* mainWindowController();

  private:
    QRVEditorServices m_editorServices;
    std::unique_ptr<QRVMainWindowController> m_mainWindowController;
};

} // namespace qrv
