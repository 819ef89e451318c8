// The editing side of the controller, as far as the catalogue calls it; the
// shortcut table builds on these.
#include "editor/QRVShortcutsViewController.h"

namespace qrv {

// Waits for the store (records and saving) to land in the model.
void QRVShortcutsViewController::loadMenuShortcuts() {}
void QRVShortcutsViewController::saveApplicationShortcuts() {
    m_needsSaving = false;
}
void QRVShortcutsViewController::validateShortcuts() {}

} // namespace qrv
