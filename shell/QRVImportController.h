#pragma once

#include "exchange/ImportPreview.h"
#include "menus/QRVAplication.h"
#include "shell/QRVExchangeCommands.h"
#include "shell/QRVImportPreviewWindow.h"

#include <QObject>
#include <QPointer>

namespace qrv {

// The editor's import command: an export file, chosen in an open panel and
// read in the background, is compared with the selected application's
// records and shown as a preview; what the user applies is saved at once,
// in one save, like a paste. A file exported from another application is
// imported into the selected one. Installed as the handler of the editor's
// import command for as long as this object lives.
class QRVImportController : public QObject {
    Q_OBJECT
  public:
    QRVImportController(QRVShortcutsViewController& controller, QRVExchangeServices services,
                        QObject* parent = nullptr);
    ~QRVImportController() override;

    void importShortcuts();
    // The file as read, for the application that was selected when the
    // import began (nothing happens when another one is selected now).
    void importFile(const QString& path, const QRVAplicationPtr& application);
    // The preview on screen; null when none is.
    QRVImportPreviewWindow* previewWindow() const { return m_previewWindow; }

  private:
    void showPreview(const QJsonObject& file, const QRVAplicationPtr& application);
    void apply(const ImportPreview& preview, const QRVAplicationPtr& application,
               const std::optional<QList<qsizetype>>& rows);
    void showError(const QString& message, const QString& reason);

    QRVShortcutsViewController& m_controller;
    QRVExchangeServices m_services;
    QPointer<QRVImportPreviewWindow> m_previewWindow;
};

} // namespace qrv
