#include "editor/KSCKeyEvents.h"

#include "model/KeyCodes.h"
#include "platform/KeyboardLayout.h"

#include <QKeyEvent>

namespace qrv {

namespace {

// Keys Qt names without text, at their position on the platform's keyboard.
std::optional<quint16> keyCodeOfNamedQtKey(int key) {
    using namespace keycodes;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F20)
        return kFunctionKeys[std::size_t(key - Qt::Key_F1)];
    switch (key) {
    case Qt::Key_Return:
        return kReturn;
    case Qt::Key_Enter:
        return quint16(76); // keypad Enter
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    case Qt::Key_Space:
        return kSpace;
    case Qt::Key_Backspace:
        return kDelete;
    case Qt::Key_Escape:
        return kEscape;
    case Qt::Key_Clear:
        return kKeypadClear;
    case Qt::Key_Help:
    case Qt::Key_Insert: // where PC keyboards have Help
        return kHelp;
    case Qt::Key_Home:
        return kHome;
    case Qt::Key_PageUp:
        return kPageUp;
    case Qt::Key_Delete:
        return kForwardDelete;
    case Qt::Key_End:
        return kEnd;
    case Qt::Key_PageDown:
        return kPageDown;
    case Qt::Key_Left:
        return kLeftArrow;
    case Qt::Key_Right:
        return kRightArrow;
    case Qt::Key_Down:
        return kDownArrow;
    case Qt::Key_Up:
        return kUpArrow;
    default:
        return std::nullopt;
    }
}

// Qt gives a character key as its (upper-case) character; keys beyond the
// Unicode range are Qt's own names.
QString characterOfQtKey(int key) {
    if (key <= 0 || key > 0x10FFFF || (key >= 0xD800 && key <= 0xDFFF))
        return {};
    const char32_t c = char32_t(key);
    return QString::fromUcs4(&c, 1).toLower();
}

} // namespace

std::optional<quint16> keyCodeOfKeyEvent(const QKeyEvent& event, const KeyboardLayout& layout) {
    if (event.nativeScanCode() != 0)
        if (const auto keyCode = layout.keyCodeForScanCode(event.nativeScanCode()))
            return keyCode;
    if (const auto keyCode = keyCodeOfNamedQtKey(event.key()))
        return keyCode;
    const QString character = characterOfQtKey(event.key());
    if (character.isEmpty())
        return std::nullopt;
    const bool fromKeypad = event.modifiers().testFlag(Qt::KeypadModifier);
    for (quint16 keyCode = 0; keyCode < KeyboardLayout::kKeyCodeCount; ++keyCode)
        if (keycodes::isKeypadKey(keyCode) == fromKeypad && layout.translate(keyCode) == character)
            return keyCode;
    return std::nullopt;
}

KSCShortcutPtr shortcutWithKeyEvent(const QKeyEvent& event, const KeyboardLayout& layout) {
    const quint64 flags = KSCShortcut::modifierFlagsFromQt(event.modifiers());
    const auto keyCode = keyCodeOfKeyEvent(event, layout);
    return std::make_shared<KSCShortcut>(keyCode ? *keyCode : KSCShortcut::kNoKey, flags);
}

std::optional<KeyEquivalentOfShortcut> keyEquivalentOfQtShortcut(QKeyCombination combination) {
    const int key = combination.key();
    KeyEquivalentOfShortcut result;
    result.modifierFlags = KSCShortcut::modifierFlagsFromQt(combination.keyboardModifiers());
    if (const auto keyCode = keyCodeOfNamedQtKey(key))
        result.keyEquivalent = KSCShortcut(*keyCode, 0).keyCodeStringForKeyEquivalent();
    else
        result.keyEquivalent = characterOfQtKey(key);
    if (result.keyEquivalent.isEmpty())
        return std::nullopt;
    return result;
}

} // namespace qrv
