#include "model/KSCShortcut.h"

#include "model/KeyCodes.h"
#include "platform/KeyboardLayout.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <atomic>

namespace qrv {

namespace {

std::atomic<bool> g_allowsAnyHotkeyWithOptionModifier{false};
std::atomic<bool> g_allowsSpaceAndEscapeWithNoModifiers{false};

// Keys whose name does not depend on the layout. Null for every other key.
QString fixedKeyName(quint64 keyCode) {
    using namespace keycodes;
    if (const auto number = functionKeyNumber(keyCode))
        return QStringLiteral("F%1").arg(*number);
    if (keyCode >= 82 && keyCode <= 89) // keypad 0-7
        return QString(QChar(char16_t(u'0' + (keyCode - 82))));
    switch (keyCode) {
    case kReturn:
        return QStringLiteral(u"\u21A9");
    case kTab:
        return QStringLiteral(u"\u21E5");
    case kSpace:
        return QCoreApplication::translate("KSCShortcut", "Space");
    case kDelete:
        return QStringLiteral(u"\u232B");
    case kEscape:
        return QStringLiteral(u"\u238B");
    case 65:
        return QStringLiteral(".");
    case 67:
        return QStringLiteral("*");
    case 69:
        return QStringLiteral("+");
    case kKeypadClear:
        return QStringLiteral(u"\u2327");
    case 75:
        return QStringLiteral("/");
    case 76:
        return QStringLiteral(u"\u2305"); // keypad Enter
    case kKeypadMinus:
        return QStringLiteral(u"\u2013");
    case 81:
        return QStringLiteral("=");
    case 91:
        return QStringLiteral("8");
    case 92:
        return QStringLiteral("9");
    case kHelp:
        return QStringLiteral("?");
    case kHome:
        return QStringLiteral(u"\u2196");
    case kPageUp:
        return QStringLiteral(u"\u21DE");
    case kForwardDelete:
        return QStringLiteral(u"\u2326");
    case kEnd:
        return QStringLiteral(u"\u2198");
    case kPageDown:
        return QStringLiteral(u"\u21DF");
    case kLeftArrow:
        return QStringLiteral(u"\u2190");
    case kRightArrow:
        return QStringLiteral(u"\u2192");
    case kDownArrow:
        return QStringLiteral(u"\u2193");
    case kUpArrow:
        return QStringLiteral(u"\u2191");
    default:
        return {};
    }
}

// Letters, marks, digits, punctuation and symbols: the characters a key name
// may be drawn with. Control characters and spaces are not.
bool isDrawable(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Number_DecimalDigit:
        case QChar::Number_Letter:
        case QChar::Number_Other:
        case QChar::Letter_Uppercase:
        case QChar::Letter_Lowercase:
        case QChar::Letter_Titlecase:
        case QChar::Letter_Modifier:
        case QChar::Letter_Other:
        case QChar::Punctuation_Connector:
        case QChar::Punctuation_Dash:
        case QChar::Punctuation_Open:
        case QChar::Punctuation_Close:
        case QChar::Punctuation_InitialQuote:
        case QChar::Punctuation_FinalQuote:
        case QChar::Punctuation_Other:
        case QChar::Symbol_Math:
        case QChar::Symbol_Currency:
        case QChar::Symbol_Modifier:
        case QChar::Symbol_Other:
            break;
        default:
            return false;
        }
    }
    return true;
}

} // namespace

KSCShortcut::KSCShortcut(quint64 keyCode, quint64 modifierFlags)
    : m_keyCode(keyCode)
    , m_modifierFlags(modifierFlags & kModifierMask) {}

KSCShortcutPtr KSCShortcut::shortcutWithEvent(quint16 keyCode, quint64 modifierFlags) {
    return std::make_shared<KSCShortcut>(keyCode, modifierFlags);
}

KSCShortcutPtr KSCShortcut::shortcutWithEvent(const QKeyEvent& event) {
    const KeyboardLayout* layout = platform().keyboardLayout;
    const auto keyCode = layout ? layout->keyCodeForScanCode(event.nativeScanCode()) : std::nullopt;
    if (!keyCode)
        return nullptr;
    return shortcutWithEvent(*keyCode, modifierFlagsFromQt(event.modifiers()));
}

quint64 KSCShortcut::modifierFlagsFromQt(Qt::KeyboardModifiers modifiers) {
    quint64 flags = 0;
    if (modifiers & Qt::ControlModifier)
        flags |= Command;
    if (modifiers & Qt::AltModifier)
        flags |= Option;
    if (modifiers & Qt::MetaModifier)
        flags |= Control;
    if (modifiers & Qt::ShiftModifier)
        flags |= Shift;
    return flags;
}

