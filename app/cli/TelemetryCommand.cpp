// quorvane-cli telemetry: looks into and edits the telemetry log store, for
// support and testing. Each verb is one entry of the table below.
#include "CliCommand.h"
#include "CliText.h"
#include "platform/Platform.h"
#include "telemetry/TLMChannelGroup.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMDataFolder.h"
#include "telemetry/TLMHttpUtil.h"
#include "telemetry/TLMLogDBInspection.h"
#include "telemetry/TLMLogSamples.h"

#include <QEventLoop>
#include <QFileInfo>
#include <algorithm>
#include <memory>

using namespace qrv;
using namespace qrv::cli;

namespace {

struct VerbContext {
    CliContext& cli;
    QStringList arguments; // after the verb
    QString dbPath;        // --db, else the data folder's file
    bool explicitPath = false;
    // The services telemetry runs on, for the verb that sends.
    std::function<TLMContext()> telemetry;
};

struct TelemetryVerb {
    const char* name;
    const char* usage;
    int (*run)(VerbContext&);
};

// The tool prints the command's usage after a usage error.
int usageError(VerbContext& context, const QString& message) {
    context.cli.err << "quorvane-cli telemetry: " << message << '\n';
    return kExitUsage;
}

int unexpectedArgument(VerbContext& context) {
    return usageError(context,
                      tr("unexpected “%1”").arg(quotedForMessage(context.arguments.first())));
}

// Takes "--name VALUE" or "--name=VALUE" out of the arguments. False when the
// option is given without a value.
bool takeOption(QStringList& arguments, const QString& name, QString* value) {
    const QString prefix = name + QLatin1Char('=');
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == name) {
            if (i + 1 >= arguments.size())
                return false;
            *value = arguments.at(i + 1);
            arguments.remove(i, 2);
            return true;
        }
        if (arguments.at(i).startsWith(prefix)) {
            *value = arguments.takeAt(i).mid(prefix.size());
            return true;
        }
    }
    return true;
}

QString notAStore(const VerbContext& context, const QString& problem) {
    return tr("“%1” is not a telemetry log store: %2; it was left as it is")
        .arg(quotedForMessage(context.dbPath), problem);
}

// Opens the store for a verb that writes. Only a file that is missing, empty
// or a store of this schema is opened (and configured as the program would:
// created, or migrated from an older version); anything else is refused
// untouched. The store keeps no target tokens for these verbs, so its key is
// kept nowhere.
std::unique_ptr<TLMLogDBStorage> openStore(VerbContext& context) {
    const auto file = TLMLogDBInspection::examine(context.dbPath);
    if (!TLMLogDBInspection::mayOpenForWriting(file)) {
        context.cli.err << "quorvane-cli telemetry: " << notAStore(context, file.problem) << '\n';
        return nullptr;
    }
    auto store = std::make_unique<TLMLogDBStorage>(context.dbPath, TLMEncrypter::withNewKey());
    if (store->configurationResult() != 0) {
        context.cli.err << "quorvane-cli telemetry: "
                        << tr("the database “%1” cannot be used: %2")
                               .arg(quotedForMessage(context.dbPath),
                                    TLMDBStorage::resultDescription(store->configurationResult()))
                        << '\n';
        return nullptr;
    }
    return store;
}

// Reading verbs never create, change or repair the file. A missing default
// store is an empty one: nothing was ever stored.
template <typename T>
std::optional<T> readStore(VerbContext& context, Result<T> (*read)(const QString&), T empty) {
    if (!context.explicitPath && !QFileInfo::exists(context.dbPath))
        return empty;
    Result<T> result = read(context.dbPath);
    if (!result) {
        context.cli.err << "quorvane-cli telemetry: " << result.error() << '\n';
        return std::nullopt;
    }
    return std::move(result).value();
}

int list(VerbContext& context) {
    const auto logs = readStore(context, &TLMLogDBInspection::logSummaries, QList<TLMLogSummary>());
    if (!logs)
        return kExitFailed;
    context.cli.out << "ID\tGROUP\tPRIORITY\tSIZE\tTYPE\n";
    for (const TLMLogSummary& log : *logs)
        context.cli.out << log.id << '\t' << escapeForDisplay(log.groupId) << '\t' << log.priority
                        << '\t' << log.encodedSize << '\t'
                        << (log.type.isEmpty() ? tr("(unreadable)") : log.type) << '\n';
    return kExitOk;
}

int count(VerbContext& context) {
    const auto logs = readStore(context, &TLMLogDBInspection::countLogs, qint64(0));
    if (!logs)
        return kExitFailed;
    context.cli.out << *logs << '\n';
    return kExitOk;
}

