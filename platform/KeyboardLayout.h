#pragma once

#include <QString>

#include <optional>

namespace qrv {

// Text-input sources and key translation: which text a virtual key code
// produces on the user's current keyboard layout, without modifiers.
// (Implemented by the key-combination work; refine there.)
class KeyboardLayout {
  public:
    virtual ~KeyboardLayout() = default;
    // The text of a key without modifiers; a dead key gives its spacing form.
    // Empty when the key produces nothing on this layout.
    virtual QString translate(quint16 keyCode) const = 0;
    virtual QString inputSourceId() const = 0;
    virtual QString localizedName() const = 0;
};

} // namespace qrv
