#pragma once

#include <QString>
#include <optional>

namespace qrv {

// The user's current keyboard layout, seen through the platform's virtual key
// codes (the positions of the keys on an Apple keyboard: 0 is A, 36 Return,
// 49 Space, 122 F1, ...). Key equivalents name keys by the text they produce,
// so the program needs, for each key code, that text on this layout.
//
// Implementations are immutable once built and safe to call from any thread.
class KeyboardLayout {
  public:
    static constexpr int kKeyCodeCount = 128;

    virtual ~KeyboardLayout() = default;

    // The text the key produces without modifiers, dead keys processed: a dead
    // key gives its own spacing character (what it types before a space).
    // Empty when the key produces nothing on this layout or does not exist.
    virtual QString translate(quint16 keyCode) const = 0;

    // The key code of a key event's native scan code (the window system's
    // key code), or nothing when the key has no virtual key code.
    virtual std::optional<quint16> keyCodeForScanCode(quint32 nativeScanCode) const = 0;

    // The current input source, as exchange files record it.
    virtual QString inputSourceId() const = 0;
    virtual QString localizedName() const = 0;
};

} // namespace qrv
