#include "shell/QRVFilePanels.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QPointer>
#include <QStandardPaths>

namespace qrv {

namespace {

QString nameFilter(const QRVFilePanels::FileType& type) {
    return QCoreApplication::translate("QRVFilePanels", "%1 (*.%2)").arg(type.name, type.extension);
}

QFileDialog* makeDialog(QWidget* window, const QRVFilePanels::FileType& type) {
    auto* dialog = new QFileDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setNameFilter(nameFilter(type));
    // Not every home has a documents folder; the dialog would otherwise start
    // wherever the program was started from.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog->setDirectory(QDir(documents).exists() ? documents : QDir::homePath());
    dialog->setWindowModality(Qt::WindowModal);
    return dialog;
}

void finishWith(QFileDialog* dialog, QRVFilePanels::Completion done,
                QPointer<QWidget> accessory = {}) {
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, done = std::move(done), accessory](int result) {
                         // The accessory belongs to the caller, not to the dialog that goes now.
                         if (accessory)
                             accessory->setParent(nullptr);
                         const QStringList files = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !files.isEmpty())
                             done(files.first());
                         else
                             done(std::nullopt);
                     });
}

} // namespace

void QRVDialogFilePanels::beginSaveSheet(const SavePanel& panel, Completion done) {
    QFileDialog* dialog = makeDialog(panel.window, panel.type);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(panel.type.extension);
    dialog->selectFile(panel.proposedName + QLatin1Char('.') + panel.type.extension);
    if (panel.accessoryView) {
        // Only Qt's own dialog takes extra fields.
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog->layout()))
            grid->addWidget(panel.accessoryView, grid->rowCount(), 0, 1, grid->columnCount());
    }
    finishWith(dialog, std::move(done), panel.accessoryView);
    dialog->open();
}

void QRVDialogFilePanels::beginOpenSheet(const OpenPanel& panel, Completion done) {
    QFileDialog* dialog = makeDialog(panel.window, panel.type);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    finishWith(dialog, std::move(done));
    dialog->open();
}

} // namespace qrv
