#include "shell/QRVCrashReportConfirmation.h"

#include "shell/QRVConsoleLog.h"

#include <memory>

namespace qrv {

QRVCrashReportConfirmation::QRVCrashReportConfirmation(LogGatherer gatherLog,
                                                       ReportRequest requestReport, Notifier notify)
    : m_gatherLog(std::move(gatherLog))
    , m_requestReport(std::move(requestReport))
    , m_notify(std::move(notify)) {}

bool QRVCrashReportConfirmation::handleReports(const QList<TLMErrorReport>& reports) {
    Q_UNUSED(reports);
    // Shared with the log's completion, which may come before or after the
    // user's answer; both run on the main thread.
    auto sendWhenReady = std::make_shared<bool>(false);
    m_gatherLog([this, sendWhenReady](const QString& content) {
        m_logContent = content.isEmpty() ? QRVConsoleLog::noEntriesText() : content;
        if (*sendWhenReady) {
            *sendWhenReady = false;
            m_notify(TLMUserConfirmationSend);
        }
    });

    QString name;
    QString email;
    QString details;
    if (m_requestReport(&name, &email, &details)) {
        m_name = name;
        m_email = email;
        m_details = details;
        if (!m_logContent.isNull())
            m_notify(TLMUserConfirmationSend);
        else
            *sendWhenReady = true;
    } else {
        m_notify(TLMUserConfirmationDontSend);
    }
    return true;
}

} // namespace qrv
