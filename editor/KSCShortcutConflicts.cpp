#include "editor/KSCShortcutConflicts.h"

#include "editor/KSCKeyEvents.h"
#include "editor/QRVRecorderReplacements.h"
#include "platform/HotKeys.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QWidget>

namespace qrv {

namespace {

// A menu title as shown, without the mnemonic marks ("&Save" -> "Save", "&&" -> "&").
QString plainTitle(const QAction& action) {
    QString title;
    const QString text = action.text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        title += text.at(i);
    }
    return title;
}

bool originalIsTakenError(const KSCShortcut& shortcut, const KSCConflictSources& sources,
                          QString* error) {
    // A table that cannot be read skips the system-wide test only.
    if (const auto hotKeys = sources.hotKeys.copySymbolicHotKeys()) {
        for (const SymbolicHotKey& hotKey : *hotKeys) {
            if (hotKey.keyCode == shortcut.keyCode() &&
                hotKey.carbonModifiers == shortcut.carbonFlags() && hotKey.enabled) {
                if (error)
                    *error = QCoreApplication::translate(
                        "KSCShortcut",
                        "This combination cannot be used because it is already used by a "
                        "system-wide keyboard shortcut.\nIf you really want to use this key "
                        "combination, most shortcuts can be changed in the Keyboard panel in "
                        "System Settings.");
                return true;
            }
        }
    }
    return kscShortcutClass().send(kscshortcut::isKeyEquivalentTakenInMenu, shortcut,
                                   shortcut.keyCodeStringForKeyEquivalent(),
                                   shortcut.modifierFlags(), sources.mainMenu, error);
}

bool originalIsKeyEquivalentTakenInMenu(const KSCShortcut& shortcut, const QString& candidate,
                                        quint64 flags, const QWidget* menu, QString* error) {
    // A key without key text matches nothing, not every item without a shortcut.
    if (!menu || candidate.isEmpty())
        return false;
    for (const QAction* action : menu->actions()) {
        if (const QMenu* submenu = action->menu())
            if (kscShortcutClass().send(kscshortcut::isKeyEquivalentTakenInMenu, shortcut,
                                        candidate, flags, submenu, error))
                return true;
        for (const QKeySequence& sequence : action->shortcuts()) {
            if (sequence.count() != 1)
                continue; // a chord of several keys is not a key equivalent
            const auto item = keyEquivalentOfQtShortcut(sequence[0]);
            if (!item)
                continue;
            const auto itemFlags =
                menuItemFlagsMatchingCandidate(item->keyEquivalent, item->modifierFlags, candidate);
            if (itemFlags && *itemFlags == flags) {
                if (error)
                    *error = QCoreApplication::translate("KSCShortcut",
                                                         "This shortcut cannot be used because "
                                                         "it is already used by the menu item "
                                                         "‘%1’.")
                                 .arg(plainTitle(*action));
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::optional<quint64> menuItemFlagsMatchingCandidate(const QString& itemKeyEquivalent,
                                                      quint64 itemModifierMask,
                                                      const QString& candidate) {
    if (itemKeyEquivalent.isEmpty() || itemKeyEquivalent.toLower() != candidate)
        return std::nullopt;
    if (itemKeyEquivalent == candidate)
        return itemModifierMask & KSCShortcut::kModifierMask;
    return itemModifierMask | KSCShortcut::Shift;
}

BWClass& kscShortcutClass() {
    static BWClass& shortcutClass = []() -> BWClass& {
        BWClass& c = BWClass::named("KSCShortcut");
        c.addMethod(kscshortcut::isTakenError, &originalIsTakenError);
        c.addMethod(kscshortcut::isKeyEquivalentTakenInMenu, &originalIsKeyEquivalentTakenInMenu);
        installShortcutConflictReplacements(c);
        return c;
    }();
    return shortcutClass;
}

bool isShortcutTaken(const KSCShortcut& shortcut, const KSCConflictSources& sources,
                     QString* error) {
    return kscShortcutClass().send(kscshortcut::isTakenError, shortcut, sources, error);
}

} // namespace qrv
