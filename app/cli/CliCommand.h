#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace qrv::cli {

// Exit statuses shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CliContext {
    QStringList arguments; // after the subcommand name, global options removed
    QString home;          // --home, resolved (only for commands that use the store)
    QTextStream& out;
    QTextStream& err;
    // The services of --home; null for commands that do not need the platform.
    const PlatformServices* services = nullptr;
};

// A subcommand reports a usage error by answering kExitUsage after printing
// the reason; the tool then prints the command's usage line.
struct CliCommand {
    QString name;
    QString usage;             // the argument synopsis, e.g. "[--json] APP"
    QString summary;           // one line for the help text
    bool needsPlatform = true; // installs the preference store etc. for --home first
    int (*run)(CliContext&) = nullptr;
    QString details = {}; // for --help: the arguments and options, a line each
    QString failure = {}; // for --help: when the command exits 1
};

class CliRegistry {
  public:
    static bool add(CliCommand command);
    static const QList<CliCommand>& commands();
    static const CliCommand* find(const QString& name);
};

} // namespace qrv::cli

// Registers a subcommand from its own source file.
#define QRV_CLI_COMMAND(id, ...)                                                                   \
    namespace {                                                                                    \
    [[maybe_unused]] const bool id##Registered = ::qrv::cli::CliRegistry::add(__VA_ARGS__);        \
    }
