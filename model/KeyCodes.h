#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

// The platform's virtual key codes that the notation names on their own.
namespace qrv::keycodes {

inline constexpr quint16 kReturn = 36;
inline constexpr quint16 kTab = 48;
inline constexpr quint16 kSpace = 49;
inline constexpr quint16 kDelete = 51;
inline constexpr quint16 kEscape = 53;
inline constexpr quint16 kKeypadDecimal = 65;
inline constexpr quint16 kKeypadMultiply = 67;
inline constexpr quint16 kKeypadPlus = 69;
inline constexpr quint16 kKeypadClear = 71;
inline constexpr quint16 kKeypadDivide = 75;
inline constexpr quint16 kKeypadEnter = 76;
inline constexpr quint16 kKeypadMinus = 78;
inline constexpr quint16 kKeypadEquals = 81;
// Keypad 0 to 7 are 82 to 89 in order; 8 and 9 come after a gap.
inline constexpr quint16 kKeypad0 = 82;
inline constexpr quint16 kKeypad7 = 89;
inline constexpr quint16 kKeypad8 = 91;
inline constexpr quint16 kKeypad9 = 92;
inline constexpr quint16 kHelp = 114;
inline constexpr quint16 kHome = 115;
inline constexpr quint16 kPageUp = 116;
inline constexpr quint16 kForwardDelete = 117;
inline constexpr quint16 kEnd = 119;
inline constexpr quint16 kPageDown = 121;
inline constexpr quint16 kLeftArrow = 123;
inline constexpr quint16 kRightArrow = 124;
inline constexpr quint16 kDownArrow = 125;
inline constexpr quint16 kUpArrow = 126;

// F1 to F20, in order.
inline constexpr std::array<quint16, 20> kFunctionKeys = {
    122, 120, 99, 118, 96, 97, 98, 100, 101, 109, 103, 111, 105, 107, 113, 106, 64, 79, 80, 90};
// The platform's function-key characters: F1 is U+F704, F2 U+F705, ...
inline constexpr char16_t kFunctionKeyCharacterF1 = 0xF704;

// 1 for F1 ... 20 for F20; nothing for other keys.
inline constexpr std::optional<int> functionKeyNumber(quint64 keyCode) {
    for (std::size_t i = 0; i < kFunctionKeys.size(); ++i)
        if (kFunctionKeys[i] == keyCode)
            return int(i) + 1;
    return std::nullopt;
}

// The keypad's keys: decimal, multiply, plus, clear, divide, enter, minus,
// equals and the digits.
inline constexpr bool isKeypadKey(quint64 keyCode) {
    switch (keyCode) {
    case kKeypadDecimal:
    case kKeypadMultiply:
    case kKeypadPlus:
    case kKeypadClear:
    case kKeypadDivide:
    case kKeypadEnter:
    case kKeypadMinus:
    case kKeypadEquals:
    case kKeypad8:
    case kKeypad9:
        return true;
    default:
        return keyCode >= kKeypad0 && keyCode <= kKeypad7;
    }
}

} // namespace qrv::keycodes
