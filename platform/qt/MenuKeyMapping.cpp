#include "platform/qt/MenuKeyMapping.h"

#include "platform/Accessibility.h"

#include <QHash>
#include <array>

namespace qrv {

namespace {

// The platform's menu glyph numbers for keys that have no character. Home,
// Help and forward delete keep the platform's own numbers even where the
// menu tree's glyph table has no (or another) character for them.
const QHash<int, int>& glyphs() {
    static const QHash<int, int> table = [] {
        QHash<int, int> t{
            {Qt::Key_Tab, 2},        {Qt::Key_Backtab, 3}, {Qt::Key_Space, 9},
            {Qt::Key_Return, 11},    {Qt::Key_Enter, 11},  {Qt::Key_Delete, 10},
            {Qt::Key_Backspace, 23}, {Qt::Key_Escape, 27}, {Qt::Key_Clear, 28},
            {Qt::Key_PageUp, 98},    {Qt::Key_Left, 100},  {Qt::Key_Right, 101},
            {Qt::Key_Home, 102},     {Qt::Key_Help, 103},  {Qt::Key_Up, 104},
            {Qt::Key_End, 105},      {Qt::Key_Down, 106},  {Qt::Key_PageDown, 107},
        };
        for (int n = 0; n < 20; ++n)
            t.insert(Qt::Key_F1 + n, 111 + n);
        return t;
    }();
    return table;
}

} // namespace

std::optional<MenuKeyAttributes> menuKeyAttributes(QKeyCombination combination) {
    const int key = combination.key();
    if (key == 0 || key == Qt::Key_unknown)
        return std::nullopt;
    MenuKeyAttributes attributes;
    if (const auto glyph = glyphs().constFind(key); glyph != glyphs().constEnd())
        attributes.glyph = *glyph;
    else if (key < Qt::Key_Escape) // below the function-key range, Qt's key is the character
        attributes.character = QString::fromUcs4(std::array{char32_t(key)}.data(), 1);
    else
        return std::nullopt; // a media or modifier key: nothing a menu can show

    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (!modifiers.testFlag(Qt::ControlModifier))
        attributes.modifiers |= ax::kNoCommandModifier;
    if (modifiers.testFlag(Qt::AltModifier))
        attributes.modifiers |= ax::kOptionModifier;
    if (modifiers.testFlag(Qt::MetaModifier))
        attributes.modifiers |= ax::kControlModifier;
    if (modifiers.testFlag(Qt::ShiftModifier))
        attributes.modifiers |= ax::kShiftModifier;
    return attributes;
}

AccessibilityResult<AccessibilityValue>
menuKeyAttributeValue(const std::optional<MenuKeyAttributes>& key, const QString& attribute) {
    using Answer = AccessibilityResult<AccessibilityValue>;
    if (!key)
        return ax::Error::kNoValue;
    if (attribute == ax::kMenuItemCmdModifiers)
        return AccessibilityValue(double(key->modifiers));
    if (attribute == ax::kMenuItemCmdGlyph)
        return key->glyph ? Answer(AccessibilityValue(double(*key->glyph)))
                          : Answer(ax::Error::kNoValue);
    return key->glyph ? Answer(ax::Error::kNoValue) : Answer(AccessibilityValue(key->character));
}

} // namespace qrv
