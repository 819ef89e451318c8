// quorvane-cli list / set / remove / registered: the user key-equivalent store
// of the preferences home, through the same code as the editor.
#include "CliApplication.h"
#include "CliCommand.h"
#include "CliText.h"
#include "model/QRVAplication.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Platform.h"
#include "platform/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

namespace qrv::cli {
namespace {

struct StoreArguments {
    QStringList positional;
    bool json = false;
    bool path = false;
};

// Flags anywhere; "--" ends them, so a title may look like one.
std::optional<StoreArguments> parse(CliContext& context, const QString& command,
                                    QStringList allowedFlags, qsizetype count) {
    StoreArguments parsed;
    bool flagsEnded = false;
    for (const QString& arg : context.arguments) {
        if (!flagsEnded && arg == QLatin1String("--")) {
            flagsEnded = true;
        } else if (!flagsEnded && arg.startsWith(QLatin1String("--"))) {
            if (!allowedFlags.contains(arg)) {
                context.err << "quorvane-cli " << command << ": unknown option “" << arg << "”\n";
                return std::nullopt;
            }
            (arg == QLatin1String("--json") ? parsed.json : parsed.path) = true;
        } else {
            parsed.positional.append(arg);
        }
    }
    if (parsed.positional.size() != count) {
        context.err
            << "quorvane-cli " << command << ": "
            << tr("expected %1 argument(s), got %2").arg(count).arg(parsed.positional.size())
            << '\n';
        return std::nullopt;
    }
    if (count > 0 && parsed.positional.first().isEmpty()) {
        context.err << "quorvane-cli " << command
                    << ": APP is a bundle identifier, or -g for all applications\n";
        return std::nullopt;
    }
    return parsed;
}

// The title as stored: escapes replaced, and with --path, "File→Open Recent→Clear
// Menu" as ESC File ESC Open Recent ESC Clear Menu.
std::optional<QString> storedTitle(CliContext& context, const QString& command,
                                   const QString& argument, bool path) {
    auto unescaped = unescapeArgument(argument);
    if (!unescaped) {
        context.err << "quorvane-cli " << command << ": TITLE: " << unescaped.error() << '\n';
        return std::nullopt;
    }
    QString title = std::move(unescaped).value();
    if (!path)
        return title;
    title.replace(QRVMenuShortcut::kDisplayPathSeparator, QRVMenuShortcut::kPathSeparator);
    return QRVMenuShortcut::kPathSeparator + title;
}

// KEY as stored: "" for no key, else a key-equivalent string that names a key
// on the keyboard layout. Stored as given, not rewritten ($@s stays $@s).
std::optional<QString> storedKey(CliContext& context, const QString& argument) {
    auto unescaped = unescapeArgument(argument);
    if (!unescaped) {
        context.err << "quorvane-cli set: KEY: " << unescaped.error() << '\n';
        return std::nullopt;
    }
    const QString key = std::move(unescaped).value();
    if (key.isEmpty())
        return QString();
    if (QRVMenuShortcut::shortcutFromKeyEquivalent(key))
        return key;
    const auto parts = QRVMenuShortcut::keyEquivalentParts(key);
    context.err << "quorvane-cli set: "
                << (parts.keyText.isEmpty()
                        ? tr("KEY “%1” has modifier characters but no key after them")
                              .arg(quotedForMessage(key))
                        : tr("KEY “%1” does not name a key: “%2” is no key of the keyboard layout")
                              .arg(quotedForMessage(key), quotedForMessage(parts.keyText)))
                << '\n'
                << tr("(a key equivalent is the modifier characters @ for Command, ~ for Option, ^ "
                      "for Control and $ for Shift, then one key: @$s, ^\\uF704 for Control-F1; "
                      "quorvane-cli key shows how one reads)")
                << '\n';
    return std::nullopt;
}

QString humanForm(const QRVMenuShortcut& shortcut) {
    const KSCShortcutPtr key = shortcut.shortcut();
    return key ? key->modifierFlagsString() + key->keyCodeString() : QString();
}

int list(CliContext& context) {
    const auto args = parse(context, QStringLiteral("list"), {QStringLiteral("--json")}, 1);
    if (!args)
        return kExitUsage;
    const auto read =
        QRVMenuShortcut::readMenuShortcuts(applicationFromArgument(args->positional.first()));
    if (!read) {
        context.err << "quorvane-cli list: " << escapeForDisplay(read.error()) << '\n';
        return kExitFailed;
    }
    const QList<QRVMenuShortcutPtr>& shortcuts = *read;
    if (args->json) {
        QJsonArray array;
        for (const QRVMenuShortcutPtr& shortcut : shortcuts)
            array.append(QJsonObject{
                {QStringLiteral("title"), shortcut->title()},
                {QStringLiteral("keyEquivalent"), shortcut->keyEquivalent().isNull()
                                                      ? QJsonValue()
                                                      : QJsonValue(shortcut->keyEquivalent())},
                {QStringLiteral("shortcut"), humanForm(*shortcut)},
            });
        context.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return kExitOk;
    }
    // A title may hold a tab or a line break; escaped, every record stays one line.
    for (const QRVMenuShortcutPtr& shortcut : shortcuts)
        context.out << escapeForDisplay(shortcut->beautifiedTitle()) << '\t'
                    << escapeForDisplay(shortcut->keyEquivalent()) << '\t' << humanForm(*shortcut)
                    << '\n';
    return kExitOk;
}

// Edits the table as it is on disk, under its lock: another process's set or
// remove between our read and our write is never lost.
int update(CliContext& context, const QString& command, const QRVAplication& app,
           const std::function<void(QList<QRVMenuShortcutPtr>&)>& edit) {
    QString problem;
    if (QRVMenuShortcut::updateMenuShortcuts(app, edit, &problem))
        return kExitOk;
    context.err << "quorvane-cli " << command << ": " << problem << '\n';
    return kExitFailed;
}

int set(CliContext& context) {
    const auto args = parse(context, QStringLiteral("set"), {QStringLiteral("--path")}, 3);
    if (!args)
        return kExitUsage;
    const QRVAplication app = applicationFromArgument(args->positional.at(0));
    const auto title =
        storedTitle(context, QStringLiteral("set"), args->positional.at(1), args->path);
    const auto keyEquivalent = title ? storedKey(context, args->positional.at(2)) : std::nullopt;
    if (!keyEquivalent)
        return kExitUsage;
    return update(context, QStringLiteral("set"), app, [&](QList<QRVMenuShortcutPtr>& shortcuts) {
        const auto existing =
            std::find_if(shortcuts.begin(), shortcuts.end(),
                         [&](const QRVMenuShortcutPtr& s) { return s->title() == *title; });
        if (existing != shortcuts.end())
            (*existing)->setKeyEquivalent(*keyEquivalent);
        else
            shortcuts.append(QRVMenuShortcut::create(
                app.isAllApplications() ? QString() : app.bundleIdentifier(), *title,
                *keyEquivalent));
    });
}

int remove(CliContext& context) {
    const auto args = parse(context, QStringLiteral("remove"), {QStringLiteral("--path")}, 2);
    if (!args)
        return kExitUsage;
    const QRVAplication app = applicationFromArgument(args->positional.at(0));
    const auto title =
        storedTitle(context, QStringLiteral("remove"), args->positional.at(1), args->path);
    if (!title)
        return kExitUsage;
    qsizetype removed = 0;
    const int status =
        update(context, QStringLiteral("remove"), app, [&](QList<QRVMenuShortcutPtr>& shortcuts) {
            removed = shortcuts.removeIf(
                [&](const QRVMenuShortcutPtr& s) { return s->title() == *title; });
        });
    if (status != kExitOk || removed > 0)
        return status;
    QString shown = *title;
    if (args->path)
        shown = shown.mid(1).replace(QRVMenuShortcut::kPathSeparator,
                                     QRVMenuShortcut::kDisplayPathSeparator);
    context.err << "quorvane-cli remove: "
                << tr("there is no shortcut titled “%1”").arg(quotedForMessage(shown)) << '\n';
    return kExitFailed;
}

int registered(CliContext& context) {
    if (!parse(context, QStringLiteral("registered"), {}, 0))
        return kExitUsage;
    const auto apps = platform().preferences->readValue(QRVMenuShortcut::kRegistrationKey,
                                                        QRVMenuShortcut::kRegistrationDomain);
    if (!apps) {
        context.err << "quorvane-cli registered: " << escapeForDisplay(apps.error()) << '\n';
        return kExitFailed;
    }
    for (const QVariant& entry : apps->toList())
        if (entry.typeId() == QMetaType::QString)
            context.out << escapeForDisplay(entry.toString()) << '\n';
    return kExitOk;
}

} // namespace
} // namespace qrv::cli

