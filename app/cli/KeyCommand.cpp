// quorvane-cli key: how a key-equivalent string or a key code reads, shows and
// writes back on a keyboard layout.
#include "CliCommand.h"
#include "CliText.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Platform.h"
#include "platform/linux/XkbKeyboardLayout.h"

namespace qrv::cli {
namespace {

struct KeyArguments {
    XkbKeyboardLayout::Names layout = XkbKeyboardLayout::userLayoutNames();
    std::optional<quint16> keyCode;
    quint64 modifierFlags = 0;
    QString keyEquivalent;
};

std::optional<quint64> parseModifiers(const QString& list) {
    static const QHash<QString, quint64> kNames = {
        {QStringLiteral("cmd"), KSCShortcut::Command},
        {QStringLiteral("command"), KSCShortcut::Command},
        {QStringLiteral("opt"), KSCShortcut::Option},
        {QStringLiteral("option"), KSCShortcut::Option},
        {QStringLiteral("alt"), KSCShortcut::Option},
        {QStringLiteral("ctrl"), KSCShortcut::Control},
        {QStringLiteral("control"), KSCShortcut::Control},
        {QStringLiteral("shift"), KSCShortcut::Shift},
    };
    quint64 flags = 0;
    for (const QString& name : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto it = kNames.constFind(name.trimmed().toLower());
        if (it == kNames.constEnd())
            return std::nullopt;
        flags |= *it;
    }
    return flags;
}

// Null with a message on err when the arguments are not usable.
std::optional<KeyArguments> parse(CliContext& context) {
    KeyArguments parsed;
    std::optional<QString> keyEquivalent;
    std::optional<quint64> modifiers;
    const QStringList& args = context.arguments;
    auto fail = [&](const QString& message) {
        context.err << "quorvane-cli key: " << message << '\n';
        return std::nullopt;
    };
    QString layoutName, variant;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const bool takesValue =
            arg == QLatin1String("--layout") || arg == QLatin1String("--variant") ||
            arg == QLatin1String("--code") || arg == QLatin1String("--modifiers");
        if (takesValue && i + 1 >= args.size())
            return fail(QStringLiteral("%1 needs a value").arg(arg));
        if (arg == QLatin1String("--layout")) {
            layoutName = args.at(++i);
        } else if (arg == QLatin1String("--variant")) {
            variant = args.at(++i);
        } else if (arg == QLatin1String("--code")) {
            bool ok = false;
            const uint code = args.at(++i).toUInt(&ok);
            if (!ok || code > 127)
                return fail(QStringLiteral("--code takes a key code from 0 to 127"));
            parsed.keyCode = quint16(code);
        } else if (arg == QLatin1String("--modifiers")) {
            modifiers = parseModifiers(args.at(++i));
            if (!modifiers)
                return fail(QStringLiteral("--modifiers takes a list of cmd, opt, ctrl and shift"));
        } else if (keyEquivalent || (arg.startsWith(QLatin1String("--")) && arg.size() > 2)) {
            return fail(QStringLiteral("unexpected argument “%1”").arg(arg));
        } else {
            auto unescaped = unescapeArgument(arg);
            if (!unescaped)
                return fail(unescaped.error());
            keyEquivalent = std::move(unescaped).value();
        }
    }
    if (parsed.keyCode.has_value() == keyEquivalent.has_value())
        return fail(QStringLiteral("give either a key-equivalent string or --code"));
    if (modifiers && !parsed.keyCode)
        return fail(QStringLiteral("--modifiers goes with --code"));
    if (!variant.isEmpty() && layoutName.isEmpty())
        return fail(QStringLiteral("--variant goes with --layout"));
    if (!layoutName.isEmpty())
        parsed.layout = {layoutName, variant};
    parsed.modifierFlags = modifiers.value_or(0);
    parsed.keyEquivalent = keyEquivalent.value_or(QString());
    return parsed;
}

int run(CliContext& context) {
    const auto parsed = parse(context);
    if (!parsed)
        return kExitUsage;
    auto layout = XkbKeyboardLayout::create(parsed->layout);
    if (!layout) {
        context.err << "quorvane-cli key: " << layout.error() << '\n';
        return kExitUsage;
    }
    PlatformServices services = platform();
    services.keyboardLayout = layout->get();
    ScopedPlatform scoped(services);
    // Judge validity as this program's recorder does.
    KSCShortcut::setAllowsAnyHotkeyWithOptionModifier(true);
    KSCShortcut::setAllowsSpaceAndEscapeWithNoModifiers(true);

    const KSCShortcutPtr shortcut =
        parsed->keyCode ? KSCShortcut::shortcutWithEvent(*parsed->keyCode, parsed->modifierFlags)
                        : QRVMenuShortcut::shortcutFromKeyEquivalent(parsed->keyEquivalent);
    if (!shortcut) {
        context.out << "keyCode=none\n";
        return kExitFailed;
    }
    const QString written = QRVMenuShortcut::keyEquivalentFromShortcut(shortcut.get());
    context.out << "keyCode=" << shortcut->keyCode() << '\n'
                << "modifierFlags=0x" << QString::number(shortcut->modifierFlags(), 16).toUpper()
                << '\n'
                << "display=" << shortcut->description() << '\n'
                << "written="
                << (written.isNull() ? QStringLiteral("none") : escapeForDisplay(written)) << '\n'
                << "valid=" << (shortcut->isValid() ? "yes" : "no") << '\n';
    return kExitOk;
}

} // namespace
} // namespace qrv::cli

QRV_CLI_COMMAND(
    key,
    {QStringLiteral("key"),
     QStringLiteral(
         "[--layout L [--variant V]] (KEY-EQUIVALENT | --code N [--modifiers cmd,opt,ctrl,shift])"),
     QStringLiteral(
         "reads a key-equivalent string (or a key code) and shows how it reads and writes back"),
     false, &qrv::cli::run,
     QStringLiteral(
         "  KEY-EQUIVALENT   modifier characters (@ Command, ~ Option, ^ Control, $ Shift) and "
         "one key; \\uXXXX stands for a character (\\uF704 is F1)\n"
         "  --code N         a virtual key code from 0 to 127 instead\n"
         "  --modifiers      with --code: a comma-separated list of cmd, opt, ctrl and shift\n"
         "  --layout L       the keyboard layout (an XKB name such as de), else the user's\n"
         "  --variant V      with --layout: its variant (nodeadkeys)\n\n"
         "Prints keyCode, modifierFlags, display (as menus show it), written (the string "
         "written back, or none) and valid (whether the recorder accepts it)."),
     QStringLiteral("KEY-EQUIVALENT names no key on the layout (keyCode=none is printed)")})
