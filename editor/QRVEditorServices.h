#pragma once

#include "editor/KSCShortcutView.h"
#include "platform/Services.h"

#include <functional>

class QWidget;

namespace qrv {

// What the shortcut editor works with, handed to it by the window that shows
// it: the program's services (the store, alerts and the beep, the general
// pasteboard for copy and paste, the scheduler for tool tips, the keyboard
// layout and the system-wide hot keys for its recorders, the permission
// library and the workspace for the permission gates) and, besides, the
// window's own menu bar, which the recorders test their keys against.
struct QRVEditorServices : DesktopServices {
    // The main window's menu bar, which may not exist yet.
    std::function<const QWidget*()> mainMenu;

    KSCShortcutViewServices recorderServices() const {
        return {alerts, keyboardLayout, hotKeys, mainMenu};
    }
};

} // namespace qrv
