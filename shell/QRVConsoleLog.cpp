#include "shell/QRVConsoleLog.h"

#include "platform/Scheduler.h"
#include "shell/QRVSupportLogging.h"

#include <QCoreApplication>

namespace qrv {

QString QRVConsoleLog::noEntriesText() {
    return QCoreApplication::translate("QRVConsoleLog", "No entries in console log");
}

QRVConsoleLog::QRVConsoleLog(SystemLog& log, Scheduler& scheduler, QString processName)
    : m_log(log)
    , m_scheduler(scheduler)
    , m_processName(std::move(processName)) {}

void QRVConsoleLog::gatherLogContent(std::function<void(const QString&)> completion) const {
    const QDateTime since = m_scheduler.now().addSecs(-86400);
    m_scheduler.asyncGlobal([&log = m_log, &scheduler = m_scheduler, sender = m_processName, since,
                             completion = std::move(completion)]() mutable {
        const Result<QList<SystemLogEntry>> entries = log.entries(sender, since, kMaximumEntries);
        if (!entries)
            qCInfo(lcSupport, "%s", qPrintable(entries.error()));
        const QString content = format(entries ? *entries : QList<SystemLogEntry>());
        scheduler.asyncMain([completion = std::move(completion), content] { completion(content); });
    });
}

QString QRVConsoleLog::format(const QList<SystemLogEntry>& entries) {
    if (entries.isEmpty())
        return noEntriesText();
    QString text;
    for (const SystemLogEntry& entry : entries) {
        QString time = entry.localTimeText;
        if (time.isEmpty())
            time =
                entry.time.isValid()
                    ? entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))
                    : QStringLiteral("(no time)");
        text += time + QLatin1Char(' ') + entry.message + QLatin1Char('\n');
    }
    return text;
}

} // namespace qrv
