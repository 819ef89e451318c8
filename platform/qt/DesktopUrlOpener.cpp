#include "platform/qt/DesktopUrlOpener.h"

#include <QDesktopServices>

namespace qrv {

bool DesktopUrlOpener::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace qrv
