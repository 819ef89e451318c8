// quorvane-cli telemetry: looks into and edits the telemetry log store, for
// support and testing. Each verb is one entry of the table below.
#include "CliCommand.h"
#include "CliText.h"
#include "telemetry/TLMChannelGroup.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMDataFolder.h"
#include "telemetry/TLMLogDBStorage.h"
#include "telemetry/TLMLogSamples.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <memory>
#include <mutex>

using namespace qrv;
using namespace qrv::cli;

namespace {

struct VerbContext {
    CliContext& cli;
    QStringList arguments; // after the verb
    QString dbPath;        // --db, else the data folder's file
};

struct TelemetryVerb {
    const char* name;
    const char* usage;
    int (*run)(VerbContext&);
};

int usageError(VerbContext& context, const QString& message) {
    context.cli.err << "quorvane-cli telemetry: " << message << '\n';
    return kExitUsage;
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

// Opening runs the store's own configuration: a damaged file is replaced and
// an old one migrated, exactly as the program would.
std::unique_ptr<TLMLogDBStorage> openStore(VerbContext& context) {
    auto store = std::make_unique<TLMLogDBStorage>(context.dbPath);
    if (store->configurationResult() != 0) {
        context.cli.err << "quorvane-cli telemetry: the database “" << context.dbPath
                        << "” cannot be used: "
                        << TLMDBStorage::resultDescription(store->configurationResult()) << '\n';
        return nullptr;
    }
    return store;
}

int list(VerbContext& context) {
    const auto store = openStore(context);
    if (!store)
        return kExitFailed;
    context.cli.out << "ID\tGROUP\tPRIORITY\tSIZE\tTYPE\n";
    for (const TLMLogSummary& log : store->logSummaries())
        context.cli.out << log.id << '\t' << escapeForDisplay(log.groupId) << '\t' << log.priority
                        << '\t' << log.encodedSize << '\t'
                        << (log.type.isEmpty() ? QStringLiteral("(unreadable)") : log.type) << '\n';
    return kExitOk;
}

int count(VerbContext& context) {
    const auto store = openStore(context);
    if (!store)
        return kExitFailed;
    context.cli.out << store->countLogs() << '\n';
    return kExitOk;
}

int purge(VerbContext& context) {
    const auto store = openStore(context);
    if (!store)
        return kExitFailed;
    context.cli.out << "Deleted " << store->deleteAllLogs() << " log(s).\n";
    return kExitOk;
}

int add(VerbContext& context) {
    constexpr qint64 kMostBytes = 64 * 1024 * 1024;
    QString group, priorityText, bytesText;
    if (!takeOption(context.arguments, QStringLiteral("--group"), &group) ||
        !takeOption(context.arguments, QStringLiteral("--priority"), &priorityText) ||
        !takeOption(context.arguments, QStringLiteral("--bytes"), &bytesText))
        return usageError(context, QStringLiteral("an option of “add” is missing its value"));
    if (!context.arguments.isEmpty())
        return usageError(context,
                          QStringLiteral("unexpected “%1”").arg(context.arguments.first()));
    bool priorityOk = false, bytesOk = false;
    const int priority = priorityText.toInt(&priorityOk);
    const qint64 bytes = bytesText.toLongLong(&bytesOk);
    if (group.isEmpty())
        return usageError(context, QStringLiteral("“add” needs --group G"));
    if (!priorityOk || priority < 0 || priority > 255)
        return usageError(context, QStringLiteral("--priority must be a number from 0 to 255"));
    if (!bytesOk || bytes < 0 || bytes > kMostBytes)
        return usageError(context,
                          QStringLiteral("--bytes must be a number from 0 to %1").arg(kMostBytes));

    const auto store = openStore(context);
    if (!store)
        return kExitFailed;
    auto log = TLMLogSamples::crashReport();
    TLMLogSamples::padToEncodedSize(*log, bytes);
    int result = 0;
    const bool stored = store->saveLog(log, group, quint32(priority), &result);
    context.cli.out << (stored ? "yes" : "no") << " (SQLite result " << result << ": "
                    << TLMDBStorage::resultDescription(result) << ")\n";
    return stored ? kExitOk : kExitFailed;
}

// Collects one line per batch as the units report them (on the logs queue).
class BatchReport final : public TLMChannelDelegate {
  public:
    static constexpr int kWaitSeconds = 60;

    void didFinishSendingBatch(TLMChannelUnitDefault&, const QString& batchId,
                               const std::optional<TLMHttpResponse>& response,
                               const std::optional<TLMHttpError>& error) override {
        std::lock_guard lock(m_mutex);
        const bool ok = !error && response && response->statusCode / 100 == 2;
        m_allSucceeded = m_allSucceeded && ok;
        m_lines << (error ? QStringLiteral("%1: %2").arg(batchId, error->description)
                          : QStringLiteral("%1: HTTP %2").arg(batchId).arg(response->statusCode));
        if (m_afterBatch)
            m_afterBatch();
    }
    // Called after each batch's line, until the report is closed.
    void setAfterBatch(std::function<void()> afterBatch) {
        std::lock_guard lock(m_mutex);
        m_afterBatch = std::move(afterBatch);
    }
    void close(const QStringList& unansweredBatchIds) {
        std::lock_guard lock(m_mutex);
        m_afterBatch = nullptr;
        for (const QString& batchId : unansweredBatchIds)
            m_lines
                << QStringLiteral("%1: no answer within %2 seconds").arg(batchId).arg(kWaitSeconds);
        m_allSucceeded = m_allSucceeded && unansweredBatchIds.isEmpty();
    }
    QStringList lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    bool allSucceeded() const {
        std::lock_guard lock(m_mutex);
        return m_allSucceeded && !m_lines.isEmpty();
    }

  private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
    bool m_allSucceeded = true;
    std::function<void()> m_afterBatch;
};

// Sends every stored log, group by group, through units configured as the
// crash service's, and waits until no batch is in flight (or the time is up).
int flush(VerbContext& context) {
    QString url, secret;
    if (!takeOption(context.arguments, QStringLiteral("--url"), &url) ||
        !takeOption(context.arguments, QStringLiteral("--secret"), &secret))
        return usageError(context, QStringLiteral("an option of “flush” is missing its value"));
    if (!context.arguments.isEmpty())
        return usageError(context,
                          QStringLiteral("unexpected “%1”").arg(context.arguments.first()));
    if (url.isEmpty())
        return usageError(context, QStringLiteral("“flush” needs --url URL"));
    TLMTelemetryConfig config{QUrl(url, QUrl::StrictMode),
                              secret.isEmpty() ? TLMTelemetryConfig::standard().appSecret : secret,
                              true};
    if (auto checked = config.checkedBaseUrl(); !checked)
        return usageError(context, checked.error());
    if (!config.hasValidAppSecret())
        return usageError(context, QStringLiteral("--secret must be a UUID of 36 characters"));

    QStringList groups;
    {
        const auto store = openStore(context);
        if (!store)
            return kExitFailed;
        for (const TLMLogSummary& log : store->logSummaries())
            if (!groups.contains(log.groupId))
                groups << log.groupId;
    }
    if (groups.isEmpty()) {
        context.cli.out << "No logs to send.\n";
        return kExitOk;
    }

    TLMChannelGroup group(TLMChannelGroupOptions{config, context.dbPath, nullptr, {}});
    const std::shared_ptr<SerialQueue>& queue = group.logsDispatchQueue();
    auto report = std::make_shared<BatchReport>();
    QList<std::shared_ptr<TLMChannelUnitDefault>> units;
    for (const QString& groupId : groups) {
        TLMChannelUnitConfiguration configuration = TLMCrashes::channelConfiguration();
        configuration.groupId = groupId;
        units << group.addChannelUnit(configuration);
        units.last()->addDelegate(report);
    }

    QEventLoop waiting;
    QTimer::singleShot(BatchReport::kWaitSeconds * 1000, &waiting, &QEventLoop::quit);
    // A unit settles its state after telling its delegates, so idleness is
    // asked in a task of its own.
    const auto quitWhenIdle = [&] {
        if (std::all_of(units.cbegin(), units.cend(),
                        [](const auto& unit) { return unit->isIdle(); }))
            QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    };
    report->setAfterBatch([&] { queue->async(quitWhenIdle); });
    queue->async([&] {
        for (const auto& unit : units)
            unit->flushQueue();
        quitWhenIdle();
    });
    waiting.exec();

    const auto onQueueAndWait = [&](const std::function<void()>& task) {
        QEventLoop loop;
        queue->async([&] {
            task();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
    };
    onQueueAndWait([&] {
        QStringList unanswered;
        for (const auto& unit : units)
            unanswered << unit->pendingBatchIds();
        report->close(unanswered);
    });
    // A batch answered just before the close may have queued an idleness
    // check behind it; let that run while the units and loop it reads exist.
    onQueueAndWait([] {});

    const QStringList lines = report->lines();
    for (const QString& line : lines)
        context.cli.out << line << '\n';
    if (lines.isEmpty())
        context.cli.out << "No batch was sent.\n";
    return report->allSucceeded() ? kExitOk : kExitFailed;
}

int noArguments(int (*verb)(VerbContext&), VerbContext& context) {
    if (!context.arguments.isEmpty())
        return usageError(context,
                          QStringLiteral("unexpected “%1”").arg(context.arguments.first()));
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
    {"flush", " --url URL [--secret S]", flush},
};

QString verbUsage() {
    QStringList verbs;
    for (const TelemetryVerb& verb : kVerbs)
        verbs << QLatin1String(verb.name) + QLatin1String(verb.usage);
    return QStringLiteral("[--db PATH] ") + verbs.join(QStringLiteral(" | "));
}

int runTelemetry(CliContext& cli) {
    VerbContext context{cli, cli.arguments, {}};
    QString dbPath;
    if (!takeOption(context.arguments, QStringLiteral("--db"), &dbPath))
        return usageError(context, QStringLiteral("--db needs a file"));
    if (context.arguments.isEmpty())
        return usageError(context, QStringLiteral("usage: quorvane-cli telemetry ") + verbUsage());
    const QString name = context.arguments.takeFirst();
    for (const TelemetryVerb& verb : kVerbs) {
        if (name == QLatin1String(verb.name)) {
            context.dbPath =
                dbPath.isEmpty() ? TLMDataFolder::filePath(TLMLogDBStorage::kFileName) : dbPath;
            return verb.run(context);
        }
    }
    return usageError(context,
                      QStringLiteral("unknown verb “%1” (usage: quorvane-cli telemetry %2)")
                          .arg(name, verbUsage()));
}

} // namespace

QRV_CLI_COMMAND(telemetry,
                {QStringLiteral("telemetry"), verbUsage(),
                 QStringLiteral("lists, counts, purges, adds or sends stored telemetry logs"), true,
                 runTelemetry})
