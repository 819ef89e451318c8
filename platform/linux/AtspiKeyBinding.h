#pragma once

#include <QKeyCombination>
#include <QString>
#include <optional>

namespace qrv::atspi {

// The accelerator in an item's key binding (AT-SPI Action.GetKeyBinding), as
// a Qt key combination whose modifiers are the binding's own: Control, Alt,
// Shift, and Meta for Super, Meta and Hyper. Each toolkit writes it its own way:
//   Qt      "Ctrl+Shift+S", "Meta+Alt+D", "F3", "Alt+Right"
//   GTK     "<Control><Shift>s", "<Primary>s", "<Alt>Right", "<Super>l"
//   ATK     "mnemonic;sequence;accelerator", e.g. "<Alt>f;<Alt>f:s;<Control>s":
//           only the accelerator counts (a mnemonic is no key equivalent)
// Nothing for an empty binding, a sequence of several chords, a lone
// modifier or a key name that is not known.
std::optional<QKeyCombination> parseKeyBinding(const QString& binding);

} // namespace qrv::atspi