namespace {

const QString kAppArgument =
    QStringLiteral("  APP     a bundle identifier, or -g for all applications (the global domain)");
const QString kTitleArgument =
    QStringLiteral("  TITLE   the menu item's title; \\uXXXX stands for a character (\\u001B, "
                   "\\u000A), as list prints it");
const QString kPathOption =
    QStringLiteral("  --path  TITLE is a menu path: the menus from the menu bar down to the item, "
                   "separated by → (File→Open Recent→Clear Menu)");
const QString kEscapedOutput =
    QStringLiteral("Characters that would break a line or cannot be shown are printed as \\uXXXX.");

} // namespace

QRV_CLI_COMMAND(
    list,
    {QStringLiteral("list"), QStringLiteral("[--json] APP"),
     QStringLiteral("lists the shortcuts of APP (a bundle identifier, or -g for all applications)"),
     true, &qrv::cli::list,
     kAppArgument +
         QStringLiteral("\n  --json  prints a JSON array of objects with the title, "
                        "the key equivalent and the shortcut as menus show it\n\n"
                        "Without --json a line holds the title, the key equivalent "
                        "and the shortcut, separated by tabs. ") +
         kEscapedOutput,
     QStringLiteral("the preferences of APP cannot be read")})
QRV_CLI_COMMAND(
    set, {QStringLiteral("set"), QStringLiteral("[--path] APP TITLE KEY"),
          QStringLiteral("gives the menu item TITLE the key equivalent KEY (\"\" for none)"), true,
          &qrv::cli::set,
          kAppArgument + u'\n' + kTitleArgument +
              QStringLiteral("\n  KEY     a key equivalent: the modifier characters @ "
                             "(Command), ~ (Option), ^ (Control) and $ (Shift), then one "
                             "key, such as @$s or ^\\uF704 (Control-F1); \"\" for no key\n") +
              kPathOption,
          QStringLiteral("the shortcut could not be saved (the preferences cannot be read "
                         "or written, or TITLE is empty)")})
QRV_CLI_COMMAND(remove,
                {QStringLiteral("remove"), QStringLiteral("[--path] APP TITLE"),
                 QStringLiteral("removes every shortcut of the menu item TITLE"), true,
                 &qrv::cli::remove, kAppArgument + u'\n' + kTitleArgument + u'\n' + kPathOption,
                 QStringLiteral("there is no shortcut titled TITLE, or the preferences "
                                "cannot be read or written")})
QRV_CLI_COMMAND(
    registered,
    {QStringLiteral("registered"), QString(),
     QStringLiteral("lists the applications registered as having custom menu shortcuts"), true,
     &qrv::cli::registered,
     QStringLiteral("A line holds a bundle identifier, or NSGlobalDomain for all applications. ") +
         kEscapedOutput,
     QStringLiteral("the registration list cannot be read")})
