#pragma once

#include "platform/Accessibility.h"

#include <QKeyCombination>
#include <QString>
#include <optional>

namespace qrv {

// A menu item's key equivalent as the platform's accessibility API reports
// it: a character ("AXMenuItemCmdChar") or, for keys without one, a menu
// glyph number ("AXMenuItemCmdGlyph"), plus the modifier bits
// ("AXMenuItemCmdModifiers", see ax::k...Modifier).
struct MenuKeyAttributes {
    QString character;        // empty when the key is given as a glyph
    std::optional<int> glyph; // set only when there is no character
    int modifiers = 0;
};

// Maps a Qt shortcut to those attributes with the platform's conventions:
// Qt's Control is Command (as Qt itself maps it on the Mac), Alt is Option,
// Meta is Control. Keys without a character (arrows, function keys, Return,
// Tab, Delete, Escape, page and home keys, Space) become glyph numbers.
// Nothing for an empty combination or a key that has neither.
std::optional<MenuKeyAttributes> menuKeyAttributes(QKeyCombination key);

// The answer to a read of "AXMenuItemCmdChar", "AXMenuItemCmdModifiers" or
// "AXMenuItemCmdGlyph" of an item with this key (none: kNoValue).
AccessibilityResult<AccessibilityValue>
menuKeyAttributeValue(const std::optional<MenuKeyAttributes>& key, const QString& attribute);

} // namespace qrv
