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
inline constexpr quint16 kKeypadClear = 71;
inline constexpr quint16 kKeypadMinus = 78;
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
    case 65:
    case 67:
    case 69:
    case 71:
    case 75:
    case 76:
    case 78:
    case 81:
    case 91:
    case 92:
        return true;
    default:
        return keyCode >= 82 && keyCode <= 89;
    }
}

} // namespace qrv::keycodes
