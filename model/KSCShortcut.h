#pragma once

#include <QString>
#include <QVariant>
#include <Qt>
#include <limits>
#include <memory>

class QKeyEvent;

namespace qrv {

class KeyboardLayout;
class KSCShortcut;
// A shortcut is handled by reference: nil is a null pointer, and two shortcuts
// are the same only when they are the same object.
using KSCShortcutPtr = std::shared_ptr<KSCShortcut>;

// A key combination: the platform's virtual key code of a key and the
// device-independent modifier flags, kept to Shift, Control, Option and Command.
class KSCShortcut {
  public:
    // The platform's "no key" (NSNotFound).
    static constexpr quint64 kNoKey = quint64(std::numeric_limits<qint64>::max());

    enum Modifier : quint64 {
        Shift = 0x20000,
        Control = 0x40000,
        Option = 0x80000,
        Command = 0x100000,
    };
    static constexpr quint64 kModifierMask = Shift | Control | Option | Command;

    KSCShortcut(quint64 keyCode, quint64 modifierFlags);

    // From a key event: the key code comes from the native scan code through
    // the keyboard layout. Qt names the platform's modifiers its own way:
    // Ctrl is Command, Meta is Control, Alt is Option. Null when the key has
    // no key code.
    static KSCShortcutPtr shortcutWithEvent(const QKeyEvent& event, const KeyboardLayout& layout);
    static KSCShortcutPtr shortcutWithEvent(quint16 keyCode, quint64 modifierFlags);
    static quint64 modifierFlagsFromQt(Qt::KeyboardModifiers modifiers);

    quint64 keyCode() const { return m_keyCode; }
    void setKeyCode(quint64 keyCode) { m_keyCode = keyCode; }
    quint64 modifierFlags() const { return m_modifierFlags; }
    void setModifierFlags(quint64 flags) { m_modifierFlags = flags & kModifierMask; }

    // The key's name as shown: a fixed glyph or name, else the text of the
    // layout the shared key table was built from, in upper case, else empty.
    QString keyCodeString() const;
    // The key text of a key-equivalent string; empty when it has none.
    QString keyCodeStringForKeyEquivalent() const;
    // ⌃⌥⇧⌘, as far as present.
    QString modifierFlagsString() const;
    // What the recorder draws and announces, e.g. ⌃⇧K.
    QString description() const { return modifierFlagsString() + keyCodeString(); }
    quint32 carbonFlags() const;
    // Whether the recorder may accept the combination.
    bool isValid() const;

    // Process-wide switches of the validity rule, both off until the recorder
    // turns them on (and again after resetSwitches(), which test fixtures call).
    static bool allowsAnyHotkeyWithOptionModifier();
    static void setAllowsAnyHotkeyWithOptionModifier(bool allows);
    static bool allowsSpaceAndEscapeWithNoModifiers();
    static void setAllowsSpaceAndEscapeWithNoModifiers(bool allows);
    static void resetSwitches();

    // The archived form: {"KeyCode": integer (-1 for no key), "ModifierFlags": integer}.
    QVariantMap archive() const;
    // Null when the value is not such a dictionary.
    static KSCShortcutPtr fromArchive(const QVariant& archived);

    bool operator==(const KSCShortcut&) const = delete; // identity only: compare pointers

  private:
    quint64 m_keyCode;
    quint64 m_modifierFlags;
};

} // namespace qrv
