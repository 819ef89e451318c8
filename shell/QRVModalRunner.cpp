#include "shell/QRVModalRunner.h"

#include <QDialog>

namespace qrv {

int QRVDialogModalRunner::runModal(QDialog& dialog) {
    return dialog.exec();
}

} // namespace qrv
