#include "telemetry/TLMCrashes.h"

#include "platform/Scheduler.h"
#include "telemetry/TLMCrashCapture.h"
#include "telemetry/TLMCrashRecord.h"
#include "telemetry/TLMLogging.h"
#include "telemetry/TLMTelemetry.h"

#include <QDir>
#include <QFile>

namespace qrv {

TLMErrorReport TLMErrorReport::fromLog(const TLMCrashReportLog& log) {
    return TLMErrorReport{log.errorId,         log.processId,          log.exceptionType,
                          log.exceptionReason, log.appLaunchTimestamp, log.timestamp,
                          log.stackTrace};
}

TLMChannelUnitConfiguration TLMCrashes::channelConfiguration() {
    // Every crash report travels alone, a second after it was stored.
    return TLMChannelUnitConfiguration{
        .groupId = kGroupId,
        .priority = 2,
        .flushInterval = 1,
        .batchSizeLimit = 1,
        .pendingBatchesLimit = 3,
    };
}

TLMCrashes& TLMCrashes::shared() {
    static TLMCrashes instance;
    return instance;
}

TLMService& TLMCrashes::service() {
    return shared();
}

void TLMCrashes::setDelegate(TLMCrashesDelegate* delegate) {
    std::lock_guard lock(shared().m_mutex);
    shared().m_delegate = delegate;
}

void TLMCrashes::setUserConfirmationHandler(TLMUserConfirmationHandler handler) {
    std::lock_guard lock(shared().m_mutex);
    shared().m_confirmationHandler = std::move(handler);
}

void TLMCrashes::notifyWithUserConfirmation(TLMUserConfirmation confirmation) {
    std::shared_ptr<SerialQueue> queue;
    {
        std::lock_guard lock(shared().m_mutex);
        queue = shared().m_queue;
    }
    if (!queue) {
        qCWarning(lcTelemetryCrashes,
                  "The crash service has not been started; the answer %d is ignored.",
                  int(confirmation));
        return;
    }
    queue->async([confirmation] { shared().handleConfirmation(confirmation); });
}

QString TLMCrashes::crashFolder(const QString& dataFolder) {
    return dataFolder + QStringLiteral("/Crashes");
}

TLMCrashesDelegate* TLMCrashes::delegate() const {
    std::lock_guard lock(m_mutex);
    return m_delegate;
}

void TLMCrashes::startWithChannelGroup(TLMChannelGroup& group, const TLMTelemetryOptions& options) {
    const QString folder = crashFolder(group.context().dataFolder);
    if (options.installCrashHandlers)
        TLMCrashCapture::install(folder, group.context().scheduler);
    auto unit = group.addChannelUnit(channelConfiguration());
    // The service lives for the whole process: the unit holds it without owning it.
    unit->addDelegate(std::shared_ptr<TLMChannelDelegate>(std::shared_ptr<void>(), this));
    {
        std::lock_guard lock(m_mutex);
        m_unit = unit;
        m_queue = group.logsDispatchQueue();
    }
    // Reading the records is file work: it happens on the queue, not at launch.
    m_queue->async(
        [this, &scheduler = group.context().scheduler, folder,
         own = TLMCrashCapture::recordPath()] { processPendingRecords(scheduler, folder, own); });
}

void TLMCrashes::stop() {
    std::lock_guard lock(m_mutex);
    m_unit.reset();
    m_queue.reset();
    m_pending.clear();
    m_delegate = nullptr;
    m_confirmationHandler = nullptr;
}

void TLMCrashes::processPendingRecords(Scheduler& scheduler, const QString& folder,
                                       const QString& ownRecord) {
    QList<PendingReport> pending;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QLatin1Char('*') + QLatin1String(TLMCrashCapture::kRecordSuffix)},
                      QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (path == ownRecord)
            continue;
        const auto record = TLMCrashRecord::read(path);
        if (!record) {
            qCWarning(lcTelemetryCrashes, "Deleting the unreadable crash record %s: %s",
                      qPrintable(path), qPrintable(record.error()));
            QFile::remove(path);
            continue;
        }
        auto log = record->toLog();
        if (TLMCrashesDelegate* d = delegate();
            d && !d->shouldProcessErrorReport(TLMErrorReport::fromLog(*log))) {
            qCInfo(lcTelemetryCrashes, "The delegate declined the crash report %s.",
                   qPrintable(path));
            QFile::remove(path);
            continue;
        }
        pending << PendingReport{path, std::move(log)};
    }
    if (pending.isEmpty())
        return;
    QList<TLMErrorReport> reports;
    for (const PendingReport& report : pending)
        reports << TLMErrorReport::fromLog(*report.log);
    bool ask = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_unit)
            return; // stopped meanwhile
        m_pending = pending;
        ask = bool(m_confirmationHandler);
    }
    qCInfo(lcTelemetryCrashes, "%lld crash report(s) of an earlier run found.",
           qint64(reports.size()));
    if (ask)
        scheduler.asyncMain([this, reports] { askForConfirmation(reports); });
    else
        handleConfirmation(TLMUserConfirmationSend);
}

