#pragma once

#include "editor/BWRuntime.h"
#include "model/KSCShortcut.h"

#include <functional>

class QWidget;

namespace qrv {

class HotKeys;

// Where a recorded combination may already be in use: the system-wide hot
// keys and this application's main menu (a QMenuBar or QMenu; may be null).
struct KSCConflictSources {
    const HotKeys& hotKeys;
    const QWidget* mainMenu = nullptr;
};

// The replaceable operations of KSCShortcut, sent through its class table.
namespace kscshortcut {
// Whether the combination is taken; the reason goes into the error slot.
inline constexpr BWSelector<bool(const KSCShortcut&, const KSCConflictSources&, QString*)>
    isTakenError{"isTakenError:"};
// Whether an item of the menu or of its submenus uses the key equivalent
// (key text, platform modifier flags); the item's title goes into the reason.
inline constexpr BWSelector<bool(const KSCShortcut&, const QString&, quint64, const QWidget*,
                                 QString*)>
    isKeyEquivalentTakenInMenu{"isKeyEquivalent:flags:takenInMenu:error:"};
} // namespace kscshortcut

// KSCShortcut's class table, initialised on first use: the recorder's own
// operations, then the program's replacements.
BWClass& kscShortcutClass();

// Sends isTakenError: to the class: gates, system-wide hot keys, main menu.
bool isShortcutTaken(const KSCShortcut& shortcut, const KSCConflictSources& sources,
                     QString* error);

// The flags a menu item stands for when its key equivalent matches the
// candidate's key text apart from case; nothing when the texts differ. An
// item written with an upper-case letter implies Shift.
std::optional<quint64> menuItemFlagsMatchingCandidate(const QString& itemKeyEquivalent,
                                                      quint64 itemModifierMask,
                                                      const QString& candidate);

} // namespace qrv
