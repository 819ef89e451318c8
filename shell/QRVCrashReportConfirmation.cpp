#include "shell/QRVCrashReportConfirmation.h"

#include "shell/QRVConsoleLog.h"
#include "shell/RepliesIO.h"

#include <QCoreApplication>
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
    m_gatherLog([this, alive = m_alive, sendWhenReady](const QString& content) {
        if (!*alive)
            return;
        {
            std::lock_guard lock(m_mutex);
            m_logContent = content.isEmpty() ? QRVConsoleLog::noEntriesText() : content;
        }
        if (*sendWhenReady) {
            *sendWhenReady = false;
            m_notify(TLMUserConfirmationSend);
        }
    });

    QString name;
    QString email;
    QString details;
    if (m_requestReport(&name, &email, &details)) {
        bool logArrived = false;
        {
            std::lock_guard lock(m_mutex);
            m_name = name;
            m_email = email;
            m_details = details;
            logArrived = !m_logContent.isNull();
        }
        if (logArrived)
            m_notify(TLMUserConfirmationSend);
        else
            *sendWhenReady = true;
    } else {
        m_notify(TLMUserConfirmationDontSend);
    }
    return true;
}

QString QRVCrashReportConfirmation::crashReporterLogContent() const {
    std::lock_guard lock(m_mutex);
    return m_logContent;
}

QString QRVCrashReportConfirmation::crashReporterName() const {
    std::lock_guard lock(m_mutex);
    return m_name;
}

QString QRVCrashReportConfirmation::crashReporterEmail() const {
    std::lock_guard lock(m_mutex);
    return m_email;
}

QString QRVCrashReportConfirmation::crashReporterDetails() const {
    std::lock_guard lock(m_mutex);
    return m_details;
}

QList<TLMErrorAttachmentLogPtr> QRVCrashReportConfirmation::attachments() const {
    std::lock_guard lock(m_mutex);
    QList<TLMErrorAttachmentLogPtr> files;
    if (!m_logContent.isNull())
        files << TLMErrorAttachmentLog::attachmentWithText(
            m_logContent, RepliesIOAttachment::kApplicationLogFileName);
    if (!m_name.isEmpty() || !m_email.isEmpty() || !m_details.isEmpty()) {
        const QString text = QCoreApplication::translate("QRVCrashReportConfirmation",
                                                         "Name: %1\nE-mail: %2\n\n%3\n")
                                 .arg(m_name, m_email, m_details);
        files << TLMErrorAttachmentLog::attachmentWithText(text, QStringLiteral("Details.txt"));
    }
    return files;
}

} // namespace qrv
