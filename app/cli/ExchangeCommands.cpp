// quorvane-cli export / import: shortcut sets as exchange files, for keeping
// them in a dotfile repository and moving them between machines.
#include "CliCommand.h"
#include "CliText.h"
#include "exchange/ExchangeFileReader.h"
#include "exchange/ExchangeWriter.h"
#include "exchange/ImportPreview.h"
#include "menus/QRVApplicationCatalogue.h"
#include "model/QRVAplication.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Scheduler.h"
#include "platform/Workspace.h"

namespace qrv::cli {
namespace {

struct ExchangeArguments {
    QStringList positional;
    bool dryRun = false;
};

// Flags anywhere; "--" ends them.
std::optional<ExchangeArguments> parse(CliContext& context, const QString& command,
                                       bool allowDryRun, qsizetype least, qsizetype most) {
    ExchangeArguments parsed;
    bool flagsEnded = false;
    for (const QString& arg : context.arguments) {
        if (!flagsEnded && arg == QLatin1String("--")) {
            flagsEnded = true;
        } else if (!flagsEnded && allowDryRun && arg == QLatin1String("--dry-run")) {
            parsed.dryRun = true;
        } else if (!flagsEnded && arg.startsWith(QLatin1String("--"))) {
            context.err << "quorvane-cli " << command << ": "
                        << tr("unknown option “%1”").arg(escapeForDisplay(arg)) << '\n';
            return std::nullopt;
        } else {
            parsed.positional.append(arg);
        }
    }
    const qsizetype count = parsed.positional.size();
    if (count < least || count > most) {
        context.err << "quorvane-cli " << command << ": "
                    << tr("expected %1 argument(s), got %2")
                           .arg(least == most ? QString::number(least)
                                              : QStringLiteral("%1 or %2").arg(least).arg(most))
                           .arg(count)
                    << '\n';
        return std::nullopt;
    }
    for (const QString& argument : std::as_const(parsed.positional))
        if (argument.isEmpty()) {
            context.err << "quorvane-cli " << command << ": "
                        << tr("APP is a bundle identifier, or -g for all applications; FILE is a "
                              "path")
                        << '\n';
            return std::nullopt;
        }
    return parsed;
}

// APP as the store sees it, named as the workspace knows the application
// (no name when it is not installed here).
QRVAplication application(const CliContext& context, const QString& argument) {
    if (argument == QLatin1String("-g"))
        return QRVAplication(QString(), tr("All Applications"));
    QString name;
    if (const QUrl url = context.services->workspace->urlForApplication(argument); !url.isEmpty())
        if (const auto bundle = context.services->workspace->bundleAtPath(url.toLocalFile()))
            name = QRVApplicationCatalogue::localizedNameForApplicationBundle(*bundle);
    return QRVAplication(argument, name);
}

QString shownTitle(const QString& storedTitle) {
    return escapeForDisplay(QRVMenuShortcut(QString(), storedTitle, QString()).beautifiedTitle());
}

int runExport(CliContext& context) {
    const auto args = parse(context, QStringLiteral("export"), false, 1, 2);
    if (!args)
        return kExitUsage;
    const QRVAplication app = application(context, args->positional.at(0));
    const auto document = exchange::exportDocument(
        QRVMenuShortcut::menuShortcutsWithApplication(app), app.bundleIdentifier(),
        app.localizedName(),
        exchange::currentWritingContext(context.services->scheduler->now(),
                                        *context.services->keyboardLayout));
    if (!document) {
        context.err << "quorvane-cli export: "
                    << tr("%1 has no shortcuts to export")
                           .arg(app.isAllApplications() ? tr("All Applications")
                                                        : escapeForDisplay(app.bundleIdentifier()))
                    << '\n';
        return kExitFailed;
    }
    if (args->positional.size() == 1 || args->positional.at(1) == QLatin1String("-")) {
        context.out << QString::fromUtf8(document->serialize());
        return kExitOk;
    }
    if (auto written = exchange::writeExchangeFile(args->positional.at(1), *document); !written) {
        context.err << "quorvane-cli export: " << written.error() << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

QChar rowMark(ImportPreview::Row::Kind kind) {
    switch (kind) {
    case ImportPreview::Row::Kind::Added:
        return u'+';
    case ImportPreview::Row::Kind::Changed:
        return u'~';
    case ImportPreview::Row::Kind::Unchanged:
        return u'=';
    case ImportPreview::Row::Kind::Conflict:
        break;
    }
    return u'!';
}

int runImport(CliContext& context) {
    const auto args = parse(context, QStringLiteral("import"), true, 2, 2);
    if (!args)
        return kExitUsage;
    const QRVAplication app = application(context, args->positional.at(0));
    const QString path = args->positional.at(1);
    const auto file = exchange::readExchangeFile(path, exchange::Links::Follow);
    const QList<QRVMenuShortcutPtr> existing = QRVMenuShortcut::menuShortcutsWithApplication(app);
    const auto preview = file ? ImportPreview::make(*file, app.bundleIdentifier(), existing)
                              : Result<ImportPreview>(Error{file.error()});
    if (!preview) {
        context.err << "quorvane-cli import: " << escapeForDisplay(path) << ": " << preview.error()
                    << '\n';
        return kExitFailed;
    }
    bool changes = false;
    for (const ImportPreview::Row& row : preview->rows()) {
        context.out << rowMark(row.kind) << shownTitle(row.title) << '\t'
                    << escapeForDisplay(row.keyEquivalent);
        if (row.kind == ImportPreview::Row::Kind::Conflict) {
            QStringList others;
            for (const QString& other : row.conflictingTitles)
                others.append(QStringLiteral("“%1”").arg(shownTitle(other)));
            context.out << '\t' << tr("also the key of %1").arg(others.join(QStringLiteral(", ")));
        }
        context.out << '\n';
        changes = changes || row.kind != ImportPreview::Row::Kind::Unchanged;
    }
    if (preview->skippedEntries() > 0)
        context.err << "quorvane-cli import: "
                    << tr("%1 entries without a title, or repeating one, were left out")
                           .arg(preview->skippedEntries())
                    << '\n';
    if (args->dryRun || !changes)
        return kExitOk;
    QString problem;
    if (!QRVMenuShortcut::saveMenuShortcuts(preview->apply(existing), app, &problem)) {
        context.err << "quorvane-cli import: " << problem << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace
} // namespace qrv::cli

namespace {

const QString kAppArgument =
    QStringLiteral("  APP        a bundle identifier, or -g for all applications (the global "
                   "domain)");

} // namespace

QRV_CLI_COMMAND(
    exportShortcuts,
    {QStringLiteral("export"), QStringLiteral("APP [FILE]"),
     QStringLiteral("writes the shortcuts of APP as an export file (.menuShortcuts)"), true,
     &qrv::cli::runExport,
     kAppArgument +
         QStringLiteral("\n  FILE       where to write the file, replacing it; standard output "
                        "when left out or -\n\nThe file is JSON: the shortcuts with their menu "
                        "titles (a menu path as \"parents\" and \"title\") and keys; quorvane-cli "
                        "import reads it back."),
     QStringLiteral("APP has no shortcuts, or FILE cannot be written")})
QRV_CLI_COMMAND(
    importShortcuts,
    {QStringLiteral("import"), QStringLiteral("APP FILE [--dry-run]"),
     QStringLiteral("gives APP the shortcuts of the export file FILE"), true, &qrv::cli::runImport,
     kAppArgument +
         QStringLiteral(
             "\n  FILE       an export file, of any application: its shortcuts are given to APP\n"
             "  --dry-run  shows what would change and saves nothing\n\n"
             "A line per shortcut of the file: + added, ~ changed, = unchanged, ! its key is "
             "also another title's (named after a second tab); then the title, a tab, and the "
             "key. Shortcuts of APP that the file does not name are kept. Characters that "
             "would break a line or cannot be shown are printed as \\uXXXX."),
     QStringLiteral("FILE is not an export file of version 1 (the reason is printed), or the "
                    "shortcuts could not be saved")})
