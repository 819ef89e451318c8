#pragma once

#include "platform/SystemLog.h"

#include <QMutex>
#include <QThread>

namespace qrv::testing {

// A log with the entries the test gives (already those of the sender), or
// one that cannot be opened. Remembers the last query and its thread.
class FakeSystemLog final : public SystemLog {
  public:
    Result<QList<SystemLogEntry>> entries(const QString& sender, const QDateTime& since,
                                          int limit) const override {
        QMutexLocker locker(&m_mutex);
        lastSender = sender;
        lastSince = since;
        lastLimit = limit;
        queriedOn = QThread::currentThread();
        if (!failure.isEmpty())
            return makeError(failure);
        return stored;
    }

    QList<SystemLogEntry> stored;
    QString failure; // non-empty: no log can be opened

    mutable QString lastSender;
    mutable QDateTime lastSince;
    mutable int lastLimit = 0;
    mutable QThread* queriedOn = nullptr;

  private:
    mutable QMutex m_mutex;
};

} // namespace qrv::testing