int purge(VerbContext& context) {
    const auto store = openStore(context);
    if (!store)
        return kExitFailed;
    context.cli.out << tr("Deleted %1 log(s).").arg(store->deleteAllLogs()) << '\n';
    return kExitOk;
}

int add(VerbContext& context) {
    constexpr qint64 kMostBytes = 64 * 1024 * 1024;
    QString group, priorityText, bytesText;
    if (!takeOption(context.arguments, QStringLiteral("--group"), &group) ||
        !takeOption(context.arguments, QStringLiteral("--priority"), &priorityText) ||
        !takeOption(context.arguments, QStringLiteral("--bytes"), &bytesText))
        return usageError(context, tr("an option of “add” is missing its value"));
    if (!context.arguments.isEmpty())
        return unexpectedArgument(context);
    bool priorityOk = false, bytesOk = false;
    const int priority = priorityText.toInt(&priorityOk);
    const qint64 bytes = bytesText.toLongLong(&bytesOk);
    if (group.isEmpty())
        return usageError(context, tr("“add” needs --group G"));
    if (!priorityOk || priority < 0 || priority > 255)
        return usageError(context, tr("--priority must be a number from 0 to 255"));
    if (!bytesOk || bytes < 0 || bytes > kMostBytes)
        return usageError(context, tr("--bytes must be a number from 0 to %1").arg(kMostBytes));

    const auto store = openStore(context);
    if (!store)
        return kExitFailed;
    auto log = TLMLogSamples::crashReport();
    TLMLogSamples::padToEncodedSize(*log, bytes);
    int result = 0;
    QString problem;
    if (store->saveLog(log, group, quint32(priority), &result, &problem)) {
        context.cli.out << "yes (SQLite result " << result << ": "
                        << TLMDBStorage::resultDescription(result) << ")\n";
        return kExitOk;
    }
    context.cli.out << "no (SQLite result " << result << ": " << problem << ")\n";
    return kExitFailed;
}

QString batchLine(const TLMFlushedBatch& batch, int timeoutSeconds) {
    if (batch.pending)
        return tr("%1: not sent within %2 seconds (%3); its logs stay stored")
            .arg(batch.batchId)
            .arg(timeoutSeconds)
            .arg(batch.lastFailure);
    return QStringLiteral("%1: %2").arg(
        batch.batchId, TLMHttpUtil::failureDescription(batch.response, batch.error));
}

// Sends every stored log, group by group, through units configured as the
// crash service's, and waits until no batch is in flight or the time is up.
int flush(VerbContext& context) {
    constexpr int kDefaultTimeoutSeconds = 60;
    constexpr int kMostTimeoutSeconds = 24 * 60 * 60;
    QString url, secret, timeoutText = QString::number(kDefaultTimeoutSeconds);
    if (!takeOption(context.arguments, QStringLiteral("--url"), &url) ||
        !takeOption(context.arguments, QStringLiteral("--secret"), &secret) ||
        !takeOption(context.arguments, QStringLiteral("--timeout"), &timeoutText))
        return usageError(context, tr("an option of “flush” is missing its value"));
    if (!context.arguments.isEmpty())
        return unexpectedArgument(context);
    if (url.isEmpty())
        return usageError(context, tr("“flush” needs --url URL"));
    bool timeoutOk = false;
    const int timeoutSeconds = timeoutText.toInt(&timeoutOk);
    if (!timeoutOk || timeoutSeconds < 1 || timeoutSeconds > kMostTimeoutSeconds)
        return usageError(
            context,
            tr("--timeout must be a number of seconds from 1 to %1").arg(kMostTimeoutSeconds));
    const TLMTelemetryConfig config{
        .ingestionBaseUrl = QUrl(url, QUrl::StrictMode),
        .appSecret = secret.isEmpty() ? TLMTelemetryConfig::standard().appSecret : secret,
        .allowsLoopbackHttp = true,
    };
    if (auto checked = config.checkedBaseUrl(); !checked)
        return usageError(context, checked.error());
    if (!config.hasValidAppSecret())
        return usageError(context, tr("--secret must be a UUID of 36 characters"));

    if (!openStore(context))
        return kExitFailed;
    if (const auto stored = readStore(context, &TLMLogDBInspection::countLogs, qint64(0));
        !stored || *stored == 0) {
        if (stored)
            context.cli.out << tr("No logs to send.") << '\n';
        return stored ? kExitOk : kExitFailed;
    }

    const TLMContext telemetry = context.telemetry();
    TLMChannelGroup group(telemetry, {.config = config, .storagePath = context.dbPath});
    QEventLoop waiting;
    TLMFlushReport report;
    group.flushStoredLogs(TLMCrashes::channelConfiguration(), std::chrono::seconds(timeoutSeconds),
                          [&](const TLMFlushReport& flushed) {
                              report = flushed;
                              waiting.quit();
                          });
    waiting.exec();

    for (const TLMFlushedBatch& batch : std::as_const(report.batches))
        context.cli.out << batchLine(batch, timeoutSeconds) << '\n';
    if (report.batches.isEmpty())
        context.cli.out << tr("No batch was sent.") << '\n';
    return report.allSucceeded() ? kExitOk : kExitFailed;
}

