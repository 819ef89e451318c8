#pragma once

#include "editor/KSCShortcutView.h"

#include <functional>

class QWidget;

namespace qrv {

class AlertPresenter;
class HotKeys;
class KeyboardLayout;
class Pasteboard;
class Scheduler;

// What the shortcut editor works with, handed to it by the window that shows
// it: alerts and the beep, the general pasteboard (copy and paste), the
// scheduler (tool tips), and what its recorders need besides (the keyboard
// layout, the system-wide hot keys and this application's menu bar).
struct QRVEditorServices {
    AlertPresenter& alerts;
    Pasteboard& pasteboard;
    Scheduler& scheduler;
    const KeyboardLayout& keyboardLayout;
    const HotKeys& hotKeys;
    // The main window's menu bar, which may not exist yet.
    std::function<const QWidget*()> mainMenu;

    KSCShortcutViewServices recorderServices() const {
        return {alerts, keyboardLayout, hotKeys, mainMenu};
    }
};

} // namespace qrv
