// quorvane-cli list / set / remove / registered: the user key-equivalent store
// of the preferences home, through the same code as the editor.
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

QRVAplication application(const QString& argument) {
    return argument == QLatin1String("-g")
               ? QRVAplication(QString(), QStringLiteral("All Applications"))
               : QRVAplication(argument, argument);
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
    const auto read = QRVMenuShortcut::readMenuShortcuts(application(args->positional.first()));
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
    context.err << "quorvane-cli " << command << ": " << escapeForDisplay(problem) << '\n';
    return kExitFailed;
}

int set(CliContext& context) {
    const auto args = parse(context, QStringLiteral("set"), {QStringLiteral("--path")}, 3);
    if (!args)
        return kExitUsage;
    const QRVAplication app = application(args->positional.at(0));
    const QString title = storedTitle(args->positional.at(1), args->path);
    const QString key = unescapeArgument(args->positional.at(2));
    const QString keyEquivalent = key.isEmpty() ? QString() : key;
    return update(context, QStringLiteral("set"), app, [&](QList<QRVMenuShortcutPtr>& shortcuts) {
        const auto existing =
            std::find_if(shortcuts.begin(), shortcuts.end(),
                         [&](const QRVMenuShortcutPtr& s) { return s->title() == title; });
        if (existing != shortcuts.end())
            (*existing)->setKeyEquivalent(keyEquivalent);
        else
            shortcuts.append(QRVMenuShortcut::create(
                app.isAllApplications() ? QString() : app.bundleIdentifier(), title,
                keyEquivalent));
    });
}

int remove(CliContext& context) {
    const auto args = parse(context, QStringLiteral("remove"), {QStringLiteral("--path")}, 2);
    if (!args)
        return kExitUsage;
    const QRVAplication app = application(args->positional.at(0));
    const QString title = storedTitle(args->positional.at(1), args->path);
    qsizetype removed = 0;
    const int status =
        update(context, QStringLiteral("remove"), app, [&](QList<QRVMenuShortcutPtr>& shortcuts) {
            removed = shortcuts.removeIf(
                [&](const QRVMenuShortcutPtr& s) { return s->title() == title; });
        });
    if (status == kExitOk && removed == 0)
        context.err << "quorvane-cli remove: there is no shortcut titled “"
                    << args->positional.at(1) << "”\n";
    return status;
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
