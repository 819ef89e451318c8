#pragma once

#include "platform/SystemLog.h"

namespace qrv {

// The systemd journal (libsystemd's sd_journal): the entries whose process
// name (_COMM) or syslog identifier is the sender. Reads the journals this
// user may read, or the journal files of one folder (tests, support staff).
class JournalSystemLog final : public SystemLog {
  public:
    JournalSystemLog() = default;
    explicit JournalSystemLog(QString directory)
        : m_directory(std::move(directory)) {}

    Result<QList<SystemLogEntry>> entries(const QString& sender, const QDateTime& since,
                                          int limit) const override;

  private:
    QString m_directory;
};

} // namespace qrv
