#include "shell/QRVImportController.h"

#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsViewController.h"
#include "exchange/ExchangeFileReader.h"
#include "platform/AlertPresenter.h"
#include "platform/MainThread.h"
#include "shell/QRVImportPreviewWindow.h"

#include <QFileInfo>

namespace qrv {

namespace {

using Command = QRVShortcutsCommands::Command;

QString bundleIdentifierOf(const QRVAplication& application) {
    return application.isAllApplications() ? QString() : application.bundleIdentifier();
}

} // namespace

QRVImportController::QRVImportController(QRVShortcutsViewController& controller,
                                         QRVExchangeServices services, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_services(services) {
    m_controller.commands()->setHandler(Command::Import, [this] { importShortcuts(); });
}

QRVImportController::~QRVImportController() {
    m_controller.commands()->setHandler(Command::Import, {});
    delete m_previewWindow;
}

void QRVImportController::importShortcuts() {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr application = m_controller.application();
    // Refused like a paste: the import would write the application's table.
    if (!application || !m_controller.checkFullDiskAccess())
        return;
    QRVFilePanels::OpenPanel panel;
    panel.window = m_controller.view()->window();
    panel.type = exchangeFileType();
    QPointer<QRVImportController> self(this);
    m_services.filePanels.beginOpenSheet(panel,
                                         [self, application](const std::optional<QString>& path) {
                                             if (self && path)
                                                 self->importFile(*path, application);
                                         });
}

void QRVImportController::importFile(const QString& path, const QRVAplicationPtr& application) {
    QRV_ASSERT_MAIN_THREAD();
    QPointer<QRVImportController> self(this);
    exchange::readExchangeFileInBackground(
        m_services.scheduler, path, exchange::Links::Follow,
        [self, path, application](Result<QJsonObject> file) {
            if (!self)
                return;
            if (!file) {
                self->showError(
                    tr("The file “%1” cannot be imported.").arg(QFileInfo(path).fileName()),
                    file.error());
                return;
            }
            self->showPreview(*file, application);
        });
}

void QRVImportController::showPreview(const QJsonObject& file,
                                      const QRVAplicationPtr& application) {
    // The user went on to another application while the file was read.
    if (m_controller.application() != application || !m_controller.menuShortcuts()) {
        m_services.alerts.beep();
        return;
    }
    auto preview =
        ImportPreview::make(file, bundleIdentifierOf(*application), *m_controller.menuShortcuts());
    if (!preview) {
        showError(tr("The file cannot be imported."), preview.error());
        return;
    }
    delete m_previewWindow;
    m_previewWindow = new QRVImportPreviewWindow(std::move(*preview), application->localizedName(),
                                                 m_controller.view()->window());
    m_previewWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_previewWindow->setWindowModality(Qt::WindowModal);
    QPointer<QRVImportController> self(this);
    QRVImportPreviewWindow* window = m_previewWindow;
    m_previewWindow->setApplyHandler(
        [self, window, application](const std::optional<QList<qsizetype>>& rows) {
            if (self)
                self->apply(window->preview(), application, rows);
        });
    m_previewWindow->open();
}

void QRVImportController::apply(const ImportPreview& preview, const QRVAplicationPtr& application,
                                const std::optional<QList<qsizetype>>& rows) {
    if (m_controller.application() != application || !m_controller.menuShortcuts()) {
        m_services.alerts.beep();
        return;
    }
    // Matched by title against the records as they are now: a reload since
    // the preview (another program's change) is taken into account.
    m_controller.setMenuShortcuts(preview.apply(*m_controller.menuShortcuts(), rows));
    m_controller.saveApplicationShortcuts();
}

void QRVImportController::showError(const QString& message, const QString& reason) {
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = message;
    alert.informativeText = reason;
    alert.buttons = {{tr("OK"), QStringLiteral("\r")}};
    m_services.alerts.runModal(alert);
}

} // namespace qrv
