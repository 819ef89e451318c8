#include "editor/QRVShortcutView.h"

namespace qrv {

QRVShortcutView::QRVShortcutView(KSCShortcutViewServices services, QWidget* parent)
    : KSCShortcutView(std::move(services), parent) {}

} // namespace qrv