int noArguments(int (*verb)(VerbContext&), VerbContext& context) {
    if (!context.arguments.isEmpty())
        return unexpectedArgument(context);
    return verb(context);
}

const TelemetryVerb kVerbs[] = {
    {"list", "",
     [](VerbContext& c) {
         return noArguments(list, c);
     }},
    {"count", "",
     [](VerbContext& c) {
         return noArguments(count, c);
     }},
    {"purge", "",
     [](VerbContext& c) {
         return noArguments(purge, c);
     }},
    {"add", " --group G --priority P --bytes N", add},
    {"flush", " --url URL [--secret S] [--timeout SECONDS]", flush},
};

QString verbUsage() {
    QStringList verbs;
    for (const TelemetryVerb& verb : kVerbs)
        verbs << QLatin1String(verb.name) + QLatin1String(verb.usage);
    return QStringLiteral("[--db PATH] ") + verbs.join(QStringLiteral(" | "));
}

int runTelemetry(CliContext& cli) {
    VerbContext context{cli, cli.arguments, {}, false, {}};
    QString dbPath;
    if (!takeOption(context.arguments, QStringLiteral("--db"), &dbPath))
        return usageError(context, tr("--db needs a file"));
    if (context.arguments.isEmpty())
        return usageError(context, tr("a verb is missing"));
    const QString name = context.arguments.takeFirst();
    const TelemetryVerb* verb =
        std::find_if(std::begin(kVerbs), std::end(kVerbs),
                     [&](const TelemetryVerb& v) { return name == QLatin1String(v.name); });
    if (verb == std::end(kVerbs))
        return usageError(context, tr("unknown verb “%1”").arg(quotedForMessage(name)));
    context.explicitPath = !dbPath.isEmpty();
    context.dbPath = context.explicitPath ? dbPath
                                          : TLMDataFolder::pathForHome(cli.home) +
                                                QLatin1Char('/') + TLMLogDBStorage::kFileName;
    context.telemetry = [&cli] {
        // The command needs the platform, so the tool hands it the services of --home.
        const PlatformServices& services = *cli.services;
        return TLMContext{*services.scheduler, *services.userDefaults,
                          TLMDataFolder::forHome(cli.home)};
    };
    return verb->run(context);
}

} // namespace

QRV_CLI_COMMAND(
    telemetry,
    {QStringLiteral("telemetry"), verbUsage(),
     QStringLiteral("lists, counts, purges, adds or sends stored telemetry logs"), true,
     runTelemetry,
     QStringLiteral(
         "  --db PATH  the log store to use (default: Logs.sqlite in the telemetry folder of "
         "the home's Application Support folder)\n"
         "  list       prints every stored log: id, group, priority, size of its stored form "
         "and type\n"
         "  count      prints the number of stored logs\n"
         "  purge      deletes every stored log\n"
         "  add        stores a sample crash report of N bytes in its stored form, in group G "
         "with priority P (0-255), as the program would: evicting logs of the same or a lower "
         "priority when the store is full\n"
         "  flush      sends every stored log to the telemetry service at URL (HTTPS, or plain "
         "HTTP to this machine) with the app secret S, a batch per log, and prints how each "
         "batch ended; a batch still unanswered after --timeout SECONDS (default 60) is "
         "printed with its last error and its logs stay stored\n\n"
         "list and count only read: the file is never created, changed or repaired, so they "
         "work on a read-only file or folder. add, purge and flush create the store when the "
         "file does not exist and bring an older store up to date, as the program does; a file "
         "that is anything else (a text file, another program's database) is refused and left "
         "as it is."),
     QStringLiteral("the store cannot be read or written, the file is not a telemetry log "
                    "store, the log was not stored (add), or a batch was not answered with "
                    "success (flush)")})
