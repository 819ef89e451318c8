// The key-equivalent notation: modifier characters "@" (Command), "~" (Option),
// "^" (Control) and "$" (Shift), followed by one key text.
#include "model/KeyEquivalentTable.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Platform.h"

namespace qrv {

namespace {

struct ModifierCharacter {
    QChar character;
    KSCShortcut::Modifier modifier;
};
// In the order they are written.
constexpr ModifierCharacter kModifierCharacters[] = {
    {u'@', KSCShortcut::Command},
    {u'~', KSCShortcut::Option},
    {u'^', KSCShortcut::Control},
    {u'$', KSCShortcut::Shift},
};

} // namespace

KSCShortcutPtr QRVMenuShortcut::shortcutFromKeyEquivalent(const QString& keyEquivalent) {
    return shortcutFromKeyEquivalent(keyEquivalent, KeyEquivalentTable::shared());
}

QRVMenuShortcut::KeyEquivalentParts
QRVMenuShortcut::keyEquivalentParts(const QString& keyEquivalent) {
    // Modifiers are read in any order and repetition, so a key text that is
    // itself a modifier character cannot be read.
    KeyEquivalentParts parts;
    qsizetype position = 0;
    for (bool consumed = true; consumed;) {
        consumed = false;
        for (const ModifierCharacter& m : kModifierCharacters) {
            if (position < keyEquivalent.size() && keyEquivalent.at(position) == m.character) {
                parts.modifierFlags |= m.modifier;
                ++position;
                consumed = true;
            }
        }
    }
    parts.keyText = keyEquivalent.mid(position);
    return parts;
}

KSCShortcutPtr QRVMenuShortcut::shortcutFromKeyEquivalent(const QString& keyEquivalent,
                                                          const KeyEquivalentTable& table) {
    if (keyEquivalent.isNull())
        return nullptr;
    const KeyEquivalentParts parts = keyEquivalentParts(keyEquivalent);
    if (parts.keyText.isEmpty())
        return nullptr;
    const auto keyCode = table.keyCode(parts.keyText);
    if (!keyCode)
        return nullptr;
    return std::make_shared<KSCShortcut>(*keyCode, parts.modifierFlags);
}

QString QRVMenuShortcut::keyEquivalentFromShortcut(const KSCShortcut* shortcut) {
    if (!shortcut)
        return {};
    const QString keyText = shortcut->keyCodeStringForKeyEquivalent();
    if (keyText.isEmpty())
        return {};
    QString written;
    for (const ModifierCharacter& m : kModifierCharacters)
        if (shortcut->modifierFlags() & m.modifier)
            written += m.character;
    return written + keyText;
}

std::optional<quint16> QRVMenuShortcut::keyCodeFromString(const QString& text) {
    return KeyEquivalentTable::shared().keyCode(text);
}

QHash<QString, quint16> QRVMenuShortcut::stringsForKeyCodes() {
    return KeyEquivalentTable::layoutEntries(platform().keyboardLayout);
}

} // namespace qrv
