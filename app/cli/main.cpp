// quorvane-cli: the store and diagnostics without a display.
#include "CliCommand.h"
#include "model/KeyEquivalentTable.h"
#include "model/SupportDirectory.h"
#include "platform/AppInfo.h"
#include "platform/NativePlatform.h"
#include "platform/PreferencesHome.h"

#include <QCoreApplication>
#include <cstdio>

using namespace qrv;
using namespace qrv::cli;

namespace {

void printHelp(QTextStream& out) {
    out << "usage: quorvane-cli [--home DIR] COMMAND [ARGUMENTS]\n\n"
        << "--home DIR  the preferences home (default: $QUORVANE_HOME, else "
           "$XDG_DATA_HOME/quorvane/home)\n\ncommands:\n";
    for (const CliCommand& command : CliRegistry::commands())
        out << "  " << command.name << ' ' << command.usage << "\n      " << command.summary
            << '\n';
    out << "  version\n      prints the version\n";
}

// Takes "--home DIR" / "--home=DIR" out of the arguments, up to a "--".
QString takeHome(QStringList& arguments, bool* missingValue) {
    QString home;
    for (qsizetype i = 0; i < arguments.size();) {
        if (arguments.at(i) == QLatin1String("--"))
            break; // what follows is the command's, even "--home" (a title, say)
        if (arguments.at(i) == QLatin1String("--home")) {
            if (i + 1 >= arguments.size()) {
                *missingValue = true;
                arguments.removeAt(i);
                continue;
            }
            home = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else if (arguments.at(i).startsWith(QLatin1String("--home="))) {
            home = arguments.at(i).mid(7);
            arguments.removeAt(i);
        } else {
            ++i;
        }
    }
    return home;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(appinfo::kApplicationName));
    QCoreApplication::setOrganizationName(QString::fromLatin1(appinfo::kOrganizationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(appinfo::kVersion));

    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    bool missingHome = false;
    const QString explicitHome = takeHome(arguments, &missingHome);
    if (missingHome) {
        err << "quorvane-cli: --home needs a folder\n";
        return kExitUsage;
    }
    if (arguments.isEmpty() || arguments.first() == QLatin1String("help") ||
        arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")) {
        printHelp(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? kExitUsage : kExitOk;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("version") || name == QLatin1String("--version")) {
        out << appinfo::kApplicationName << ' ' << appinfo::kVersion << '\n';
        return kExitOk;
    }
    const CliCommand* command = CliRegistry::find(name);
    if (!command) {
        err << "quorvane-cli: unknown command “" << name << "” (see quorvane-cli help)\n";
        return kExitUsage;
    }

    std::unique_ptr<NativePlatform> native;
    QString home;
    if (command->needsPlatform) {
        auto created = NativePlatform::create(PreferencesHome::resolve(explicitHome));
        if (!created) {
            err << "quorvane-cli: " << created.error() << '\n';
            return kExitFailed;
        }
        native = std::move(created).value();
        native->installForTelemetry();
        KeyEquivalentTable::installShared(native->services().keyboardLayout);
        home = native->services().home;
        // Edit requests live in the support folder; a home without one is unusable.
        if (auto support = menuShortcutsSupportDirectory(home); !support) {
            err << "quorvane-cli: " << support.error() << '\n';
            return kExitFailed;
        }
    }
    CliContext context{arguments, home, native ? &native->services() : nullptr, out, err};
    const int status = command->run(context);
    out.flush();
    err.flush();
    return status;
}
