// quorvane-cli menus: the menu tree of a running application as the editor
// reads it, for people (indented titles and keys) or programs (--json).
#include "CliCommand.h"
#include "CliText.h"
#include "menus/MenuTreeJson.h"
#include "menus/QRVMenuItem.h"
#include "model/QRVMenuShortcut.h"
#include "platform/Accessibility.h"
#include "platform/Platform.h"
#include "platform/Workspace.h"

#include <QJsonDocument>

namespace qrv::cli {

namespace {

// The running application APP names: its bundle identifier, else its name
// (case ignored either way), else its process id.
std::optional<RunningApplication> findRunning(const Workspace& workspace, const QString& name) {
    const QList<RunningApplication> running = workspace.runningApplications();
    for (auto matches : {+[](const RunningApplication&a, const QString&n) {
                             return a.bundleIdentifier.compare(n, Qt::CaseInsensitive) == 0;
                         },
                         +[](const RunningApplication&a, const QString&n) {
                             return a.localizedName.compare(n, Qt::CaseInsensitive) == 0;
                         },
                         +[](const RunningApplication&a, const QString&n) {
                             return QString::number(a.processId) == n;
                         }})
        for (const RunningApplication& application : running)
            if (matches(application, name))
                return application;
    return std::nullopt;
}

// The menu bar's items in menu-bar order (not sorted, nothing removed).
AccessibilityResult<QRVMenuItemList> readMenuBar(Accessibility& accessibility, qint64 processId) {
    const auto menuBar =
        accessibility.copyAttributeValue(accessibility.createApplication(processId), ax::kMenuBar);
    if (!menuBar.ok())
        return menuBar.error();
    if (!menuBar.value().element())
        return ax::Error::kIllegalArgument;
    const auto elements =
        accessibility.copyAttributeValue(menuBar.value().element(), ax::kChildren);
    if (!elements.ok())
        return elements.error();
    QRVMenuItemList items;
    for (const AccessibilityElementRef& element :
         elements.value().array().value_or(AccessibilityElementList{}))
        items << QRVMenuItem::initWithElement(element, !items.isEmpty());
    return items;
}

void printTree(QTextStream& out, const QRVMenuItemList& items, int depth) {
    for (const QRVMenuItemPtr& item : items) {
        out << QString(depth * 2, u' ') << escapeForDisplay(item->title());
        if (!item->keyEquivalent().isEmpty()) {
            const KSCShortcutPtr shortcut =
                QRVMenuShortcut::shortcutFromKeyEquivalent(item->keyEquivalent());
            out << '\t'
                << (shortcut ? shortcut->description() : escapeForDisplay(item->keyEquivalent()));
        }
        out << '\n';
        printTree(out, item->children(), depth + 1);
    }
}

QString describe(ax::Error error) {
    switch (error) {
    case ax::Error::kAPIDisabled:
        return QStringLiteral("accessibility is turned off in this session");
    case ax::Error::kNoValue:
        return QStringLiteral("it shows no menu bar");
    case ax::Error::kCannotComplete:
        return QStringLiteral("it does not answer on the accessibility bus (or has quit)");
    default:
        return QStringLiteral("the accessibility interface answered error %1")
            .arg(static_cast<int>(error));
    }
}

int runMenus(CliContext& context) {
    QStringList arguments = context.arguments;
    const bool json = arguments.removeAll(QStringLiteral("--json")) > 0;
    arguments.removeAll(QStringLiteral("--"));
    if (arguments.size() != 1) {
        context.err << "quorvane-cli: menus takes one application or one FILE.json\n";
        return kExitUsage;
    }
    const QString name = arguments.first();
    auto print = [&](const QRVMenuItemList& menuBar) {
        if (json)
            context.out
                << QJsonDocument(MenuTreeJson::toJson(menuBar)).toJson(QJsonDocument::Indented);
        else
            printTree(context.out, menuBar, 0);
    };
    // A tree saved with --json reads back as the same tree.
    if (name.endsWith(QLatin1String(".json"), Qt::CaseInsensitive)) {
        const auto menuBar = MenuTreeJson::fromFile(name);
        if (!menuBar) {
            context.err << "quorvane-cli menus: " << menuBar.error() << '\n';
            return kExitUsage;
        }
        print(menuBar.value());
        return kExitOk;
    }
    // The one place this command looks the services up; everything below
    // receives them.
    Workspace* workspace = platform().workspace;
    Accessibility* accessibility = platform().accessibility;
    if (!workspace || !accessibility) {
        context.err << "quorvane-cli: menus cannot be read here\n";
        return kExitFailed;
    }
    const auto running = findRunning(*workspace, name);
    if (!running) {
        context.err << "quorvane-cli: no running application “" << name
                    << "” (see quorvane-cli apps)\n";
        return kExitFailed;
    }
    const auto menus = readMenuBar(*accessibility, running->processId);
    if (!menus.ok()) {
        context.err << "quorvane-cli: cannot read the menus of " << running->localizedName << ": "
                    << describe(menus.error()) << '\n';
        return kExitFailed;
    }
    print(menus.value());
    return kExitOk;
}

} // namespace

} // namespace qrv::cli

QRV_CLI_COMMAND(
    menus,
    {QStringLiteral("menus"), QStringLiteral("APP|FILE.json [--json]"),
     QStringLiteral("prints the menus of a running application as the editor reads them, or "
                    "those saved in a file with --json"),
     true, &qrv::cli::runMenus,
     QStringLiteral(
         "  APP     a running application: its bundle identifier, else its name (case "
         "ignored), else its process id (see apps)\n"
         "  FILE.json  a menu tree saved with --json (a name ending in .json), read back and "
         "printed; one that cannot be read or is not of that form exits 2, naming the line and "
         "column or the member at fault\n"
         "  --json  prints the form other tools read back: a JSON array of the menu bar's "
         "items in order, each {\"title\": \"...\", \"key\": \"...\", \"children\": "
         "[...]}, where \"key\" is the key-equivalent string (such as \"@$s\" for "
         "Shift-Command-S; absent when the item has none) and \"children\" the items of its "
         "submenu (absent when it has none)\n\n"
         "Items come in menu-bar order, without separators and untitled items. Without --json "
         "a line holds an item's title, indented two spaces a level, then a tab and its key "
         "as menus show it when it has one. Characters that would break a line or cannot be "
         "shown are printed as \\uXXXX."),
     QStringLiteral("APP does not run, or its menus cannot be read (no accessibility bus, "
                    "accessibility turned off, no menu bar)")})
