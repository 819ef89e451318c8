#include "shell/QRVExchangeCommands.h"

#include "editor/QRVShortcutsCommands.h"
#include "editor/QRVShortcutsViewController.h"
#include "exchange/ExchangeWriter.h"
#include "platform/AlertPresenter.h"
#include "platform/MainThread.h"
#include "platform/Scheduler.h"
#include "shell/QRVExportPanelAccessoryViewController.h"

#include <QCoreApplication>
#include <QPointer>

namespace qrv {

namespace {

using Command = QRVShortcutsCommands::Command;

// A name becomes a file name: a slash would make it a path.
QString fileNameFrom(QString name) {
    return name.replace(QLatin1Char('/'), QLatin1Char('-'));
}

} // namespace

QRVFilePanels::FileType exchangeFileType() {
    return {QCoreApplication::translate("QRVExchangeCommands", "Menu Shortcuts"),
            QString(exchange::kExtension)};
}

QRVExchangeCommands::QRVExchangeCommands(QRVShortcutsViewController& controller,
                                         QRVExchangeServices services, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_services(services) {
    QRVShortcutsCommands* commands = m_controller.commands();
    commands->setHandler(Command::ExportAll, [this] { exportAll(); });
    commands->setHandler(Command::ExportSelected, [this] { exportSelected(); });
    commands->setHandler(Command::CreateRequest, [this] { createRequest(); });
}

QRVExchangeCommands::~QRVExchangeCommands() {
    QRVShortcutsCommands* commands = m_controller.commands();
    for (Command command : {Command::ExportAll, Command::ExportSelected, Command::CreateRequest})
        commands->setHandler(command, {});
}

QString QRVExchangeCommands::applicationName() const {
    const QRVAplicationPtr application = m_controller.application();
    return application ? application->localizedName() : QString();
}

void QRVExchangeCommands::exportAll() {
    exportShortcuts(m_controller.menuShortcuts().value_or(QList<QRVMenuShortcutPtr>()));
}

void QRVExchangeCommands::exportSelected() {
    exportShortcuts(m_controller.selectedObjects());
}

void QRVExchangeCommands::exportShortcuts(const QList<QRVMenuShortcutPtr>& records) {
    QRV_ASSERT_MAIN_THREAD();
    const QRVAplicationPtr application = m_controller.application();
    std::optional<exchange::ExchangeDocument> document;
    if (application) {
        const QString bundleIdentifier =
            application->isAllApplications() ? QString() : application->bundleIdentifier();
        document = exchange::exportDocument(
            records, bundleIdentifier, application->localizedName(),
            exchange::currentWritingContext(m_services.scheduler.now(), m_services.keyboardLayout));
    }
    if (!document) {
        m_services.alerts.beep();
        return;
    }
    const QString name = applicationName();
    auto accessory = std::make_shared<QRVExportPanelAccessoryViewController>(
        exchange::exportPanelFields(m_services.userDefaults, name));
    QRVFilePanels::SavePanel panel;
    panel.window = m_controller.view()->window();
    panel.type = exchangeFileType();
    panel.proposedName = fileNameFrom(name);
    panel.accessoryView = accessory->view();
    QPointer<QRVExchangeCommands> self(this);
    m_services.filePanels.beginSaveSheet(panel, [self, accessory, exported = std::move(*document)](
                                                    const std::optional<QString>& path) mutable {
        if (!self || !path)
            return; // cancelled: nothing written, the author not remembered
        exchange::confirmExportPanel(exported, accessory->fields(), self->m_services.userDefaults);
        self->write(*path, exported);
    });
}

void QRVExchangeCommands::createRequest() {
    QRV_ASSERT_MAIN_THREAD();
    const QList<QRVMenuShortcutPtr> selected = m_controller.selectedObjects();
    if (!selected.isEmpty() && !selected.first()->title().isEmpty())
        request(*selected.first());
}

void QRVExchangeCommands::request(const QRVMenuShortcut& record) {
    const QString name = applicationName();
    exchange::ExchangeDocument document = exchange::requestDocument(
        record, name,
        exchange::currentWritingContext(m_services.scheduler.now(), m_services.keyboardLayout));
    QRVFilePanels::SavePanel panel;
    panel.window = m_controller.view()->window();
    panel.type = exchangeFileType();
    panel.proposedName = fileNameFrom(exchange::requestFileName(name));
    QPointer<QRVExchangeCommands> self(this);
    m_services.filePanels.beginSaveSheet(
        panel, [self, requested = std::move(document)](const std::optional<QString>& path) {
            if (self && path)
                self->write(*path, requested);
        });
}

void QRVExchangeCommands::write(const QString& path, const exchange::ExchangeDocument& document) {
    const Result<void> written = exchange::writeExchangeFile(path, document);
    if (written)
        return;
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = written.error();
    alert.buttons = {{tr("OK"), QStringLiteral("\r")}};
    m_services.alerts.runModal(alert);
}

} // namespace qrv
