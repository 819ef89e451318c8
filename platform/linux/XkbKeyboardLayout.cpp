#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/Logging.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <xkbcommon/xkbcommon.h>

namespace qrv {

namespace {

// The XKB key name at the position of each platform key code (none where the
// platform key has no counterpart on a PC keyboard). The JIS keys are left out:
// other layouts put copies of ordinary characters there, which would shadow
// the ordinary keys in the text-to-key lookup.
constexpr std::array<const char*, KeyboardLayout::kKeyCodeCount> kXkbKeyNames = {
    "AC01",  "AC02", "AC03",  "AC04", "AC06",  "AC05",  "AB01",  "AB02",  // 0-7
    "AB03",  "AB04", "LSGT",  "AB05", "AD01",  "AD02",  "AD03",  "AD04",  // 8-15
    "AD06",  "AD05", "AE01",  "AE02", "AE03",  "AE04",  "AE06",  "AE05",  // 16-23
    "AE12",  "AE09", "AE07",  "AE11", "AE08",  "AE10",  "AD12",  "AD09",  // 24-31
    "AD07",  "AD11", "AD08",  "AD10", "RTRN",  "AC09",  "AC07",  "AC11",  // 32-39
    "AC08",  "AC10", "BKSL",  "AB08", "AB10",  "AB06",  "AB07",  "AB09",  // 40-47
    "TAB",   "SPCE", "TLDE",  "BKSP", nullptr, "ESC",   "RWIN",  "LWIN",  // 48-55
    "LFSH",  "CAPS", "LALT",  "LCTL", "RTSH",  "RALT",  "RCTL",  nullptr, // 56-63
    "FK17",  "KPDL", nullptr, "KPMU", nullptr, "KPAD",  nullptr, "NMLK",  // 64-71
    "VOL+",  "VOL-", "MUTE",  "KPDV", "KPEN",  nullptr, "KPSU",  "FK18",  // 72-79
    "FK19",  "KPEQ", "KP0",   "KP1",  "KP2",   "KP3",   "KP4",   "KP5",   // 80-87
    "KP6",   "KP7",  "FK20",  "KP8",  "KP9",   nullptr, nullptr, nullptr, // 88-95
    "FK05",  "FK06", "FK07",  "FK03", "FK08",  "FK09",  nullptr, "FK11",  // 96-103
    nullptr, "FK13", "FK16",  "FK14", nullptr, "FK10",  "COMP",  "FK12",  // 104-111
    nullptr, "FK15", "INS",   "HOME", "PGUP",  "DELE",  "FK04",  "END",   // 112-119
    "FK02",  "PGDN", "FK01",  "LEFT", "RGHT",  "DOWN",  "UP",    nullptr, // 120-127
};

// What a dead key types when it is followed by a space.
char32_t spacingFormOfDeadKey(xkb_keysym_t keysym) {
    switch (keysym) {
    case XKB_KEY_dead_grave:
        return U'`';
    case XKB_KEY_dead_acute:
        return U'\u00B4';
    case XKB_KEY_dead_circumflex:
        return U'^';
    case XKB_KEY_dead_tilde:
        return U'~';
    case XKB_KEY_dead_macron:
        return U'\u00AF';
    case XKB_KEY_dead_breve:
        return U'\u02D8';
    case XKB_KEY_dead_abovedot:
        return U'\u02D9';
    case XKB_KEY_dead_diaeresis:
        return U'\u00A8';
    case XKB_KEY_dead_abovering:
        return U'\u02DA';
    case XKB_KEY_dead_doubleacute:
        return U'\u02DD';
    case XKB_KEY_dead_caron:
        return U'\u02C7';
    case XKB_KEY_dead_cedilla:
        return U'\u00B8';
    case XKB_KEY_dead_ogonek:
        return U'\u02DB';
    case XKB_KEY_dead_iota:
        return U'\u037A';
    case XKB_KEY_dead_belowdot:
        return U'\u002E';
    case XKB_KEY_dead_hook:
        return U'\u02C0';
    case XKB_KEY_dead_stroke:
        return U'/';
    case XKB_KEY_dead_abovecomma:
        return U'\u02BC';
    case XKB_KEY_dead_abovereversedcomma:
        return U'\u02BD';
    case XKB_KEY_dead_belowcomma:
        return U',';
    case XKB_KEY_dead_currency:
        return U'\u00A4';
    case XKB_KEY_dead_greek:
        return U'\u00B5';
    default:
        return 0;
    }
}

struct XkbDeleter {
    void operator()(xkb_context* p) const { xkb_context_unref(p); }
    void operator()(xkb_keymap* p) const { xkb_keymap_unref(p); }
    void operator()(xkb_state* p) const { xkb_state_unref(p); }
};
template <typename T> using XkbPtr = std::unique_ptr<T, XkbDeleter>;

QString textOfKey(xkb_state* state, xkb_keycode_t key) {
    char buffer[64];
    const int length = xkb_state_key_get_utf8(state, key, buffer, sizeof buffer);
    if (length > 0 && length < int(sizeof buffer))
        return QString::fromUtf8(buffer, length);
    if (const char32_t spacing = spacingFormOfDeadKey(xkb_state_key_get_one_sym(state, key)))
        return QString::fromUcs4(&spacing, 1);
    return {};
}

// KEY="value" lines of a shell-style configuration file.
QString configValue(const QString& contents, const QString& key) {
    const QRegularExpression line(QStringLiteral("^\\s*%1\\s*=\\s*\"?([^\"\\n]*)\"?\\s*$").arg(key),
                                  QRegularExpression::MultilineOption);
    return line.match(contents).captured(1).trimmed();
}

QString firstOfList(const QString& list) {
    return list.section(QLatin1Char(','), 0, 0).trimmed();
}

} // namespace

XkbKeyboardLayout::Names XkbKeyboardLayout::userLayoutNames() {
    Names names{qEnvironmentVariable("XKB_DEFAULT_LAYOUT"),
                qEnvironmentVariable("XKB_DEFAULT_VARIANT")};
    if (names.layout.isEmpty()) {
        QFile config(QStringLiteral("/etc/default/keyboard"));
        if (config.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QString contents = QString::fromUtf8(config.readAll());
            names = {configValue(contents, QStringLiteral("XKBLAYOUT")),
                     configValue(contents, QStringLiteral("XKBVARIANT"))};
        }
    }
    if (names.layout.isEmpty())
        names = {QStringLiteral("us"), QString()};
    // Several configured layouts: the first is the one in force at start.
    return {firstOfList(names.layout), firstOfList(names.variant)};
}

Result<std::unique_ptr<XkbKeyboardLayout>> XkbKeyboardLayout::create(const Names& names) {
    auto describe = [&] {
        return names.variant.isEmpty() ? names.layout
                                       : QStringLiteral("%1(%2)").arg(names.layout, names.variant);
    };
    // Everything is named explicitly, so the environment cannot slip a variant
    // of another layout into the one asked for.
    XkbPtr<xkb_context> context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context)
        return makeError(QCoreApplication::translate(
            "KeyboardLayout", "The keyboard layout services are not available."));
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    const QByteArray layout = names.layout.toUtf8();
    const QByteArray variant = names.variant.toUtf8();
    xkb_rule_names ruleNames{};
    ruleNames.rules = "evdev";
    ruleNames.model = "pc105";
    ruleNames.layout = layout.constData();
    ruleNames.variant = variant.constData();
    ruleNames.options = "";
    XkbPtr<xkb_keymap> keymap(
        xkb_keymap_new_from_names(context.get(), &ruleNames, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (names.layout.isEmpty() || !keymap)
        return makeError(
            QCoreApplication::translate("KeyboardLayout", "The keyboard layout “%1” is not known.")
                .arg(describe()));
    XkbPtr<xkb_state> state(xkb_state_new(keymap.get()));
    if (!state)
        return makeError(QCoreApplication::translate(
                             "KeyboardLayout", "The keyboard layout “%1” could not be loaded.")
                             .arg(describe()));
    const xkb_mod_index_t numLock = xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_NUM);
    if (numLock != XKB_MOD_INVALID)
        xkb_state_update_mask(state.get(), 0, 0, xkb_mod_mask_t(1) << numLock, 0, 0, 0);

    std::unique_ptr<XkbKeyboardLayout> result(new XkbKeyboardLayout);
    for (int keyCode = 0; keyCode < kKeyCodeCount; ++keyCode) {
        if (!kXkbKeyNames[keyCode])
            continue;
        const xkb_keycode_t key = xkb_keymap_key_by_name(keymap.get(), kXkbKeyNames[keyCode]);
        if (key == XKB_KEYCODE_INVALID)
            continue;
        result->m_texts[keyCode] = textOfKey(state.get(), key);
        result->m_keyCodesByScanCode.insert(key, quint16(keyCode));
    }
    result->m_inputSourceId =
        QStringLiteral("org.freedesktop.xkb.") + names.layout +
        (names.variant.isEmpty() ? QString() : QLatin1Char('.') + names.variant);
    const char* name = xkb_keymap_layout_get_name(keymap.get(), 0);
    result->m_localizedName = name ? QString::fromUtf8(name) : describe();
    return result;
}

QString XkbKeyboardLayout::translate(quint16 keyCode) const {
    return keyCode < kKeyCodeCount ? m_texts[keyCode] : QString();
}

std::optional<quint16> XkbKeyboardLayout::keyCodeForScanCode(quint32 nativeScanCode) const {
    const auto it = m_keyCodesByScanCode.constFind(nativeScanCode);
    if (it == m_keyCodesByScanCode.constEnd())
        return std::nullopt;
    return *it;
}

} // namespace qrv
