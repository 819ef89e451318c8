#pragma once

#include "telemetry/TLMCrashes.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>

namespace qrv {

// Asks the user about the crash reports an earlier run left, while the
// console log is collected, and gives the telemetry library exactly one
// answer per question: "don't send" at once when the user declines, "send"
// as soon as both the user's consent and the log are there. Main thread only.
class QRVCrashReportConfirmation {
  public:
    using LogGatherer = std::function<void(std::function<void(const QString&)> completion)>;
    // The dialog: fills the slots and answers true when the user chose to send.
    using ReportRequest = std::function<bool(QString* name, QString* email, QString* details)>;
    using Notifier = std::function<void(TLMUserConfirmation)>;

    QRVCrashReportConfirmation(LogGatherer gatherLog, ReportRequest requestReport,
                               Notifier notify = &TLMCrashes::notifyWithUserConfirmation);
    ~QRVCrashReportConfirmation() { *m_alive = false; }

    // The library's confirmation handler. Always answers true: the answer
    // follows through the notifier.
    bool handleReports(const QList<TLMErrorReport>& reports);
    void setNotifier(Notifier notify) { m_notify = std::move(notify); }

    // What the user and the log gave; null until then. Set once per run.
    QString crashReporterLogContent() const;
    QString crashReporterName() const;
    QString crashReporterEmail() const;
    QString crashReporterDetails() const;

    // The files that go with the reports the user agreed to send: the console
    // log, and what the user wrote when there is anything. Any thread (the
    // crash service asks on its own queue).
    QList<TLMErrorAttachmentLogPtr> attachments() const;

  private:
    LogGatherer m_gatherLog;
    ReportRequest m_requestReport;
    Notifier m_notify;
    // Written on the main thread, read by the crash service's queue too.
    mutable std::mutex m_mutex;
    QString m_logContent;
    QString m_name;
    QString m_email;
    QString m_details;
    // A log that arrives after we are gone (at quit) finds this false.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace qrv
