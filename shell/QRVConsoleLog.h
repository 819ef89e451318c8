#pragma once

#include "platform/SystemLog.h"

#include <QString>
#include <functional>

namespace qrv {

class Scheduler;

// This program's messages of the last day as text, for crash reports and
// support requests. Reading the log runs on the global queue; the text comes
// back on the main thread.
class QRVConsoleLog {
  public:
    static QString noEntriesText();
    // Never more lines than this (the newest are kept).
    static constexpr int kMaximumEntries = 20000;

    QRVConsoleLog(SystemLog& log, Scheduler& scheduler, QString processName);

    // Collects the log; the completion runs later, on the main thread, once.
    void gatherLogContent(std::function<void(const QString& content)> completion) const;

    // "<time> <message>\n" per entry; the no-entries text when there are none.
    static QString format(const QList<SystemLogEntry>& entries);

  private:
    SystemLog& m_log;
    Scheduler& m_scheduler;
    QString m_processName;
};

} // namespace qrv