QString KSCShortcut::keyCodeString() const {
    if (m_keyCode == kNoKey)
        return {};
    if (QString name = fixedKeyName(m_keyCode); !name.isNull())
        return name;
    const KeyboardLayout* layout = platform().keyboardLayout;
    if (!layout || m_keyCode >= KeyboardLayout::kKeyCodeCount)
        return {};
    const QString text = layout->translate(quint16(m_keyCode));
    return isDrawable(text) ? text.toUpper() : QString();
}

QString KSCShortcut::keyCodeStringForKeyEquivalent() const {
    const QString name = keyCodeString();
    if (name.size() < 2)
        return name.toLower();
    if (m_keyCode == keycodes::kSpace)
        return QStringLiteral(" ");
    if (const auto number = keycodes::functionKeyNumber(m_keyCode))
        return QString(QChar(char16_t(keycodes::kFunctionKeyCharacterF1 + *number - 1)));
    return {};
}

QString KSCShortcut::modifierFlagsString() const {
    QString glyphs;
    if (m_modifierFlags & Control)
        glyphs += QChar(0x2303);
    if (m_modifierFlags & Option)
        glyphs += QChar(0x2325);
    if (m_modifierFlags & Shift)
        glyphs += QChar(0x21E7);
    if (m_modifierFlags & Command)
        glyphs += QChar(0x2318);
    return glyphs;
}

quint32 KSCShortcut::carbonFlags() const {
    quint32 carbon = 0;
    if (m_modifierFlags & Command)
        carbon |= 0x100;
    if (m_modifierFlags & Option)
        carbon |= 0x800;
    if (m_modifierFlags & Control)
        carbon |= 0x1000;
    if (m_modifierFlags & Shift)
        carbon |= 0x200;
    return carbon;
}

bool KSCShortcut::isValid() const {
    if (keycodes::functionKeyNumber(m_keyCode))
        return true;
    const bool spaceOrEscape = m_keyCode == keycodes::kSpace || m_keyCode == keycodes::kEscape;
    if (m_modifierFlags != 0) {
        if (m_modifierFlags & (Command | Control))
            return true;
        if (m_modifierFlags & Option)
            return spaceOrEscape || allowsAnyHotkeyWithOptionModifier();
        return false;
    }
    return allowsSpaceAndEscapeWithNoModifiers() && spaceOrEscape;
}

bool KSCShortcut::allowsAnyHotkeyWithOptionModifier() {
    return g_allowsAnyHotkeyWithOptionModifier;
}
void KSCShortcut::setAllowsAnyHotkeyWithOptionModifier(bool allows) {
    g_allowsAnyHotkeyWithOptionModifier = allows;
}
bool KSCShortcut::allowsSpaceAndEscapeWithNoModifiers() {
    return g_allowsSpaceAndEscapeWithNoModifiers;
}
void KSCShortcut::setAllowsSpaceAndEscapeWithNoModifiers(bool allows) {
    g_allowsSpaceAndEscapeWithNoModifiers = allows;
}

QVariantMap KSCShortcut::archive() const {
    return {{QStringLiteral("KeyCode"), m_keyCode == kNoKey ? qint64(-1) : qint64(m_keyCode)},
            {QStringLiteral("ModifierFlags"), qint64(m_modifierFlags)}};
}

KSCShortcutPtr KSCShortcut::fromArchive(const QVariant& archived) {
    if (archived.typeId() != QMetaType::QVariantMap)
        return nullptr;
    const QVariantMap map = archived.toMap();
    // An absent key decodes as 0, as the platform's coder does; any other type
    // than an integer is not trusted.
    auto integer = [&](const QString& key) -> std::optional<qint64> {
        const QVariant value = map.value(key, qint64(0));
        if (value.typeId() != QMetaType::LongLong && value.typeId() != QMetaType::ULongLong &&
            value.typeId() != QMetaType::Int)
            return std::nullopt;
        return value.toLongLong();
    };
    const auto keyCode = integer(QStringLiteral("KeyCode"));
    const auto flags = integer(QStringLiteral("ModifierFlags"));
    if (!keyCode || !flags)
        return nullptr;
    return std::make_shared<KSCShortcut>(*keyCode < 0 ? kNoKey : quint64(*keyCode),
                                         quint64(*flags));
}

} // namespace qrv
