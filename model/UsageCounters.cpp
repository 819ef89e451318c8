#include "model/UsageCounters.h"

#include "platform/UserDefaults.h"

#include <atomic>

namespace qrv::usage {

namespace {
std::atomic<bool> g_sessionCounted{false};
} // namespace

void countEdits(UserDefaults& defaults, qint64 edits) {
    if (edits <= 0)
        return;
    const QString operations = QString::fromLatin1(kOperationsKey);
    defaults.setInteger(operations, defaults.integerForKey(operations) + edits);
    if (!g_sessionCounted.exchange(true)) {
        const QString sessions = QString::fromLatin1(kSessionsKey);
        defaults.setInteger(sessions, defaults.integerForKey(sessions) + 1);
    }
}

void resetSession() {
    g_sessionCounted = false;
}

} // namespace qrv::usage