void TLMCrashes::askForConfirmation(const QList<TLMErrorReport>& reports) {
    TLMUserConfirmationHandler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_confirmationHandler;
    }
    if (!handler || !handler(reports))
        notifyWithUserConfirmation(TLMUserConfirmationSend);
}

void TLMCrashes::handleConfirmation(TLMUserConfirmation confirmation) {
    std::shared_ptr<TLMChannelUnitDefault> unit;
    QList<PendingReport> pending;
    {
        std::lock_guard lock(m_mutex);
        unit = m_unit;
        pending = std::exchange(m_pending, {});
    }
    if (!unit || pending.isEmpty()) {
        qCInfo(lcTelemetryCrashes, "No crash report waits for the user's answer.");
        return;
    }
    for (const PendingReport& report : std::as_const(pending)) {
        if (confirmation != TLMUserConfirmationSend) {
            if (!QFile::remove(report.recordPath))
                qCWarning(lcTelemetryCrashes, "Could not delete the crash record %s.",
                          qPrintable(report.recordPath));
            continue;
        }
        unit->enqueueItem(report.log, TLMFlagsCritical, [path = report.recordPath](bool stored) {
            if (!stored)
                qCWarning(lcTelemetryCrashes,
                          "The crash report %s was not stored; it is kept for the next start.",
                          qPrintable(path));
            else if (!QFile::remove(path))
                qCWarning(lcTelemetryCrashes, "Could not delete the crash record %s.",
                          qPrintable(path));
        });
        enqueueAttachments(*unit, *report.log);
    }
    qCInfo(lcTelemetryCrashes, "%lld crash report(s) %s.", qint64(pending.size()),
           confirmation == TLMUserConfirmationSend ? "queued for sending" : "discarded");
}

void TLMCrashes::enqueueAttachments(TLMChannelUnitDefault& unit, const TLMCrashReportLog& report) {
    TLMCrashesDelegate* d = delegate();
    if (!d)
        return;
    for (const TLMErrorAttachmentLogPtr& attachment :
         d->attachmentsForErrorReport(TLMErrorReport::fromLog(report))) {
        if (!attachment)
            continue;
        attachment->errorId = report.errorId;
        unit.enqueueItem(attachment, TLMFlagsCritical);
    }
}

template <typename Call> void TLMCrashes::tellDelegate(const TLMLogPtr& log, Call call) {
    const auto* report = dynamic_cast<const TLMCrashReportLog*>(log.get());
    TLMCrashesDelegate* d = delegate();
    if (report && d)
        call(*d, TLMErrorReport::fromLog(*report));
}

void TLMCrashes::willSendLog(TLMChannelUnitDefault&, const TLMLogPtr& log) {
    tellDelegate(log,
                 [](TLMCrashesDelegate& d, const TLMErrorReport& r) { d.willSendErrorReport(r); });
}

void TLMCrashes::didSucceedSendingLog(TLMChannelUnitDefault&, const TLMLogPtr& log) {
    tellDelegate(log, [](TLMCrashesDelegate& d, const TLMErrorReport& r) {
        d.didSucceedSendingErrorReport(r);
    });
}

void TLMCrashes::didFailSendingLog(TLMChannelUnitDefault&, const TLMLogPtr& log,
                                   const TLMHttpError& error) {
    tellDelegate(log, [&error](TLMCrashesDelegate& d, const TLMErrorReport& r) {
        d.didFailSendingErrorReport(r, error);
    });
}

} // namespace qrv
