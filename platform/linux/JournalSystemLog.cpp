#include "platform/linux/JournalSystemLog.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>
#include <deque>
#include <memory>
#include <systemd/sd-journal.h>

namespace qrv {
namespace {

struct JournalCloser {
    void operator()(sd_journal* journal) const { sd_journal_close(journal); }
};
using JournalPtr = std::unique_ptr<sd_journal, JournalCloser>;

Error journalError(const char* what, int code) {
    return makeError(QCoreApplication::translate("SystemLog", "The system journal %1: %2")
                         .arg(QString::fromLatin1(what), QString::fromLocal8Bit(strerror(-code))));
}

// A field's value without its "NAME=" prefix; null when the entry lacks it.
QString field(sd_journal* journal, const char* name) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(journal, name, &data, &length) < 0)
        return {};
    const size_t prefix = strlen(name) + 1;
    if (length < prefix)
        return {};
    return QString::fromUtf8(static_cast<const char*>(data) + prefix,
                             static_cast<qsizetype>(length - prefix));
}

} // namespace

Result<QList<SystemLogEntry>> JournalSystemLog::entries(const QString& sender,
                                                        const QDateTime& since, int limit) const {
    sd_journal* raw = nullptr;
    const int opened =
        m_directory.isEmpty()
            ? sd_journal_open(&raw, SD_JOURNAL_LOCAL_ONLY)
            : sd_journal_open_directory(&raw, m_directory.toLocal8Bit().constData(), 0);
    if (opened < 0)
        return journalError("could not be opened", opened);
    JournalPtr journal(raw);

    // A sender with "=" or a newline would make a match of another field.
    if (sender.isEmpty() || sender.contains(QLatin1Char('=')) || sender.contains(QLatin1Char('\n')))
        return QList<SystemLogEntry>();
    const QByteArray command = "_COMM=" + sender.toUtf8();
    const QByteArray identifier = "SYSLOG_IDENTIFIER=" + sender.toUtf8();
    if (int r = sd_journal_add_match(raw, command.constData(), 0); r < 0)
        return journalError("refused the query", r);
    if (int r = sd_journal_add_disjunction(raw); r < 0)
        return journalError("refused the query", r);
    if (int r = sd_journal_add_match(raw, identifier.constData(), 0); r < 0)
        return journalError("refused the query", r);

    const qint64 sinceMs = since.toMSecsSinceEpoch();
    const uint64_t sinceUsec = sinceMs > 0 ? static_cast<uint64_t>(sinceMs) * 1000 : 0;
    if (int r = sd_journal_seek_realtime_usec(raw, sinceUsec); r < 0)
        return journalError("could not be searched", r);

    // Only the newest `limit` entries are kept, so a chatty day cannot fill memory.
    std::deque<SystemLogEntry> kept;
    while (sd_journal_next(raw) > 0) {
        uint64_t usec = 0;
        if (sd_journal_get_realtime_usec(raw, &usec) >= 0 && usec < sinceUsec)
            continue;
        SystemLogEntry entry;
        if (usec > 0)
            entry.time = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(usec / 1000));
        entry.message = field(raw, "MESSAGE");
        kept.push_back(std::move(entry));
        if (limit >= 0 && kept.size() > static_cast<size_t>(limit))
            kept.pop_front();
    }
    return QList<SystemLogEntry>(kept.begin(), kept.end());
}

} // namespace qrv
