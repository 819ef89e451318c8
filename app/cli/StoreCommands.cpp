// quorvane-cli list / set / remove / registered: the user key-equivalent store
// of the preferences home, through the same code as the editor.
#include "CliCommand.h"
#include "CliText.h"
#include "model/QRVMenuShortcut.h"
#include "platform/PreferenceStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

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
        context.err << "quorvane-cli " << command << ": expected " << count
                    << " argument(s) (see quorvane-cli help)\n";
        return std::nullopt;
    }
    if (count > 0 && parsed.positional.first().isEmpty()) {
        context.err << "quorvane-cli " << command
                    << ": APP is a bundle identifier, or -g for all applications\n";
        return std::nullopt;
    }
    return parsed;
}

// The bundle identifier APP names; null for all applications.
QString bundleIdentifier(const QString& argument) {
    return argument == QLatin1String("-g") ? QString() : argument;
}

// With --path, "File→Open Recent→Clear Menu" is stored as ESC File ESC Open Recent ESC Clear Menu.
QString storedTitle(const QString& argument, bool path) {
    if (!path)
        return argument;
    QString title = argument;
    title.replace(QRVMenuShortcut::kDisplayPathSeparator, QRVMenuShortcut::kPathSeparator);
    return QRVMenuShortcut::kPathSeparator + title;
}

QString humanForm(const QRVMenuShortcut& shortcut) {
    const KSCShortcutPtr key = shortcut.shortcut();
    return key ? key->modifierFlagsString() + key->keyCodeString() : QString();
}

int list(CliContext& context) {
    const auto args = parse(context, QStringLiteral("list"), {QStringLiteral("--json")}, 1);
    if (!args)
        return kExitUsage;
    const auto shortcuts =
        QRVMenuShortcut::menuShortcutsWithApplication(*context.services,
                                                      bundleIdentifier(args->positional.first()));
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

int save(CliContext& context, const QString& command, const QList<QRVMenuShortcutPtr>& shortcuts,
         const QString& app) {
    QString problem;
    if (QRVMenuShortcut::saveMenuShortcuts(*context.services, shortcuts, app, &problem))
        return kExitOk;
    context.err << "quorvane-cli " << command << ": " << problem << '\n';
    return kExitFailed;
}

int set(CliContext& context) {
    const auto args = parse(context, QStringLiteral("set"), {QStringLiteral("--path")}, 3);
    if (!args)
        return kExitUsage;
    const QString app = bundleIdentifier(args->positional.at(0));
    const QString title = storedTitle(args->positional.at(1), args->path);
    const QString key = unescapeArgument(args->positional.at(2));
    auto shortcuts = QRVMenuShortcut::menuShortcutsWithApplication(*context.services, app);
    const auto existing =
        std::find_if(shortcuts.begin(), shortcuts.end(),
                     [&](const QRVMenuShortcutPtr& s) { return s->title() == title; });
    const QString keyEquivalent = key.isEmpty() ? QString() : key;
    if (existing != shortcuts.end())
        (*existing)->setKeyEquivalent(keyEquivalent);
    else
        shortcuts.append(QRVMenuShortcut::create(app, title, keyEquivalent));
    return save(context, QStringLiteral("set"), shortcuts, app);
}

int remove(CliContext& context) {
    const auto args = parse(context, QStringLiteral("remove"), {QStringLiteral("--path")}, 2);
    if (!args)
        return kExitUsage;
    const QString app = bundleIdentifier(args->positional.at(0));
    const QString title = storedTitle(args->positional.at(1), args->path);
    auto shortcuts = QRVMenuShortcut::menuShortcutsWithApplication(*context.services, app);
    if (shortcuts.removeIf([&](const QRVMenuShortcutPtr& s) { return s->title() == title; }) == 0)
        context.err << "quorvane-cli remove: there is no shortcut titled “"
                    << args->positional.at(1) << "”\n";
    return save(context, QStringLiteral("remove"), shortcuts, app);
}

int registered(CliContext& context) {
    if (!parse(context, QStringLiteral("registered"), {}, 0))
        return kExitUsage;
    const QVariant apps = context.services->preferences.copyValue(
        QRVMenuShortcut::kRegistrationKey, QRVMenuShortcut::kRegistrationDomain);
    for (const QVariant& entry : apps.toList())
        if (entry.typeId() == QMetaType::QString)
            context.out << entry.toString() << '\n';
    return kExitOk;
}

} // namespace
} // namespace qrv::cli

QRV_CLI_COMMAND(
    list,
    {QStringLiteral("list"), QStringLiteral("[--json] APP"),
     QStringLiteral("lists the shortcuts of APP (a bundle identifier, or -g for all applications)"),
     true, &qrv::cli::list})
QRV_CLI_COMMAND(set,
                {QStringLiteral("set"), QStringLiteral("[--path] APP TITLE KEY"),
                 QStringLiteral("gives the menu item TITLE the key equivalent KEY (\"\" for none)"),
                 true, &qrv::cli::set})
QRV_CLI_COMMAND(remove, {QStringLiteral("remove"), QStringLiteral("[--path] APP TITLE"),
                         QStringLiteral("removes every shortcut of the menu item TITLE"), true,
                         &qrv::cli::remove})
QRV_CLI_COMMAND(
    registered,
    {QStringLiteral("registered"), QString(),
     QStringLiteral("lists the applications registered as having custom menu shortcuts"), true,
     &qrv::cli::registered})
