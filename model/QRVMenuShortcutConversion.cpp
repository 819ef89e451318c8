// The key-equivalent notation: modifier characters "@" (Command), "~" (Option),
// "^" (Control) and "$" (Shift), followed by one key text.
#include "model/KeyEquivalentTable.h"
#include "model/QRVMenuShortcut.h"

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
    return shortcutFromKeyEquivalent(keyEquivalent, *KeyEquivalentTable::shared());
}

KSCShortcutPtr QRVMenuShortcut::shortcutFromKeyEquivalent(const QString& keyEquivalent,
                                                          const KeyEquivalentTable& table) {
    if (keyEquivalent.isNull())
        return nullptr;
    // Modifiers are read in any order and repetition, so a key text that is
    // itself a modifier character cannot be read.
    quint64 flags = 0;
    qsizetype position = 0;
    for (bool consumed = true; consumed;) {
        consumed = false;
        for (const ModifierCharacter& m : kModifierCharacters) {
            if (position < keyEquivalent.size() && keyEquivalent.at(position) == m.character) {
                flags |= m.modifier;
                ++position;
                consumed = true;
            }
        }
    }
    const QString keyText = keyEquivalent.mid(position);
    if (keyText.isEmpty())
        return nullptr;
    const auto keyCode = table.keyCode(keyText);
    if (!keyCode)
        return nullptr;
    return std::make_shared<KSCShortcut>(*keyCode, flags);
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
    return KeyEquivalentTable::shared()->keyCode(text);
}

QHash<QString, quint16> QRVMenuShortcut::stringsForKeyCodes(const KeyboardLayout& layout) {
    return KeyEquivalentTable::layoutEntries(&layout);
}

} // namespace qrv
