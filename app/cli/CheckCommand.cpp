// quorvane-cli check: the editor's title warnings for an application's stored
// shortcuts, against its live menus or menus saved with `menus --json`.
#include "CliApplication.h"
#include "CliCommand.h"
#include "CliText.h"
#include "editor/QRVTitleValidation.h"
#include "menus/MenuTreeJson.h"
#include "menus/QRVApplicationCatalogue.h"

namespace qrv::cli {

namespace {

struct CheckArguments {
    QString application;
    std::optional<QString> menusFile;
};

std::optional<CheckArguments> parse(CliContext& context) {
    CheckArguments parsed;
    QStringList positional;
    bool flagsEnded = false;
    const QStringList& arguments = context.arguments;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (!flagsEnded && arg == QLatin1String("--")) {
            flagsEnded = true;
        } else if (!flagsEnded && arg == QLatin1String("--menus")) {
            if (i + 1 == arguments.size() || parsed.menusFile) {
                context.err << "quorvane-cli check: " << tr("--menus takes one FILE") << '\n';
                return std::nullopt;
            }
            parsed.menusFile = arguments.at(++i);
        } else if (!flagsEnded && arg.startsWith(QLatin1String("--"))) {
            context.err << "quorvane-cli check: "
                        << tr("unknown option “%1”").arg(escapeForDisplay(arg)) << '\n';
            return std::nullopt;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 1 || positional.first().isEmpty()) {
        context.err << "quorvane-cli check: "
                    << tr("APP is one bundle identifier, or -g for all applications") << '\n';
        return std::nullopt;
    }
    parsed.application = positional.first();
    return parsed;
}

int runCheck(CliContext& context) {
    const auto args = parse(context);
    if (!args)
        return kExitUsage;
    const QRVAplication application = applicationFromArgument(args->application);

    std::optional<QRVMenuItemList> topLevel;
    if (args->menusFile) {
        auto menuBar = MenuTreeJson::fromFile(*args->menusFile);
        if (!menuBar) {
            context.err << "quorvane-cli check: " << menuBar.error() << '\n';
            return kExitUsage;
        }
        topLevel = QRVApplicationCatalogue::topLevelMenuItemsForMenuBar(std::move(menuBar).value(),
                                                                        application);
    } else {
        topLevel = QRVApplicationCatalogue::menuItemsForApplication(application);
        if (!topLevel)
            context.err << "quorvane-cli check: "
                        << tr("the menus of %1 cannot be read (it does not run, or its menus are "
                              "out of reach); only repeated titles and overlapping menu paths are "
                              "checked")
                               .arg(escapeForDisplay(args->application))
                        << '\n';
    }

    const auto read = QRVMenuShortcut::readMenuShortcuts(application);
    if (!read) {
        context.err << "quorvane-cli check: " << escapeForDisplay(read.error()) << '\n';
        return kExitUsage;
    }
    const QList<QRVMenuShortcutPtr>& shortcuts = *read;
    const QRVValidationSnapshot snapshot{
        QRVValidationSnapshot::recordsOf(shortcuts),
        QRVValidationSnapshot::menuItemsOf(
            QRVApplicationCatalogue::allMenuItemsForTopLevelMenuItems(topLevel))};
    const QList<QRVTitleWarning> warnings = titleWarnings(snapshot);
    const QRVTitleWarning::Texts texts = QRVTitleWarning::Texts::translated();
    bool warned = false;
    for (qsizetype i = 0; i < shortcuts.size(); ++i) {
        if (warnings.at(i).kind == QRVTitleWarning::Kind::None)
            continue;
        warned = true;
        context.out << escapeForDisplay(shortcuts.at(i)->beautifiedTitle()) << '\t'
                    << escapeForDisplay(warnings.at(i).text(texts)) << '\n';
    }
    return warned ? kExitFailed : kExitOk;
}

} // namespace

} // namespace qrv::cli

QRV_CLI_COMMAND(
    check,
    {QStringLiteral("check"), QStringLiteral("APP [--menus FILE]"),
     QStringLiteral("prints the editor's warnings for the shortcuts of APP: titles with two keys, "
                    "and titles that name more than one menu item"),
     true, &qrv::cli::runCheck,
     QStringLiteral(
         "  APP           a bundle identifier, or -g for all applications (the global domain)\n"
         "  --menus FILE  checks against the menus in FILE, in the form menus --json prints, "
         "instead of APP's live menus\n\n"
         "A line holds a title with a warning, as list prints it, then a tab and the warning. "
         "Without FILE the menus of APP are read while it runs; when they cannot be read, only "
         "repeated titles and overlapping menu paths are checked (and stderr says so). Exits 0 "
         "when no shortcut has a warning, 1 when some have, 2 when the arguments are not usable, "
         "the preferences of APP cannot be read, or FILE cannot be read or is not a menu tree (the "
         "message names the position of the fault)."),
     QStringLiteral("some shortcut has a warning")})
