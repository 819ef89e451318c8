#include "platform/linux/AtspiKeyBinding.h"

#include <QHash>
#include <QKeySequence>
#include <xkbcommon/xkbcommon.h>

namespace qrv::atspi {

namespace {

// GTK's modifier names; Primary is Control on this platform.
std::optional<Qt::KeyboardModifier> gtkModifier(QStringView name) {
    const QString lower = name.toString().toLower();
    if (lower == u"control" || lower == u"ctrl" || lower == u"ctl" || lower == u"primary")
        return Qt::ControlModifier;
    if (lower == u"shift" || lower == u"shft")
        return Qt::ShiftModifier;
    if (lower == u"alt" || lower == u"mod1")
        return Qt::AltModifier;
    if (lower == u"super" || lower == u"meta" || lower == u"hyper" || lower == u"mod4")
        return Qt::MetaModifier;
    return std::nullopt;
}

// Keys without a character of their own, by keysym.
const QHash<xkb_keysym_t, Qt::Key>& namedKeys() {
    static const QHash<xkb_keysym_t, Qt::Key> table = [] {
        QHash<xkb_keysym_t, Qt::Key> t{
            {XKB_KEY_Return, Qt::Key_Return},
            {XKB_KEY_KP_Enter, Qt::Key_Enter},
            {XKB_KEY_Tab, Qt::Key_Tab},
            {XKB_KEY_ISO_Left_Tab, Qt::Key_Backtab},
            {XKB_KEY_BackSpace, Qt::Key_Backspace},
            {XKB_KEY_Delete, Qt::Key_Delete},
            {XKB_KEY_KP_Delete, Qt::Key_Delete},
            {XKB_KEY_Escape, Qt::Key_Escape},
            {XKB_KEY_Left, Qt::Key_Left},
            {XKB_KEY_KP_Left, Qt::Key_Left},
            {XKB_KEY_Right, Qt::Key_Right},
            {XKB_KEY_KP_Right, Qt::Key_Right},
            {XKB_KEY_Up, Qt::Key_Up},
            {XKB_KEY_KP_Up, Qt::Key_Up},
            {XKB_KEY_Down, Qt::Key_Down},
            {XKB_KEY_KP_Down, Qt::Key_Down},
            {XKB_KEY_Home, Qt::Key_Home},
            {XKB_KEY_KP_Home, Qt::Key_Home},
            {XKB_KEY_End, Qt::Key_End},
            {XKB_KEY_KP_End, Qt::Key_End},
            {XKB_KEY_Page_Up, Qt::Key_PageUp},
            {XKB_KEY_KP_Page_Up, Qt::Key_PageUp},
            {XKB_KEY_Page_Down, Qt::Key_PageDown},
            {XKB_KEY_KP_Page_Down, Qt::Key_PageDown},
            {XKB_KEY_Help, Qt::Key_Help},
            {XKB_KEY_Clear, Qt::Key_Clear},
            {XKB_KEY_Insert, Qt::Key_Insert},
            {XKB_KEY_space, Qt::Key_Space},
            {XKB_KEY_KP_Space, Qt::Key_Space},
        };
        for (int n = 0; n < 20; ++n)
            t.insert(XKB_KEY_F1 + xkb_keysym_t(n), Qt::Key(Qt::Key_F1 + n));
        return t;
    }();
    return table;
}

std::optional<QKeyCombination> parseGtk(const QString& text) {
    Qt::KeyboardModifiers modifiers;
    qsizetype at = 0;
    while (at < text.size() && text.at(at) == u'<') {
        const qsizetype close = text.indexOf(u'>', at);
        if (close < 0)
            return std::nullopt;
        const auto modifier = gtkModifier(QStringView(text).mid(at + 1, close - at - 1));
        if (!modifier)
            return std::nullopt;
        modifiers |= *modifier;
        at = close + 1;
    }
    const QString name = text.mid(at);
    if (name.isEmpty())
        return std::nullopt;
    const xkb_keysym_t keysym =
        xkb_keysym_from_name(name.toUtf8().constData(), XKB_KEYSYM_NO_FLAGS);
    if (keysym == XKB_KEY_NoSymbol)
        return std::nullopt;
    if (const auto named = namedKeys().constFind(keysym); named != namedKeys().constEnd())
        return QKeyCombination(modifiers, *named);
    const char32_t character = xkb_keysym_to_utf32(xkb_keysym_to_upper(keysym));
    if (character < 0x20 || character == 0x7F)
        return std::nullopt; // a modifier or another key without a character
    return QKeyCombination(modifiers, Qt::Key(character));
}

std::optional<QKeyCombination> parseQt(const QString& text) {
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.count() != 1)
        return std::nullopt;
    const QKeyCombination combination = sequence[0];
    const int key = combination.key();
    if (key == 0 || key == Qt::Key_unknown || (key >= Qt::Key_Shift && key <= Qt::Key_Meta))
        return std::nullopt;
    return combination;
}

} // namespace

std::optional<QKeyCombination> parseKeyBinding(const QString& binding) {
    QString text = binding.trimmed();
    // ATK's three fields: "mnemonic;sequence;accelerator". A Qt binding may
    // itself end in ";" (Ctrl+;), which never gives three fields.
    const QStringList fields = text.split(u';');
    if (fields.size() == 3)
        text = fields.at(2).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    return text.startsWith(u'<') ? parseGtk(text) : parseQt(text);
}

} // namespace qrv::atspi
