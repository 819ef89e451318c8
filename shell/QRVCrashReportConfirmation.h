#pragma once

#include "telemetry/TLMCrashes.h"

#include <QString>
#include <functional>

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

    // The library's confirmation handler. Always answers true: the answer
    // follows through the notifier.
    bool handleReports(const QList<TLMErrorReport>& reports);
    void setNotifier(Notifier notify) { m_notify = std::move(notify); }

    // What the user and the log gave; null until then. Set once per run.
    const QString& crashReporterLogContent() const { return m_logContent; }
    const QString& crashReporterName() const { return m_name; }
    const QString& crashReporterEmail() const { return m_email; }
    const QString& crashReporterDetails() const { return m_details; }

  private:
    LogGatherer m_gatherLog;
    ReportRequest m_requestReport;
    Notifier m_notify;
    QString m_logContent;
    QString m_name;
    QString m_email;
    QString m_details;
};

} // namespace qrv
