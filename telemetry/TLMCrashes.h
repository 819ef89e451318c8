#pragma once

#include "telemetry/TLMChannelDelegate.h"
#include "telemetry/TLMChannelUnitConfiguration.h"
#include "telemetry/TLMCrashReportLog.h"
#include "telemetry/TLMErrorAttachmentLog.h"
#include "telemetry/TLMService.h"

#include <QList>
#include <functional>
#include <memory>
#include <mutex>

namespace qrv {

class Scheduler;
class SerialQueue;
class TLMChannelUnitDefault;

// The user's answer to "send the crash reports of the last run?".
enum TLMUserConfirmation : int {
    TLMUserConfirmationDontSend = 0,
    TLMUserConfirmationSend = 1,
};

// A crash of an earlier run, as the application sees it.
struct TLMErrorReport {
    QString incidentIdentifier;
    qint64 appProcessIdentifier = 0;
    QString exceptionName; // the signal ("SIGSEGV") or the exception's type
    QString exceptionReason;
    QDateTime appStartTime;
    QDateTime appErrorTime;
    QString stackTrace;

    static TLMErrorReport fromLog(const TLMCrashReportLog& log);
};

// Hears about the crash reports; every operation is optional. Called on the
// library's queue.
class TLMCrashesDelegate {
  public:
    virtual ~TLMCrashesDelegate() = default;
    // False: the report is deleted without being sent.
    virtual bool shouldProcessErrorReport(const TLMErrorReport&) { return true; }
    virtual void willSendErrorReport(const TLMErrorReport&) {}
    virtual void didSucceedSendingErrorReport(const TLMErrorReport&) {}
    virtual void didFailSendingErrorReport(const TLMErrorReport&, const TLMHttpError&) {}
    // Files to send with a report the user agreed to send; asked once, as the
    // report is queued. Their error ids are set by the service.
    virtual QList<TLMErrorAttachmentLogPtr> attachmentsForErrorReport(const TLMErrorReport&) {
        return {};
    }
};

// Asked on the main thread with the reports of earlier runs. Answering true
// means the application gives the user's decision later, through
// notifyWithUserConfirmation(); false sends the reports at once.
using TLMUserConfirmationHandler = std::function<bool(const QList<TLMErrorReport>& reports)>;

// The crash service: installs the crash handlers, and at start turns the
// records an earlier run left into crash-report logs, which its channel unit
// ("Crashes": priority 2, flushed after 1 second, one report a batch, three
// batches in flight) stores and sends, after the user's consent when a
// confirmation handler is installed. A record is deleted once its log is
// stored, or when the user declines.
class TLMCrashes final : public TLMService, public TLMChannelDelegate {
  public:
    static inline const QString kGroupId = QStringLiteral("Crashes");
    static TLMChannelUnitConfiguration channelConfiguration();

    // The service, as TLMTelemetry::start takes it.
    static TLMService& service();

    // The delegate is not owned and must outlive the service's use of it.
    static void setDelegate(TLMCrashesDelegate* delegate);
    static void setUserConfirmationHandler(TLMUserConfirmationHandler handler);
    static void notifyWithUserConfirmation(TLMUserConfirmation confirmation);

    // Where crash records are written: "Crashes" in the telemetry data folder.
    static QString crashFolder(const QString& dataFolder);

    // TLMService
    QString serviceName() const override { return QStringLiteral("Crashes"); }
    void startWithChannelGroup(TLMChannelGroup& group, const TLMTelemetryOptions& options) override;
    void stop() override;

    // TLMChannelDelegate: tells the crash delegate about its reports.
    void willSendLog(TLMChannelUnitDefault&, const TLMLogPtr& log) override;
    void didSucceedSendingLog(TLMChannelUnitDefault&, const TLMLogPtr& log) override;
    void didFailSendingLog(TLMChannelUnitDefault&, const TLMLogPtr& log,
                           const TLMHttpError& error) override;

  private:
    struct PendingReport {
        QString recordPath;
        std::shared_ptr<TLMCrashReportLog> log;
    };

    TLMCrashes() = default;
    static TLMCrashes& shared();
    TLMCrashesDelegate* delegate() const;
    template <typename Call> void tellDelegate(const TLMLogPtr& log, Call call);

    void processPendingRecords(Scheduler& scheduler, const QString& folder,
                               const QString& ownRecord);
    void askForConfirmation(const QList<TLMErrorReport>& reports);
    void handleConfirmation(TLMUserConfirmation confirmation);
    void enqueueAttachments(TLMChannelUnitDefault& unit, const TLMCrashReportLog& report);

    mutable std::mutex m_mutex; // the members below up to m_pending
    TLMCrashesDelegate* m_delegate = nullptr;
    TLMUserConfirmationHandler m_confirmationHandler;
    std::shared_ptr<TLMChannelUnitDefault> m_unit;
    std::shared_ptr<SerialQueue> m_queue;
    QList<PendingReport> m_pending; // on the queue only
};

} // namespace qrv
