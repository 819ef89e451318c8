#pragma once

#include "platform/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace qrv {

// One message of the system's log.
struct SystemLogEntry {
    QDateTime time;        // invalid when the log gave none
    QString localTimeText; // the log's own local-time text, when it keeps one
    QString message;       // null when the entry has none
};

// The system's log store, read for the console log attached to support
// requests and crash reports. Safe to call from any thread; reading may take
// a while, so callers keep it off the main thread.
class SystemLog {
  public:
    virtual ~SystemLog() = default;
    // The entries of one sender (process name) at or after `since`, oldest
    // first; at most the `limit` newest. An error when no log can be opened.
    virtual Result<QList<SystemLogEntry>> entries(const QString& sender, const QDateTime& since,
                                                  int limit) const = 0;
};

} // namespace qrv
