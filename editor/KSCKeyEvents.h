#pragma once

#include "model/KSCShortcut.h"

#include <QKeyCombination>
#include <QString>
#include <optional>

class QKeyEvent;

namespace qrv {

class KeyboardLayout;

// The platform key code of a key event. The native scan code decides, so a
// key means the same position whatever layout is active; an event without
// one (a synthesised event) is placed by its Qt key: keys without text by
// their fixed position, characters on the layout key that types them.
std::optional<quint16> keyCodeOfKeyEvent(const QKeyEvent& event, const KeyboardLayout& layout);

// The combination a key event stands for. A key without a key code (a
// modifier on its own, a media key) gives a shortcut without key, whose key
// string is empty.
KSCShortcutPtr shortcutWithKeyEvent(const QKeyEvent& event, const KeyboardLayout& layout);

// A Qt shortcut (a menu action's) in the terms of a key-equivalent string:
// the key text as a recorded shortcut writes it and the platform modifier
// flags. Nothing for keys that have no key text.
struct KeyEquivalentOfShortcut {
    QString keyEquivalent;
    quint64 modifierFlags = 0;
};
std::optional<KeyEquivalentOfShortcut> keyEquivalentOfQtShortcut(QKeyCombination combination);

} // namespace qrv
