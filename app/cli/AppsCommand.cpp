// quorvane-cli apps: the application list as the source list shows it.
#include "CliCommand.h"
#include "CliText.h"
#include "menus/QRVApplicationCatalogue.h"

namespace qrv::cli {

namespace {

int runApps(CliContext& context) {
    if (!context.arguments.isEmpty()) {
        context.err
            << "quorvane-cli apps: "
            << tr("unexpected argument “%1”").arg(escapeForDisplay(context.arguments.first()))
            << '\n';
        return kExitUsage;
    }
    const QRVAplicationPtr all = QRVApplicationCatalogue::makeAllApplicationsApplication();
    const QRVAplicationPtr separator = QRVApplicationCatalogue::makeSeparatorApplication();
    for (const QRVAplicationPtr& entry :
         QRVApplicationCatalogue::rebuiltApplications({all, separator}, all, all, separator)) {
        if (entry == separator)
            continue;
        // A tab or line break in a name (desktop entries allow them) would split the entry.
        context.out << escapeForDisplay(entry->bundleIdentifier()) << '\t'
                    << escapeForDisplay(entry->localizedName()) << '\n';
    }
    return kExitOk;
}

} // namespace

} // namespace qrv::cli

QRV_CLI_COMMAND(
    apps, {QStringLiteral("apps"), QString(),
           QStringLiteral("lists the applications as the source list shows them: bundle identifier "
                          "(empty for All Applications), a tab, the name"),
           true, &qrv::cli::runApps,
           QStringLiteral("Characters that would break a line or cannot be shown are printed as "
                          "\\uXXXX.")})
