#pragma once

#include "exchange/ExchangeFormat.h"
#include "model/QRVMenuShortcut.h"
#include "shell/QRVFilePanels.h"

#include <QObject>

namespace qrv {

class AlertPresenter;
class KeyboardLayout;
class QRVShortcutsViewController;
class Scheduler;
class UserDefaults;

// What the exchange commands work with.
struct QRVExchangeServices {
    AlertPresenter& alerts;
    UserDefaults& userDefaults; // the author last confirmed
    Scheduler& scheduler;       // the time a file is written; reading in the background
    const KeyboardLayout& keyboardLayout;
    QRVFilePanels& filePanels;
};

// The exchange type as file panels offer it.
QRVFilePanels::FileType exchangeFileType();

// The editor's export commands: the records (all, or the selected ones) of
// the selected application into an export file, with the author, title and
// description the user gives in the save panel; and a request file for one
// row's menu item. Installed as the handlers of the editor's commands for as
// long as this object lives.
class QRVExchangeCommands : public QObject {
    Q_OBJECT
  public:
    QRVExchangeCommands(QRVShortcutsViewController& controller, QRVExchangeServices services,
                        QObject* parent = nullptr);
    ~QRVExchangeCommands() override;

    void exportAll();
    void exportSelected();
    // Beeps when none of the records can be exported (none belongs to the
    // application, or all are empty); otherwise asks where to save.
    void exportShortcuts(const QList<QRVMenuShortcutPtr>& records);
    // A request for the first selected row, when it has a title.
    void createRequest();
    void request(const QRVMenuShortcut& record);

  private:
    void write(const QString& path, const exchange::ExchangeDocument& document);
    QString applicationName() const;

    QRVShortcutsViewController& m_controller;
    QRVExchangeServices m_services;
};

} // namespace qrv
