#include "platform/qt/DesktopUrlOpener.h"

#include "platform/MainThread.h"

#include <QDesktopServices>

namespace qrv {

bool DesktopUrlOpener::openUrl(const QUrl& url) {
    QRV_ASSERT_MAIN_THREAD();
    return QDesktopServices::openUrl(url);
}

} // namespace qrv
